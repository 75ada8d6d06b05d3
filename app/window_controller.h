// The main window's flow, apart from the window itself: what a click, a column click, a refresh
// or a key does, what the lookups and the icon work bring back, and in which order what arrives
// counts. The window implements WindowView; the work that waits on the network or the disk runs
// through BackgroundWork, and its results come back here on the window's thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/shell_actions.h"
#include "core/browser_pane.h"
#include "core/code_page.h"
#include "core/process_row.h"
#include "info/online_lookup.h"
#include "inventory/inventory_system.h"

namespace runlens {

enum class ViewStyle { kReport, kLargeIcons, kSmallIcons };

// Tells one click's lookup, or one fill's icon work, from every other one of the run.
using LookupId = std::uint64_t;
using FillId = std::uint64_t;

// A file's icons as the icon work extracted them, for the window's image lists; what they are
// is the window's business.
class FileIcons {
  public:
    virtual ~FileIcons() = default;
};

struct IconResult {
    FillId fill = 0;
    std::size_t file = 0;              // the index into the fill's list of files
    std::unique_ptr<FileIcons> icons;  // null: the file has no icon
};

// What the flow asks of the window.
class WindowView {
  public:
    virtual ~WindowView() = default;

    // The list: the fill writes into Rows().
    virtual ProcessListView& Rows() = 0;
    // Empties the list and gives it image lists that hold only the stock images.
    virtual void ResetRows() = 0;
    // Off while the fill puts its rows in, so that the list repaints once.
    virtual void SetRedraw(bool on) = 0;
    // Every item's row, in the order the list shows them.
    virtual std::vector<const ProcessRow*> ShownRows() const = 0;
    virtual const ProcessRow* SelectedRow() const = 0;
    // Selects and focuses the item and scrolls it into view.
    virtual void SelectItem(std::size_t item) = 0;
    virtual void SortRows(int sortKey, bool rightAligned) = 0;
    // A column's sort direction flag, which the list keeps with the column.
    virtual int ColumnSortFlag(int column) const = 0;
    virtual void SetColumnSortFlag(int column, int flag) = 0;
    virtual bool ColumnRightAligned(int column) const = 0;
    virtual void SetViewStyle(ViewStyle style) = 0;
    // Adds the icons to both image lists; the index they got, or kNoImage when they could not
    // be added.
    virtual int AddFileIcons(FileIcons& icons) = 0;
    // Gives the item's row its image.
    virtual void SetItemImage(std::size_t item, int image) = 0;

    // The row's three texts as the list shows them.
    virtual std::array<std::u16string, 3> ShownTexts(const ProcessRow& row) const = 0;
    // False when the clipboard could not take the text.
    virtual bool PutOnClipboard(std::u16string_view text) = 0;
    virtual void Beep() = 0;

    virtual void ShowStatusLine(std::u16string_view text) = 0;
    // A modal message box with the site's message: no icon, one OK button.
    virtual void ShowNoticeBox(std::u16string_view message) = 0;
    virtual BrowserPane& Pane() = 0;
    // Where files and the site are handed to the shell.
    virtual Shell& WindowShell() = 0;
    // Builds the row's local information page and shows it in the pane.
    virtual void ShowLocalPage(const ProcessRow& row) = 0;
    // The pointer over the window: the system's "working in background" one while busy.
    virtual void SetBusyCursor(bool busy) = 0;
};

// The work that waits: each call returns at once, and its result comes back through the
// controller's ProbeEnded, NoticeReplied and IconsArrived on the window's thread.
class BackgroundWork {
  public:
    virtual ~BackgroundWork() = default;
    virtual void StartProbe(LookupId lookup, std::string address, Deadline deadline) = 0;
    virtual void StartNotice(LookupId lookup, std::string address, Deadline deadline) = 0;
    // The lookup's requests stop; a result of theirs already on its way counts no more.
    virtual void GiveUp(LookupId lookup) = 0;
    // Extracts the files' icons one after the other, in the order given.
    virtual void StartIcons(FillId fill, std::vector<std::string> files) = 0;
    // The fill's icon work still pending stops.
    virtual void DropIcons(FillId fill) = 0;
};

class WindowController {
  public:
    struct Services {
        WindowView& view;
        BackgroundWork& background;
        // Makes the system's side of one fill.
        std::function<std::unique_ptr<InventorySystem>()> inventory;
        const CodePage& ansi;
        // The notice script's address with this installation's code, asked for when the
        // notice is sent.
        std::function<std::string()> noticeAddress;
    };

    explicit WindowController(Services services);
    WindowController(const WindowController&) = delete;
    WindowController& operator=(const WindowController&) = delete;

    // The first fill, at start-up.
    void FormCreate();
    // Closing: every lookup and the icon work are given up, and nothing that still arrives
    // is applied.
    void FormClose();

    void SetViewStyle(ViewStyle style);
    ViewStyle CurrentViewStyle() const { return viewStyle_; }
    void ListViewColumnClick(int column);
    // Fills the list again by the same rules, sorted as it was, with the selected process
    // still selected when it still runs. The browser pane keeps what it shows, and a lookup
    // under way still applies to the row that was clicked.
    void RefreshPopupmenuClick();
    void ShowInExplorerPopupmenuClick();
    void Image1Click();
    void CopySelectedRow();
    // The list's left click (or Enter): starts the lookup of the selected row, giving up the
    // one under way.
    void ListViewClick();
    // The pane's title change while the handler is attached.
    void WebBrowserTitleChange(std::u16string_view title);
    // The local information page of the selected row.
    void ShowSelectedRowsLocalPage();

    // What the background work brings back.
    void ProbeEnded(LookupId lookup, bool pageExists);
    void NoticeReplied(LookupId lookup, std::string_view reply);
    void IconsArrived(std::vector<IconResult> results);

    // Set until the first found page sends the notice; never set again, so that a notice that
    // fails in transit is not repeated.
    bool FirstLookupPending() const { return firstLookupPending_; }
    // A probe or the notice is under way.
    bool Busy() const { return probe_.has_value() || noticeLookup_ != 0; }
    // Files of the current fill whose icons have not come back yet.
    std::size_t IconsPending() const { return iconsPending_; }
    int SortKey() const { return sortKey_; }

  private:
    // The lookup under way: the row as it was clicked, which its result applies to.
    struct Probe {
        LookupId id = 0;
        ProcessRow row;
        std::string address;
        Deadline deadline;
    };

    void Fill();
    void ShowBusy();

    WindowView& view_;
    BackgroundWork& background_;
    std::function<std::unique_ptr<InventorySystem>()> inventory_;
    const CodePage& ansi_;
    const std::function<std::string()> noticeAddress_;

    ViewStyle viewStyle_ = ViewStyle::kReport;
    // The key of the last sort, which a refresh sorts by again; 0 while the rows stand in the
    // order the fill placed them.
    int sortKey_ = 0;
    LookupId lastLookup_ = 0;
    std::optional<Probe> probe_;
    LookupId noticeLookup_ = 0;  // the lookup whose notice is under way; 0 when none is
    bool firstLookupPending_ = true;
    FillId fill_ = 0;
    // The current fill's files, in the order their icons were asked for.
    std::vector<std::string> iconFiles_;
    std::size_t iconsPending_ = 0;
    bool closed_ = false;
};

}  // namespace runlens
