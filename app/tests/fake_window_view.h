// A window for the controller's tests: the list's rows in memory, in the order the list shows
// them, and a record of everything the controller shows or asks of the window. The icons the
// tests hand to the window are NamedIcons, which write down when they go.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/sorting.h"
#include "app/window_controller.h"
#include "tests/fakes/fake_code_page.h"
#include "tests/fakes/fake_inventory.h"
#include "tests/fakes/recording_browser.h"
#include "tests/fakes/recording_shell.h"

namespace runlens::testing {

// The names of the icons destroyed so far; the icon work's threads destroy icons too.
class IconLedger {
  public:
    void Destroyed(std::string name) {
        const std::lock_guard lock(mutex_);
        destroyed_.push_back(std::move(name));
    }
    std::vector<std::string> Destroyed() const {
        const std::lock_guard lock(mutex_);
        return destroyed_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> destroyed_;
};

class NamedIcons final : public FileIcons {
  public:
    NamedIcons(std::string name, std::shared_ptr<IconLedger> ledger)
        : name(std::move(name)), ledger_(std::move(ledger)) {}
    ~NamedIcons() override { ledger_->Destroyed(name); }

    const std::string name;

  private:
    std::shared_ptr<IconLedger> ledger_;
};

// A process whose image path every query gives.
inline FakeProcess RunningProcess(std::uint32_t id, std::string name, std::string path) {
    return {id, std::move(name), {std::move(path), 0}, {{}, 0}};
}

// A process that refuses every query.
inline FakeProcess LockedProcess(std::uint32_t id, std::string name) {
    return {id, std::move(name), {{}, kErrorAccessDenied}, {{}, kErrorAccessDenied}};
}

class FakeWindowView final : public WindowView, private ProcessListView {
  public:
    // The rows the fills put in. They never move, as the list's items point at them; the list
    // shows them in the order of `shown`.
    std::deque<ProcessRow> rows;
    std::vector<ProcessRow*> shown;
    std::optional<std::size_t> selected;  // the selected item

    std::array<int, 3> sortFlags{};
    std::array<bool, 3> rightAligned{false, false, true};  // the size column
    std::vector<bool> redraws;
    std::vector<ViewStyle> styles;

    bool imageListsFull = false;          // AddFileIcons then adds nothing
    std::vector<std::string> iconsAdded;  // the NamedIcons' names, in the order they were added
    std::vector<std::pair<std::size_t, int>> itemImages;  // every SetItemImage

    bool clipboardRefuses = false;
    std::vector<std::u16string> clipboard;
    int beeps = 0;

    std::vector<std::u16string> statusLines;
    std::vector<std::u16string> noticeBoxes;
    std::vector<std::string> localPages;  // the caption of each row whose local page was shown
    std::vector<bool> busyCursor;         // every change of the pointer
    // What the user sees change, in order: "image", "status", "notice" and "local page".
    std::vector<std::string> seen;

    RecordingBrowser pane;
    RecordingShell shell{std::vector<std::intptr_t>{}};

    // WindowView
    ProcessListView& Rows() override { return *this; }
    void ResetRows() override {
        shown.clear();
        rows.clear();
        selected.reset();
    }
    void SetRedraw(bool on) override { redraws.push_back(on); }
    std::vector<const ProcessRow*> ShownRows() const override {
        return std::vector<const ProcessRow*>(shown.begin(), shown.end());
    }
    const ProcessRow* SelectedRow() const override {
        return selected ? shown.at(*selected) : nullptr;
    }
    void SelectItem(std::size_t item) override { selected = item; }
    void SortRows(int sortKey, bool rightAlignedColumn) override {
        std::stable_sort(shown.begin(), shown.end(), [&](const ProcessRow* a, const ProcessRow* b) {
            return CompareRows(*a, *b, sortKey, rightAlignedColumn) < 0;
        });
    }
    int ColumnSortFlag(int column) const override { return sortFlags.at(column); }
    void SetColumnSortFlag(int column, int flag) override { sortFlags.at(column) = flag; }
    bool ColumnRightAligned(int column) const override { return rightAligned.at(column); }
    void SetViewStyle(ViewStyle style) override { styles.push_back(style); }
    int AddFileIcons(FileIcons& icons) override {
        if (imageListsFull)
            return kNoImage;
        iconsAdded.push_back(dynamic_cast<NamedIcons&>(icons).name);
        return static_cast<int>(iconsAdded.size()) + 1;  // after the two stock images
    }
    void SetItemImage(std::size_t item, int image) override {
        itemImages.emplace_back(item, image);
        seen.emplace_back("image");
        ProcessRow& row = *shown.at(item);
        row.imageIndex = image;
        row.iconPending = false;
    }
    std::array<std::u16string, 3> ShownTexts(const ProcessRow& row) const override {
        return {text_.ToUtf16(row.caption.text), text_.ToUtf16(row.path.text),
                text_.ToUtf16(row.sizeText)};
    }
    bool PutOnClipboard(std::u16string_view text) override {
        if (clipboardRefuses)
            return false;
        clipboard.emplace_back(text);
        return true;
    }
    void Beep() override { ++beeps; }
    void ShowStatusLine(std::u16string_view text) override {
        statusLines.emplace_back(text);
        seen.emplace_back("status");
    }
    void ShowNoticeBox(std::u16string_view message) override {
        noticeBoxes.emplace_back(message);
        seen.emplace_back("notice");
    }
    BrowserPane& Pane() override { return pane; }
    Shell& WindowShell() override { return shell; }
    void ShowLocalPage(const ProcessRow& row) override {
        localPages.push_back(row.caption.text);
        seen.emplace_back("local page");
    }
    void SetBusyCursor(bool busy) override { busyCursor.push_back(busy); }

    // For the tests.
    bool ShowsBusyCursor() const { return !busyCursor.empty() && busyCursor.back(); }
    bool RedrawOn() const { return redraws.empty() || redraws.back(); }
    std::vector<std::string> ShownCaptions() const {
        std::vector<std::string> captions;
        for (const ProcessRow* row : shown)
            captions.push_back(row->caption.text);
        return captions;
    }
    // The item showing the first row with the caption (or also the process id).
    std::size_t ItemOf(std::string_view caption, std::uint32_t processId = 0) const {
        for (std::size_t item = 0; item < shown.size(); ++item) {
            if (shown[item]->caption.text == caption &&
                (processId == 0 || shown[item]->processId == processId)) {
                return item;
            }
        }
        throw std::runtime_error("no row " + std::string(caption));
    }
    void Select(std::string_view caption, std::uint32_t processId = 0) {
        selected = ItemOf(caption, processId);
    }
    int ImageOf(std::string_view caption) const { return shown.at(ItemOf(caption))->imageIndex; }

  private:
    // ProcessListView
    void InsertRow(std::size_t position, ProcessRow row) override {
        rows.push_back(std::move(row));
        shown.insert(shown.begin() + static_cast<std::ptrdiff_t>(std::min(position, shown.size())),
                     &rows.back());
    }
    void AppendRow(ProcessRow row) override {
        rows.push_back(std::move(row));
        shown.push_back(&rows.back());
    }

    const FakeCodePage text_;
};

}  // namespace runlens::testing
