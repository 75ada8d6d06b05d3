// Stand-ins for the system's code pages, for the portable tests and fuzz targets.
#pragma once

#include <string>
#include <string_view>

#include "info/version_block.h"

namespace runlens::testing {

// Code page 932 (Shift JIS): the second byte of a double-byte character may be a backslash,
// as in 表 (0x95 0x5C).
inline bool ShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Latin-1 stands in for the system's ANSI code page.
class Latin1Codec : public AnsiCodec {
  public:
    std::string FromUtf16(std::u16string_view text) const override {
        std::string out;
        for (const char16_t c : text)
            out += c < 0x100 ? static_cast<char>(c) : '?';
        return out;
    }
    std::u16string ToUtf16(std::string_view text) const override {
        std::u16string out;
        for (const char c : text)
            out += static_cast<char16_t>(static_cast<unsigned char>(c));
        return out;
    }
};

}  // namespace runlens::testing
