// Byte-wise text rules shared by the subsystems. Texts are 8-bit strings.
#pragma once

#include <string>
#include <string_view>

namespace runlens {

// Upper-cases the ASCII letters a to z and nothing else.
std::string AsciiUpper(std::string_view text);

// Lower-cases byte by byte: every byte from 0x41 to 0x5A gets 0x20 added, also where it is the
// second byte of a double-byte character.
std::string LowerBytes(std::string_view text);

constexpr bool StartsWithAsciiNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; };
        if (up(text[i]) != up(prefix[i]))
            return false;
    }
    return true;
}

// Tells whether a byte begins a double-byte character in the system's ANSI code page.
using LeadBytePredicate = bool (*)(unsigned char);
inline bool NoLeadBytes(unsigned char) {
    return false;
}

// The length of the text less a UTF-8 character cut off at its end: the bytes after the last
// complete character when they begin a multi-byte character that the text ends inside.
std::size_t WithoutCutUtf8Character(std::string_view text);

struct PathParts {
    std::string_view folder;  // up to and including the last backslash or colon
    std::string_view name;    // everything after it
};

// Splits at the last backslash or colon that is not the second byte of a double-byte character;
// without either, the folder is empty and the name is the whole text.
PathParts SplitPath(std::string_view path, LeadBytePredicate isLeadByte);

}  // namespace runlens
