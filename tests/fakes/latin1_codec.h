// A stand-in for the system's ANSI code page, for the tests and fuzz targets of the version
// functions' model.
#pragma once

#include <string>
#include <string_view>

#include "tests/oracle/version_block.h"

namespace runlens::testing {

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
