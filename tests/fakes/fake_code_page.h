// A stand-in for the system's ANSI code page, for the portable tests, the fuzz targets and the
// host tools. Upper-casing is ASCII's.
#pragma once

#include <string>
#include <string_view>

#include "core/code_page.h"
#include "core/text_rules.h"

namespace runlens::testing {

class FakeCodePage final : public CodePage {
  public:
    enum class Kind {
        // The texts are UTF-8, as the program's own: conversions are exact, and no byte begins
        // a double-byte character.
        kUtf8,
        // Every byte is the character of its number; a character past U+00FF becomes "?".
        kLatin1,
        // The lead bytes of code page 932 (Shift JIS), where the second byte of a double-byte
        // character may be a backslash, as in 表 (0x95 0x5C). Texts convert as Latin-1.
        kShiftJisBytes,
    };

    explicit FakeCodePage(Kind kind = Kind::kUtf8) : kind_(kind) {}

    std::u16string ToUtf16(std::string_view text) const override {
        if (kind_ == Kind::kUtf8)
            return Utf16FromUtf8(text);
        std::u16string out;
        for (const char c : text)
            out += static_cast<char16_t>(static_cast<unsigned char>(c));
        return out;
    }
    std::string FromUtf16(std::u16string_view text) const override {
        if (kind_ == Kind::kUtf8)
            return Utf8FromUtf16(text);
        std::string out;
        for (const char16_t c : text)
            out += c < 0x100 ? static_cast<char>(c) : '?';
        return out;
    }
    bool IsLeadByte(unsigned char byte) const override {
        return kind_ == Kind::kShiftJisBytes &&
               ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
    }
    std::string Upper(std::string_view text) const override { return AsciiUpper(text); }

  private:
    Kind kind_;
};

}  // namespace runlens::testing
