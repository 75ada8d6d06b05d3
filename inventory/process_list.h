// Filling the process list: one row for every running process with an id above 8, path rows
// first, status rows after them, each with its icon and size.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_page.h"
#include "inventory/inventory_system.h"

namespace runlens {

// Eleven executable names, each enclosed by "|".
inline constexpr std::string_view kSystemProcessNames =
    "|svchost.exe|smss.exe|csrss.exe|winlogon.exe|services.exe|lsass.exe|spoolsv.exe|regsvc.exe|"
    "mstask.exe|tcpsvcs.exe|snmp.exe|";

// Processes with ids up to this one (the idle and system processes) are not listed.
inline constexpr std::uint32_t kHighestSkippedProcessId = 8;

// Decimal digits with "." before the last three and the last six digits: 1234567 -> 1.234.567.
std::string FormatByteCount(std::uint64_t size);

// The size column's text; empty for sizes of 3 bytes or less.
std::string MakeSizeText(std::uint64_t size);

// The work that depends only on a file (its existence and size) is done once per path text
// within one fill, and the service control manager is asked at most once. The fill reads no
// icon: a row whose image depends on its file's icon is left waiting for it (iconPending).
void FillProcessList(InventorySystem& system, const CodePage& ansi, ProcessListView& view);

// The files whose icons the rows wait for, each once, in the order the rows are shown.
std::vector<std::string> PendingIconFiles(std::span<const ProcessRow* const> shownRows);

// The image a waiting row takes once its file's icon is known: the icon's image, or for a file
// without an icon (kNoImage) the emblem rule's image.
constexpr int ImageWithFileIcon(const ProcessRow& row, int fileImage) {
    return fileImage >= 0 ? fileImage : row.imageWithoutIcon;
}

}  // namespace runlens
