#include "tests/fakes/fake_inventory.h"

#include "inventory/process_list.h"

namespace runlens::testing {
namespace {

class FakeSnapshot : public ProcessSnapshot {
  public:
    explicit FakeSnapshot(std::vector<FakeProcess> processes) : processes_(std::move(processes)) {}
    bool Next(SnapshotEntry& entry) override {
        if (next_ >= processes_.size())
            return false;
        entry.processId = processes_[next_].id;
        entry.exeFile = {processes_[next_].exeFile, processes_[next_].exactName};
        ++next_;
        return true;
    }

  private:
    std::vector<FakeProcess> processes_;
    std::size_t next_ = 0;
};

constexpr std::uint32_t kInvalidParameter = 87;

}  // namespace

std::optional<std::string> FakeInventory::ExpandEnvironment(std::string_view text) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('%', pos);
        const std::size_t close = open == text.npos ? text.npos : text.find('%', open + 1);
        if (close == text.npos)
            break;
        const auto value = environment.find(std::string(text.substr(open + 1, close - open - 1)));
        out += text.substr(pos, open - pos);
        out += value == environment.end() ? std::string(text.substr(open, close - open + 1))
                                          : value->second;
        pos = close + 1;
    }
    out += text.substr(std::min(pos, text.size()));
    return out;
}

const FakeProcess* FakeInventory::Find(std::uint32_t processId) const {
    for (const FakeProcess& process : processes) {
        if (process.id == processId)
            return &process;
    }
    return nullptr;
}

ImageQuery FakeInventory::QueryFullImageName(std::uint32_t processId) {
    const FakeProcess* process = Find(processId);
    return process ? process->fullImageName : ImageQuery{{}, kInvalidParameter};
}

ImageQuery FakeInventory::QueryModuleFileName(std::uint32_t processId) {
    const FakeProcess* process = Find(processId);
    return process ? process->moduleFileName : ImageQuery{{}, kInvalidParameter};
}

std::string FakeInventory::SystemMessage(std::uint32_t error) {
    const auto message = messages.find(error);
    return message == messages.end() ? std::string() : message->second;
}

ServiceManagerOpen FakeInventory::OpenServiceManager() {
    ++serviceManagerOpens;
    return serviceManager;
}

std::unique_ptr<ProcessSnapshot> FakeInventory::TakeSnapshot() {
    if (snapshotFails)
        return nullptr;
    return std::make_unique<FakeSnapshot>(processes);
}

bool FakeInventory::FileExists(std::string_view path) {
    existenceTests.emplace_back(path);
    return files.contains(std::string(path)) || vanishing.contains(std::string(path));
}

std::uint64_t FakeInventory::GetFileSizeOf(std::string_view path) {
    sizeSearches.emplace_back(path);
    const auto file = files.find(std::string(path));
    return file == files.end() ? 0 : file->second;
}

void RecordingListView::InsertRow(std::size_t position, ProcessRow row) {
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(std::min(position, rows.size())),
                std::move(row));
}

void RecordingListView::CompleteIcons() {
    std::vector<const ProcessRow*> shown;
    for (const ProcessRow& row : rows)
        shown.push_back(&row);
    for (const std::string& file : PendingIconFiles(shown)) {
        iconsAsked.push_back(file);
        int image = kNoImage;
        if (icons.contains(file)) {
            iconsAdded.push_back(file);
            image = static_cast<int>(iconsAdded.size()) + 1;  // after the two stock images
        }
        for (ProcessRow& row : rows) {
            if (row.iconPending && row.path == file) {
                row.imageIndex = ImageWithFileIcon(row, image);
                row.iconPending = false;
            }
        }
    }
}

std::vector<std::string> RecordingListView::Captions() const {
    std::vector<std::string> captions;
    for (const ProcessRow& row : rows)
        captions.push_back(row.caption.text);
    return captions;
}

}  // namespace runlens::testing
