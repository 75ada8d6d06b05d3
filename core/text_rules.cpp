#include "core/text_rules.h"

namespace runlens {

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = UpperAsciiLetter(c);
    return out;
}

std::string LowerBytes(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 0x20);
    }
    return out;
}

std::size_t WithoutCutUtf8Character(std::string_view text) {
    // A character is at most four bytes: its lead byte is among the last three.
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue;  // a continuation byte: look further back
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? text.size() - back : text.size();
    }
    return text.size();
}

PathParts SplitPath(std::string_view path, const CodePage& ansi) {
    TrailByteWalk walk(path, ansi);
    std::size_t split = 0;  // just past the last separator
    for (std::size_t i = 0; i < path.size(); ++i) {
        // A trail byte never separates, nor does a lead byte, whatever its value.
        const auto byte = static_cast<unsigned char>(path[i]);
        if ((byte == '\\' || byte == ':') && !walk.IsTrailByte(i) && !ansi.IsLeadByte(byte))
            split = i + 1;
    }
    return {path.substr(0, split), path.substr(split)};
}

}  // namespace runlens
