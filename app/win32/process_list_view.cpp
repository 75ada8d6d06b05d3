#include "app/win32/process_list_view.h"

#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <string>

#include "app/sorting.h"
#include "core/win32/code_page.h"
#include "core/win32/paths.h"
#include "core/win32/text.h"
#include "inventory/image_path.h"
#include "inventory/process_list.h"
#include "inventory/win32/win32_icon_resources.h"
#include "lang/sprache_japan.h"
#include "resources/resource_ids.h"

namespace runlens {
namespace {

void SetSubItemText(HWND listView, int item, int subItem, std::wstring text) {
    if (text.empty())
        return;
    LVITEMW column{};
    column.iSubItem = subItem;
    column.pszText = text.data();
    ::SendMessageW(listView, LVM_SETITEMTEXTW, static_cast<WPARAM>(item),
                   reinterpret_cast<LPARAM>(&column));
}

struct SortRequest {
    int key;
    bool rightAligned;
};

int CALLBACK CompareItems(LPARAM row1, LPARAM row2, LPARAM request) {
    const auto& sort = *reinterpret_cast<const SortRequest*>(request);
    return CompareRows(*reinterpret_cast<const ProcessRow*>(row1),
                       *reinterpret_cast<const ProcessRow*>(row2), sort.key, sort.rightAligned);
}

}  // namespace

std::wstring PathColumnText(const ProcessRow& row) {
    if (!row.administratorHint)
        return WideFromAnsi(row.path.text);
    // Where the ANSI code page has no Japanese, the hint the fill converted to it is only
    // question marks: the message before it is shown, and the hint from the program's text.
    static const std::size_t ansiHintSize =
        kStatusHintGap.size() +
        AnsiFromUtf8(Win32CodePage(), Sprache_Japan::AdministratorHint).size();
    const std::string_view message =
        std::string_view(row.path.text)
            .substr(0, row.path.text.size() - std::min(ansiHintSize, row.path.text.size()));
    return WideFromAnsi(message) + WideFromAnsi(kStatusHintGap) +
           WideFromUtf8(Sprache_Japan::AdministratorHint);
}

ColumnTexts ShownColumnTexts(const ProcessRow& row) {
    return {WideFromAnsi(row.caption.text), PathColumnText(row), WideFromAnsi(row.sizeText)};
}

void SortRows(HWND listView, int sortKey, bool rightAligned) {
    const SortRequest request{sortKey, rightAligned};
    ::SendMessageW(listView, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&request),
                   reinterpret_cast<LPARAM>(&CompareItems));
}

int ColumnSortFlag(HWND listView, int column) {
    LVCOLUMNW columnInfo{};
    columnInfo.mask = LVCF_MINWIDTH;
    ::SendMessageW(listView, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&columnInfo));
    return columnInfo.cxMin;
}

void SetColumnSortFlag(HWND listView, int column, int flag) {
    LVCOLUMNW columnInfo{};
    columnInfo.mask = LVCF_MINWIDTH;
    columnInfo.cxMin = flag;
    ::SendMessageW(listView, LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&columnInfo));
}

bool ColumnRightAligned(HWND listView, int column) {
    LVCOLUMNW columnInfo{};
    columnInfo.mask = LVCF_FMT;
    ::SendMessageW(listView, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&columnInfo));
    return (columnInfo.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT;
}

