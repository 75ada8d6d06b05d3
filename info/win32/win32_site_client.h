// The information site over WinInet, under the program's user agent.
#pragma once

#include <string>
#include <string_view>

#include "info/online_lookup.h"

namespace runlens {

class Win32SiteClient final : public SiteClient {
  public:
    // `agent` is the user agent every request sends.
    explicit Win32SiteClient(std::string agent) : agent_(std::move(agent)) {}

    bool PageExists(std::string_view address, Deadline deadline,
                    const std::atomic<bool>& givenUp) override;
    std::string FetchText(std::string_view address, Deadline deadline,
                          const std::atomic<bool>& givenUp) override;

    const std::string& Agent() const { return agent_; }

  private:
    const std::string agent_;
};

}  // namespace runlens
