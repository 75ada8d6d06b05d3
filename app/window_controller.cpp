#include "app/window_controller.h"

#include <cstdlib>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "app/list_commands.h"
#include "app/sorting.h"
#include "core/text_rules.h"
#include "inventory/process_list.h"

namespace runlens {

WindowController::WindowController(Services services)
    : view_(services.view),
      background_(services.background),
      inventory_(std::move(services.inventory)),
      ansi_(services.ansi),
      noticeAddress_(std::move(services.noticeAddress)) {}

void WindowController::FormCreate() {
    // Only a lookup that finds a site page attaches the title-change handler.
    view_.Pane().SetTitleChangeHandler({});
    Fill();
}

void WindowController::FormClose() {
    closed_ = true;
    if (probe_)
        background_.GiveUp(probe_->id);
    if (noticeLookup_ != 0)
        background_.GiveUp(noticeLookup_);
    probe_.reset();
    noticeLookup_ = 0;
    background_.DropIcons(fill_);
    iconFiles_.clear();
    iconsPending_ = 0;
}

// The rows go in with their texts and sizes at once; the icons follow from the background, in
// the order the rows are shown.
void WindowController::Fill() {
    if (fill_ != 0)
        background_.DropIcons(fill_);
    ++fill_;
    {
        const std::unique_ptr<InventorySystem> system = inventory_();
        // The list paints again however the fill ends.
        struct Redraw {
            explicit Redraw(WindowView& view) : view_(view) { view_.SetRedraw(false); }
            ~Redraw() { view_.SetRedraw(true); }
            WindowView& view_;
        } redraw(view_);
        FillProcessList(*system, ansi_, view_.Rows());
        if (sortKey_ != 0) {
            const int column = std::abs(sortKey_) - 1;
            view_.SortRows(sortKey_, view_.ColumnRightAligned(column));
        }
    }
    iconFiles_ = PendingIconFiles(view_.ShownRows());
    iconsPending_ = iconFiles_.size();
    if (!iconFiles_.empty())
        background_.StartIcons(fill_, iconFiles_);
}

void WindowController::SetViewStyle(ViewStyle style) {
    viewStyle_ = style;
    view_.SetViewStyle(style);
}

void WindowController::ListViewColumnClick(int column) {
    int flag = view_.ColumnSortFlag(column);
    sortKey_ = NextSortKey(column, flag);
    view_.SetColumnSortFlag(column, flag);
    view_.SortRows(sortKey_, view_.ColumnRightAligned(column));
}

void WindowController::RefreshPopupmenuClick() {
    const ProcessRow* selected = view_.SelectedRow();
    const std::optional<ProcessIdentity> process =
        selected ? std::optional(IdentityOf(*selected)) : std::nullopt;
    view_.ResetRows();
    Fill();
    if (!process)
        return;
    const std::vector<const ProcessRow*> shown = view_.ShownRows();
    if (const std::optional<std::size_t> found = FindProcessRow(*process, shown))
        view_.SelectItem(*found);
}

void WindowController::ShowInExplorerPopupmenuClick() {
    ShowInExplorer(view_.SelectedRow(), view_.WindowShell(), ansi_);
}

void WindowController::Image1Click() {
    OpenSiteRoot(view_.WindowShell());
}

void WindowController::CopySelectedRow() {
    const ProcessRow* row = view_.SelectedRow();
    if (!row)
        return;
    const std::array<std::u16string, 3> shown = view_.ShownTexts(*row);
    if (!view_.PutOnClipboard(RowClipboardText(shown[0], shown[1], shown[2])))
        view_.Beep();
}

void WindowController::ListViewClick() {
    const ProcessRow* row = view_.SelectedRow();
    if (!row || closed_)
        return;
    // The earlier probe's page would no longer be the one asked for.
    if (probe_)
        background_.GiveUp(probe_->id);
    Probe probe{++lastLookup_, *row, PageAddress(row->caption.text),
                std::chrono::steady_clock::now() + kLookupTimeLimit};
    background_.StartProbe(probe.id, probe.address, probe.deadline);
    probe_ = std::move(probe);
    ShowBusy();
}

void WindowController::ProbeEnded(LookupId lookup, bool pageExists) {
    if (!probe_ || probe_->id != lookup)
        return;  // given up: superseded, or the window closed
    const Probe probe = std::move(*probe_);
    probe_.reset();
    if (!pageExists) {
        view_.ShowLocalPage(probe.row);
        ShowBusy();
        return;
    }
    BrowserPane& pane = view_.Pane();
    pane.SetTitleChangeHandler([this](std::u16string_view title) { WebBrowserTitleChange(title); });
    pane.Navigate(ansi_.ToUtf16(probe.address));
    view_.ShowStatusLine(ansi_.ToUtf16(probe.address));
    if (firstLookupPending_) {
        firstLookupPending_ = false;
        // The notice gets what is left of the click's time.
        noticeLookup_ = probe.id;
        background_.StartNotice(probe.id, noticeAddress_(), probe.deadline);
    }
    ShowBusy();
}

// The notice's message shows whichever row is selected by the time the reply comes.
void WindowController::NoticeReplied(LookupId lookup, std::string_view reply) {
    if (noticeLookup_ == 0 || noticeLookup_ != lookup)
        return;
    noticeLookup_ = 0;
    ShowBusy();
    if (const std::optional<std::string_view> message = NoticeMessage(reply))
        view_.ShowNoticeBox(DecodeNoticeMessage(*message, ansi_));
}

void WindowController::WebBrowserTitleChange(std::u16string_view title) {
    const ProcessRow* row = view_.SelectedRow();
    if (!row)
        return;  // the handler stays attached
    view_.Pane().SetTitleChangeHandler({});
    const std::u16string name = ansi_.ToUtf16(LowerBytes(row->caption.text));
    if (title.find(name) != std::u16string_view::npos)
        return;
    if (title == u"about:blank" || title.find(u"404") != std::u16string_view::npos)
        view_.ShowLocalPage(*row);
}

void WindowController::ShowSelectedRowsLocalPage() {
    if (const ProcessRow* row = view_.SelectedRow())
        view_.ShowLocalPage(*row);
}

void WindowController::IconsArrived(std::vector<IconResult> results) {
    // The files of this batch that belong to the current fill, and the image each got.
    std::unordered_map<std::string_view, int> images;
    for (IconResult& result : results) {
        if (closed_ || result.fill != fill_ || result.file >= iconFiles_.size())
            continue;  // a fill that a refresh replaced: its icons go with the result
        const std::string& file = iconFiles_[result.file];
        if (images.contains(file))
            continue;
        images.emplace(file, result.icons ? view_.AddFileIcons(*result.icons) : kNoImage);
        if (iconsPending_ > 0)
            --iconsPending_;
    }
    if (images.empty())
        return;
    const std::vector<const ProcessRow*> shown = view_.ShownRows();
    for (std::size_t item = 0; item < shown.size(); ++item) {
        const ProcessRow* row = shown[item];
        if (!row || !row->iconPending)
            continue;
        if (const auto image = images.find(row->path.text); image != images.end())
            view_.SetItemImage(item, ImageWithFileIcon(*row, image->second));
    }
}

void WindowController::ShowBusy() {
    view_.SetBusyCursor(Busy());
}

}  // namespace runlens
