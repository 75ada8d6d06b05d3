// The information site over WinInet, with the system's proxy settings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runlens {

// The most of a response body that is read; a notice reply is a few bytes.
inline constexpr std::size_t kFetchCap = 64 * 1024;

// True when a request for the address ends with HTTP status 200.
bool UrlExists(std::string_view address, std::string_view agent);

// The body of the response, up to kFetchCap bytes; empty on any failure.
std::string FetchUrlText(std::string_view address, std::string_view agent);

// The serial number of the volume that holds the program file; 0 when it cannot be read.
std::uint32_t GetVolumeSerial();

// The notice message as the site sends it: UTF-8 when it is valid UTF-8, else code page 932.
std::wstring DecodeNoticeMessage(std::string_view message);

}  // namespace runlens
