#include "inventory/process_list.h"

#include <string>

#include "inventory/image_path.h"

namespace runlens {
namespace {

constexpr std::uint64_t kSmallestShownSize = 4;
constexpr std::size_t kFallbackRows = 3;  // rows that may fall back to the system directory
constexpr std::uint32_t kFallbackIdLimit = 1000;

// What stays constant over one fill.
struct FillContext {
    InventorySystem& system;
    std::string systemDirectoryPrefix;  // system directory and one backslash
    std::string upperPrefix;
    std::string upperNames;
    bool ntFamily;
};

// The system-process emblem stands in for a missing icon of a known system process that lives
// in the system directory, on the NT family only.
bool ShowsSystemEmblem(const ProcessRow& row, FillContext& fill) {
    if (!fill.ntFamily)
        return false;
    if (fill.system.LocaleUpper(row.path).find(fill.upperPrefix) == std::string::npos) {
        return false;
    }
    const std::string key = fill.system.LocaleUpper("|" + row.caption + "|");
    return fill.upperNames.find(key) != std::string::npos;
}

}  // namespace

std::string FormatByteCount(std::uint64_t size) {
    std::string digits = std::to_string(size);
    const std::size_t count = digits.size();
    if (count > 6)
        digits.insert(digits.size() - 6, 1, '.');
    if (count > 3)
        digits.insert(digits.size() - 3, 1, '.');
    return digits;
}

std::string MakeSizeText(std::uint64_t size) {
    if (size < kSmallestShownSize)
        return {};
    return FormatByteCount(size) + " byte";
}

int AddProcessIcon(std::string_view path, InventorySystem& system, ProcessListView& view) {
    // A status text names no file.
    if (!IsPathText(path) || !system.FileExists(path))
        return kProgramImage;
    return view.AddFileIcon(path);
}

void FillProcessList(InventorySystem& system, ProcessListView& view) {
    FillContext fill{system, system.SystemDirectory() + "\\", {}, {}, system.IsNtFamily()};
    fill.upperPrefix = system.LocaleUpper(fill.systemDirectoryPrefix);
    fill.upperNames = system.LocaleUpper(kSystemProcessNames);

    const auto snapshot = system.TakeSnapshot();
    if (!snapshot)
        return;

    std::size_t insertPosition = 0;
    std::size_t listed = 0;
    SnapshotEntry entry;
    while (snapshot->Next(entry)) {
        if (entry.processId <= kHighestSkippedProcessId)
            continue;

        ProcessRow row;
        ImagePathText image = GetProcessImagePath(entry.processId, system);
        row.path = std::move(image.text);
        row.exactPath = image.exact;
        // Early system processes that refuse every query: a file of the same name in the
        // system directory is taken as their image.
        if (IsStatusText(row.path) && listed < kFallbackRows &&
            entry.processId < kFallbackIdLimit && entry.exactName) {
            std::string candidate = fill.systemDirectoryPrefix + entry.exeFile;
            if (system.FileExists(candidate))
                row.path = std::move(candidate);
        }
        row.processId = entry.processId;
        row.caption = std::move(entry.exeFile);
        row.exactCaption = entry.exactName;
        // A path the code page could not hold exactly names no file (its look-alike might name
        // another one): the row shows it as it shows a file that is not there.
        row.imageIndex = row.exactPath ? AddProcessIcon(row.path, system, view) : kProgramImage;
        if (row.imageIndex < 0 && ShowsSystemEmblem(row, fill))
            row.imageIndex = kSystemEmblemImage;

        if (IsPathText(row.path)) {
            if (row.exactPath)
                row.sizeText = MakeSizeText(system.GetFileSizeOf(row.path));
            view.InsertRow(insertPosition++, std::move(row));
        } else {
            view.AppendRow(std::move(row));
        }
        ++listed;
    }
}

}  // namespace runlens
