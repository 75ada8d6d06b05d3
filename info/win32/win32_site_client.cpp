#include "info/win32/win32_site_client.h"

#include "info/win32/win32_internet.h"

namespace runlens {

bool Win32SiteClient::PageExists(std::string_view address, Deadline deadline,
                                 const std::atomic<bool>& givenUp) {
    return UrlExists(address, agent_, deadline, givenUp);
}

std::string Win32SiteClient::FetchText(std::string_view address, Deadline deadline,
                                       const std::atomic<bool>& givenUp) {
    return FetchUrlText(address, agent_, deadline, givenUp);
}

}  // namespace runlens
