// The lookup's view of Windows: the information site over WinInet under the program's user
// agent, and the status line and notice box of the window that shows the outcome.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "info/online_lookup.h"

namespace runlens {

// Where a lookup's outcome shows; the main window implements it.
class LookupSink {
  public:
    virtual ~LookupSink() = default;
    virtual void ShowStatusLine(std::wstring_view text) = 0;
    // A modal message box with the site's message: no icon, one OK button.
    virtual void ShowNoticeBox(std::wstring_view message) = 0;
};

class Win32LookupSystem final : public LookupSystem {
  public:
    // `agent` is the user agent every request sends.
    Win32LookupSystem(std::string agent, LookupSink& sink)
        : agent_(std::move(agent)), sink_(sink) {}

    bool PageExists(std::string_view address, Deadline deadline) override;
    std::string FetchText(std::string_view address, Deadline deadline) override;
    std::uint16_t UserDefaultLangId() override;
    std::uint32_t VolumeSerial() override;
    void ShowStatusLine(std::string_view text) override;
    void ShowNoticeMessage(std::string_view message) override;

    const std::string& Agent() const { return agent_; }

  private:
    const std::string agent_;
    LookupSink& sink_;
};

}  // namespace runlens
