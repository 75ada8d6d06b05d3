// An event handler runs to its end on the user-interface thread; an error that escapes it is
// reported with its message, and the program goes on. Nothing is thrown across the system's
// callbacks.
#pragma once

#include <exception>

namespace runlens {

template <typename Handler, typename Report>
void RunReportingErrors(Handler&& handler, Report&& report) noexcept {
    try {
        handler();
    } catch (const std::exception& error) {
        report(error.what());
    } catch (...) {
        report("unknown error");
    }
}

}  // namespace runlens
