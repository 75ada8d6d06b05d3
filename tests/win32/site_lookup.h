// A lookup's view of the system for the Windows tests: the real site calls under a test agent,
// with the status line and the notice dialog recorded.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "info/online_lookup.h"
#include "info/win32/win32_internet.h"

namespace runlens::testing {

class SiteLookup : public LookupSystem {
  public:
    explicit SiteLookup(std::string agent) : agent_(std::move(agent)) {}

    bool PageExists(std::string_view address, Deadline deadline) override {
        return UrlExists(address, agent_, deadline);
    }
    std::string FetchText(std::string_view address, Deadline deadline) override {
        return FetchUrlText(address, agent_, deadline);
    }
    std::uint16_t UserDefaultLangId() override { return ::GetUserDefaultLangID(); }
    std::uint32_t VolumeSerial() override { return GetVolumeSerial(); }
    void ShowStatusLine(std::string_view text) override { status.emplace_back(text); }
    void ShowNoticeMessage(std::string_view message) override { messages.emplace_back(message); }

    std::vector<std::string> status;
    std::vector<std::string> messages;

  private:
    const std::string agent_;
};

}  // namespace runlens::testing
