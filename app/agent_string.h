// The text sent as the user agent of every web request, built once at start-up.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runlens {

enum class PlatformFamily { kNt, kNineX, kOther };

struct AgentFacts {
    std::string_view programFileName;  // file name only, with extension
    PlatformFamily family = PlatformFamily::kNt;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint16_t languageId = 0;
    std::string_view languageName;  // English names; empty when unreadable
    std::string_view countryName;
};

// For example "runlens.exe/1 (Windows  NT 6.1, 0411 Japanese/Japan)", with two spaces before NT.
std::string BuildAgentString(const AgentFacts& facts);

}  // namespace runlens
