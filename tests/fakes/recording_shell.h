// A shell that records the calls it gets and answers each with the next of the given results
// (0, a failure, once they are used up).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/shell_actions.h"

namespace runlens::testing {

struct ShellCall {
    ShellOwner owner;
    std::string verb, file, parameters, directory;
    int show;
    bool operator==(const ShellCall&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ShellCall& c) {
    return out << (c.owner == ShellOwner::kNone ? "none" : "main") << " " << c.verb << " ["
               << c.file << "] [" << c.parameters << "] [" << c.directory << "] " << c.show;
}

class RecordingShell : public Shell {
  public:
    explicit RecordingShell(std::vector<std::intptr_t> results) : results_(std::move(results)) {}
    std::vector<ShellCall> calls;
    int beeps = 0;

    std::intptr_t Execute(ShellOwner owner, std::string_view verb, std::string_view file,
                          std::string_view parameters, std::string_view directory,
                          int show) override {
        calls.push_back({owner, std::string(verb), std::string(file), std::string(parameters),
                         std::string(directory), show});
        return calls.size() <= results_.size() ? results_[calls.size() - 1] : 0;
    }
    void Beep() override { ++beeps; }

  private:
    std::vector<std::intptr_t> results_;
};

}  // namespace runlens::testing
