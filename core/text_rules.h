// Byte-wise text rules shared by the subsystems. Texts are 8-bit strings.
#pragma once

#include <string>
#include <string_view>

#include "core/code_page.h"

namespace runlens {

// The ASCII letters a to z as A to Z; every other character stays as it is, also a byte of a
// double-byte character.
template <typename Char>
constexpr Char UpperAsciiLetter(Char c) {
    return c >= Char{'a'} && c <= Char{'z'} ? static_cast<Char>(c - 0x20) : c;
}

// Upper-cases the ASCII letters a to z and nothing else.
std::string AsciiUpper(std::string_view text);

// Lower-cases byte by byte: every byte from 0x41 to 0x5A gets 0x20 added, also where it is the
// second byte of a double-byte character.
std::string LowerBytes(std::string_view text);

constexpr bool StartsWithAsciiNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (UpperAsciiLetter(text[i]) != UpperAsciiLetter(prefix[i]))
            return false;
    }
    return true;
}

// Tells whether positions of a text, asked in increasing order, are the second byte of a
// double-byte character of the ANSI code page. It reads the lead bytes only as far as it is
// asked.
class TrailByteWalk {
  public:
    TrailByteWalk(std::string_view text, const CodePage& ansi) : text_(text), ansi_(ansi) {}

    bool IsTrailByte(std::size_t at) {
        while (next_ < at) {
            const bool pair = ansi_.IsLeadByte(static_cast<unsigned char>(text_[next_])) &&
                              next_ + 1 < text_.size();
            next_ += pair ? 2 : 1;
        }
        return next_ > at;
    }

  private:
    std::string_view text_;
    const CodePage& ansi_;
    std::size_t next_ = 0;  // where the next character begins
};

// The length of the text less a UTF-8 character cut off at its end: the bytes after the last
// complete character when they begin a multi-byte character that the text ends inside.
std::size_t WithoutCutUtf8Character(std::string_view text);

struct PathParts {
    std::string_view folder;  // up to and including the last backslash or colon
    std::string_view name;    // everything after it
};

// Splits at the last backslash or colon that is not part of a double-byte character;
// without either, the folder is empty and the name is the whole text.
PathParts SplitPath(std::string_view path, const CodePage& ansi);

}  // namespace runlens
