#include "inventory/process_list.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "inventory/image_path.h"

namespace runlens {
namespace {

constexpr std::uint64_t kSmallestShownSize = 4;
constexpr std::size_t kFallbackRows = 3;  // rows that may fall back to the system directory
constexpr std::uint32_t kFallbackIdLimit = 1000;

// What stays constant over one fill.
struct FillContext {
    const CodePage& ansi;
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
    if (fill.ansi.Upper(row.path.text).find(fill.upperPrefix) == std::string::npos) {
        return false;
    }
    const std::string key = fill.ansi.Upper("|" + row.caption.text + "|");
    return fill.upperNames.find(key) != std::string::npos;
}

// What the fill asks of the files themselves, asked once per path text within one fill: many
// processes run the same executable, and their rows share its answers. Only exact path texts
// come here; one the code page could not hold names no file.
class FileAnswers {
  public:
    explicit FileAnswers(InventorySystem& system) : system_(system) {}

    bool Exists(const std::string& path) {
        Answers& file = files_[path];
        if (!file.exists)
            file.exists = system_.FileExists(path);
        return *file.exists;
    }

    // A text that names no existing file shows the program symbol; an existing file shows
    // its own icon, which the icon work brings later.
    bool NamesExistingFile(const std::string& path) { return IsPathText(path) && Exists(path); }

    std::uint64_t Size(const std::string& path) {
        Answers& file = files_[path];
        if (!file.size)
            file.size = system_.GetFileSizeOf(path);
        return *file.size;
    }

  private:
    struct Answers {
        std::optional<bool> exists;
        std::optional<std::uint64_t> size;
    };

    InventorySystem& system_;
    std::unordered_map<std::string, Answers> files_;
};

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

std::vector<std::string> PendingIconFiles(std::span<const ProcessRow* const> shownRows) {
    std::vector<std::string> files;
    std::unordered_set<std::string_view> seen;
    for (const ProcessRow* row : shownRows) {
        if (row && row->iconPending && seen.insert(row->path.text).second)
            files.push_back(row->path.text);
    }
    return files;
}

void FillProcessList(InventorySystem& system, const CodePage& ansi, ProcessListView& view) {
    FillContext fill{ansi, system.SystemDirectory() + "\\", {}, {}, system.IsNtFamily()};
    fill.upperPrefix = ansi.Upper(fill.systemDirectoryPrefix);
    fill.upperNames = ansi.Upper(kSystemProcessNames);

    const auto snapshot = system.TakeSnapshot();
    if (!snapshot)
        return;

    FileAnswers files(system);
    AdministratorHintRule hint(system, ansi);
    std::size_t insertPosition = 0;
    std::size_t listed = 0;
    SnapshotEntry entry;
    while (snapshot->Next(entry)) {
        if (entry.processId <= kHighestSkippedProcessId)
            continue;

        ProcessRow row;
        ImagePathText image = GetProcessImagePath(entry.processId, system, hint);
        row.path = std::move(image.text);
        row.administratorHint = image.administratorHint;
        // Early system processes that refuse every query: a file of the same name in the
        // system directory is taken as their image.
        if (IsStatusText(row.path.text) && listed < kFallbackRows &&
            entry.processId < kFallbackIdLimit && entry.exeFile.exact) {
            std::string candidate = fill.systemDirectoryPrefix + entry.exeFile.text;
            if (files.Exists(candidate)) {
                row.path = std::move(candidate);
                row.administratorHint = false;
            }
        }
        row.processId = entry.processId;
        row.caption = std::move(entry.exeFile);
        // A path the code page could not hold exactly names no file (its look-alike might name
        // another one): the row shows it as it shows a file that is not there.
        if (row.path.exact && files.NamesExistingFile(row.path.text)) {
            row.imageIndex = kNoImage;
            row.iconPending = true;
            row.imageWithoutIcon = ShowsSystemEmblem(row, fill) ? kSystemEmblemImage : kNoImage;
        } else {
            row.imageIndex = kProgramImage;
        }

        if (IsPathText(row.path.text)) {
            if (row.path.exact)
                row.sizeText = MakeSizeText(files.Size(row.path.text));
            view.InsertRow(insertPosition++, std::move(row));
        } else {
            view.AppendRow(std::move(row));
        }
        ++listed;
    }
}

}  // namespace runlens