UniqueImageList CreateProcessImageList(HINSTANCE instance, int size) {
    UniqueImageList list(::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 64, 64));
    if (!list)
        return list;
    for (const int id : {IDI_SYSTEM_EMBLEM, IDI_PROGRAM}) {
        const UniqueIcon icon(static_cast<HICON>(
            ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        ::ImageList_AddIcon(list.get(), icon.get());
    }
    return list;
}

void Win32ProcessListView::InsertRow(std::size_t position, ProcessRow row) {
    Insert(static_cast<int>(std::min<std::size_t>(position, INT_MAX)), std::move(row));
}

void Win32ProcessListView::AppendRow(ProcessRow row) {
    Insert(INT_MAX, std::move(row));
}

void Win32ProcessListView::Insert(int position, ProcessRow row) {
    ProcessRow& stored = rows_.emplace_back(std::move(row));
    ColumnTexts texts = ShownColumnTexts(stored);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = position;
    item.pszText = texts[0].data();
    // The control reads -1 as "ask the parent for the image"; a row without one says so.
    item.iImage = stored.imageIndex == kNoImage ? I_IMAGENONE : stored.imageIndex;
    item.lParam = reinterpret_cast<LPARAM>(&stored);
    const int index = static_cast<int>(
        ::SendMessageW(listView_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) {
        rows_.pop_back();
        return;
    }
    SetSubItemText(listView_, index, 1, std::move(texts[1]));
    SetSubItemText(listView_, index, 2, std::move(texts[2]));
}

std::unique_ptr<Win32FileIcons> ExtractFileIcons(std::string_view path) {
    const std::wstring file = FileSystemPath(WideFromAnsi(path));
    if (!FileIconsAreSound(file))
        return nullptr;
    HICON large = nullptr;
    HICON small = nullptr;
    const UINT count = ::ExtractIconExW(file.c_str(), 0, &large, &small, 1);
    UniqueIcon largeIcon(large);
    UniqueIcon smallIcon(small);
    if (count == 0 || count == UINT_MAX || !smallIcon)
        return nullptr;
    return std::make_unique<Win32FileIcons>(std::move(smallIcon), std::move(largeIcon));
}

void Win32IconSource::LowerThreadPriority() {
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

std::unique_ptr<FileIcons> Win32IconSource::Extract(const std::string& path) {
    return ExtractFileIcons(path);
}

int Win32ProcessListView::AddFileIcons(const Win32FileIcons& icons) {
    const int smallIndex = ::ImageList_AddIcon(smallImages_, icons.Small());
    if (smallIndex < 0)
        return kNoImage;
    const int largeIndex = ::ImageList_AddIcon(largeImages_, icons.Large());
    if (largeIndex < 0) {
        ::ImageList_Remove(smallImages_, smallIndex);
        return kNoImage;
    }
    return largeIndex;
}

int Win32ProcessListView::AddFileIcon(std::string_view path) {
    const std::unique_ptr<Win32FileIcons> icons = ExtractFileIcons(path);
    return icons ? AddFileIcons(*icons) : kNoImage;
}

void Win32ProcessListView::SetItemImage(int item, int image) {
    auto* row = const_cast<ProcessRow*>(RowAt(item));  // one of rows_, which are not const
    if (!row)
        return;
    row->imageIndex = image;
    row->iconPending = false;
    LVITEMW update{};
    update.mask = LVIF_IMAGE;
    update.iItem = item;
    update.iImage = image == kNoImage ? I_IMAGENONE : image;
    ::SendMessageW(listView_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&update));
}

void Win32ProcessListView::AddPendingIcons() {
    const std::vector<const ProcessRow*> shown = ShownRows();
    for (const std::string& file : PendingIconFiles(shown)) {
        const int image = AddFileIcon(file);
        for (std::size_t item = 0; item < shown.size(); ++item) {
            if (shown[item]->iconPending && shown[item]->path.text == file)
                SetItemImage(static_cast<int>(item), ImageWithFileIcon(*shown[item], image));
        }
    }
}

const ProcessRow* Win32ProcessListView::RowAt(int item) const {
    LVITEMW query{};
    query.mask = LVIF_PARAM;
    query.iItem = item;
    if (!::SendMessageW(listView_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) {
        return nullptr;
    }
    return reinterpret_cast<const ProcessRow*>(query.lParam);
}

std::vector<const ProcessRow*> Win32ProcessListView::ShownRows() const {
    const int count = static_cast<int>(::SendMessageW(listView_, LVM_GETITEMCOUNT, 0, 0));
    std::vector<const ProcessRow*> shown;
    shown.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int item = 0; item < count; ++item)
        shown.push_back(RowAt(item));
    return shown;
}

}  // namespace runlens
