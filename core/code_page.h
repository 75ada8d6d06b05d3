// The system's ANSI code page: the encoding of the 8-bit texts the program takes from the system
// and keeps (paths, executable names, messages, version strings). Every question about it goes
// through this one interface; core/win32 answers with the system's own calls, the portable tests
// with a fake.
#pragma once

#include <string>
#include <string_view>

namespace runlens {

class CodePage {
  public:
    virtual ~CodePage() = default;
    virtual std::u16string ToUtf16(std::string_view text) const = 0;
    // Without look-alikes: a character the code page lacks becomes its default character.
    virtual std::string FromUtf16(std::u16string_view text) const = 0;
    // Whether a byte begins a double-byte character.
    virtual bool IsLeadByte(unsigned char byte) const = 0;
    // Upper-cases by the user's locale rules; every byte keeps its place.
    virtual std::string Upper(std::string_view text) const = 0;
};

// The program's own texts are UTF-8.
std::string Utf8FromAnsi(const CodePage& ansi, std::string_view text);
std::string AnsiFromUtf8(const CodePage& ansi, std::string_view utf8);

// Between UTF-8 and UTF-16. Each byte of a sequence that is not valid UTF-8 (cut off, overlong,
// a surrogate, past U+10FFFF), and a surrogate without its partner, becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view utf8);
// True when the text holds no such sequence: every byte belongs to a valid UTF-8 character.
bool IsUtf8(std::string_view text);
std::string Utf8FromUtf16(std::u16string_view text);

}  // namespace runlens
