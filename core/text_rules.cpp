#include "core/text_rules.h"

namespace runlens {

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 0x20);
    }
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

PathParts SplitPath(std::string_view path, LeadBytePredicate isLeadByte) {
    std::size_t split = 0;  // just past the last separator
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (isLeadByte(byte)) {
            ++i;  // the trail byte never separates
        } else if (byte == '\\' || byte == ':') {
            split = i + 1;
        }
    }
    return {path.substr(0, split), path.substr(split)};
}

}  // namespace runlens
