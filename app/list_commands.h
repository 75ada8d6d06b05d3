// The rules of the list's everyday commands: which row a refresh selects again, and the text
// a copy puts on the clipboard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/process_row.h"

namespace runlens {

// What tells a listed process from every other one across two fills: its id, and its
// executable name, so that an id the system has given to a later process of another program
// does not count. The path is left out: whether a process that refuses every query shows a
// path depends on its place in the snapshot, and that changes between fills.
struct ProcessIdentity {
    std::uint32_t processId = 0;
    std::string caption;
};

ProcessIdentity IdentityOf(const ProcessRow& row);

// The place of the row that shows the process, among the rows in the order the list shows
// them; nothing when it is no longer listed. A row that no snapshot listed (id 0) is never
// the same process as another.
std::optional<std::size_t> FindProcessRow(const ProcessIdentity& process,
                                          std::span<const ProcessRow* const> rows);

// The three texts of a row as the list shows them, tab-separated on one line. A tab or line
// break inside a text becomes a space, so that the copy still reads as one row of three fields.
std::u16string RowClipboardText(std::u16string_view caption, std::u16string_view path,
                                std::u16string_view size);

}  // namespace runlens
