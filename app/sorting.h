// Sorting the process list by a column. The sort key k is never 0: |k| - 1 is the column and
// k < 0 sorts descending.
#pragma once

#include <string_view>

#include "core/process_row.h"

namespace runlens {

// The byte that pads the shorter text of a right-aligned column on the left; it sorts before
// every printable character.
inline constexpr char kRightAlignPad = '\x01';

// Each column keeps its direction as a flag of 0 or 1; the first click sorts descending.
// Toggles the flag and returns the key for the sort.
int NextSortKey(int column, int& flag);

// The text a row shows in a column; the empty text where the row has none.
std::string_view ColumnText(const ProcessRow& row, int column);

// Negative, zero or positive. Letters are folded to upper case, so the characters between
// "Z" and "a" (the underscore among them) sort after every letter.
int CompareRows(const ProcessRow& row1, const ProcessRow& row2, int sortKey, bool rightAligned);

}  // namespace runlens
