// The information site over WinInet, with the system's proxy settings. Each request gives up at
// its deadline whatever the server does: one that never answers, drips its reply a byte at a
// time or redirects in a circle.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/win32/dynamic_functions.h"
#include "info/online_lookup.h"

namespace runlens {

// True when a request for the address ends with HTTP status 200 before the deadline. Redirects
// are followed, at most kMostRedirects of them and only within the same scheme, host and port.
// `internet` is WinInet's functions, or calls of the same shape in their place.
bool UrlExists(std::string_view address, std::string_view agent, Deadline deadline,
               const InternetFunctions& internet = DynamicFunctions::Internet());
// The same, given up (false) as soon as `givenUp` is set.
bool UrlExists(std::string_view address, std::string_view agent, Deadline deadline,
               const std::atomic<bool>& givenUp,
               const InternetFunctions& internet = DynamicFunctions::Internet());

// The body of the response, up to kFetchCap bytes read, each read's text up to its first zero
// byte; empty on any failure and when the deadline passes first.
std::string FetchUrlText(std::string_view address, std::string_view agent, Deadline deadline,
                         const InternetFunctions& internet = DynamicFunctions::Internet());
// The same, given up (empty) as soon as `givenUp` is set.
std::string FetchUrlText(std::string_view address, std::string_view agent, Deadline deadline,
                         const std::atomic<bool>& givenUp,
                         const InternetFunctions& internet = DynamicFunctions::Internet());

// The serial number of the volume that holds the program file; 0 when it cannot be read.
std::uint32_t GetVolumeSerial();
// The same for any file's full path.
std::uint32_t VolumeSerialOf(std::wstring_view path);

}  // namespace runlens
