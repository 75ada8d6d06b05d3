// The fill of the process list reduced to the calls it cannot do without, for the benchmark
// and the bare window it compares the start-up with.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>

namespace runlens::bench {

// The id of the list in the filled bare window.
inline constexpr int kBareListId = 1;

// Gives a report-view list the three columns of the process list, the last one right-aligned.
void AddColumns(HWND list);

// Fills a report-view list of three columns and its two image lists: one snapshot, one
// image-path query per process, the list inserts, and the work of each row's file (its
// existence test, icon extraction and size search), either for every row or once per distinct
// file (the least work). Returns the number of distinct files.
std::size_t BareFill(HWND list, HIMAGELIST small, HIMAGELIST large, bool oncePerFile);

}  // namespace runlens::bench
