// A text of the system in the ANSI code page, and whether it holds the system's text exactly.
// The code page lacks some characters of the system's texts: converted without look-alikes,
// each becomes the code page's default character ("?"), and `exact` is false. Best fit would
// turn a fullwidth backslash into "\" and make one path look like another; an inexact text
// still shows, but it names no file.
#pragma once

#include <string>
#include <utility>

namespace runlens {

struct AnsiText {
    AnsiText() = default;
    // An exact text unless told otherwise.
    AnsiText(std::string bytes, bool isExact = true) : text(std::move(bytes)), exact(isExact) {}
    AnsiText(const char* bytes) : text(bytes) {}

    bool operator==(const AnsiText&) const = default;

    std::string text;
    bool exact = true;
};

}  // namespace runlens
