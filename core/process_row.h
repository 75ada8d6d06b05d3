// One row of the process list, as the fill builds it and the rest of the program reads it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/ansi_text.h"

namespace runlens {

// Indexes into both image lists; a process's own icon gets 2 and up.
inline constexpr int kNoImage = -1;
inline constexpr int kSystemEmblemImage = 0;
inline constexpr int kProgramImage = 1;

struct ProcessRow {
    AnsiText caption;      // executable name from the process snapshot
    AnsiText path;         // image path, or a status text that begins with a space
    std::string sizeText;  // empty when the row shows no size
    int imageIndex = kNoImage;
    // The status text ends with the administrator hint: five spaces and the hint, converted to
    // the ANSI code page like the system's message before it. The sort compares those bytes and
    // the shell gets them; the list shows the hint from the program's own text, which every
    // code page can show.
    bool administratorHint = false;
    // The snapshot's process id; 0 for a row that no snapshot listed. Ids are reused once a
    // process has ended, so an id alone does not tell one process from a later one.
    std::uint32_t processId = 0;
    // Set while the row's image waits for its file's icon, which the fill leaves to the icon
    // work; the row then takes the icon's image or, when the file has none, imageWithoutIcon:
    // the system-process emblem or no image, by the emblem rule.
    bool iconPending = false;
    int imageWithoutIcon = kNoImage;
};

// A row is a path row when its first detail text is not empty and does not begin with a space;
// every other row is a status row. Rows are placed by this test alone.
constexpr bool IsPathText(std::string_view text) {
    return !text.empty() && text.front() != ' ';
}
constexpr bool IsStatusText(std::string_view text) {
    return !text.empty() && text.front() == ' ';
}

}  // namespace runlens
