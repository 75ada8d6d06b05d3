// The main window's list view and its two image lists, as the process fill writes into them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/threaded_background.h"
#include "core/win32/handles.h"
#include "inventory/inventory_system.h"

namespace runlens {

using UniqueImageList = Unique<HIMAGELIST, &::ImageList_Destroy>;

// An image list of square images of the given size holding the two stock images, the
// system-process emblem at index 0 and the generic program symbol at index 1.
UniqueImageList CreateProcessImageList(HINSTANCE instance, int size);

// What the path column shows of a row's first detail text.
std::wstring PathColumnText(const ProcessRow& row);

// The texts the list shows for a row, one a column: the caption, the path column's text and
// the size text.
using ColumnTexts = std::array<std::wstring, 3>;
ColumnTexts ShownColumnTexts(const ProcessRow& row);

// Sorts the list's rows by the list control's own item sort with CompareRows.
void SortRows(HWND listView, int sortKey, bool rightAligned);

// A column's sort direction flag, 0 or 1 (NextSortKey toggles it). It lives in the column's
// minimum width, where the list control keeps it with its column: the flag needs no state of the
// window's own, and it goes with the column wherever the column goes. The resize rule reads
// the same value as a width: a middle column worked out at zero is raised to its minimum
// width, that is to its flag.
int ColumnSortFlag(HWND listView, int column);
void SetColumnSortFlag(HWND listView, int column, int flag);
bool ColumnRightAligned(HWND listView, int column);

// A file's first icon in both sizes, as the icon work extracted it.
class Win32FileIcons final : public FileIcons {
  public:
    Win32FileIcons(UniqueIcon small, UniqueIcon large)
        : small_(std::move(small)), large_(std::move(large)) {}
    HICON Small() const { return small_.get(); }
    // The small icon where the file has no large one: the large list shows it enlarged, so
    // that the two lists keep the same indexes.
    HICON Large() const { return large_ ? large_.get() : small_.get(); }

  private:
    UniqueIcon small_;
    UniqueIcon large_;
};

// The first icon of the file in both sizes; null when it has none, or when its icon resources
// do not hold together (the extraction would read past them). Safe on any thread.
std::unique_ptr<Win32FileIcons> ExtractFileIcons(std::string_view path);

// The icon work's source: the files' icons, on a thread below the window's priority.
class Win32IconSource final : public IconSource {
  public:
    void LowerThreadPriority() override;
    std::unique_ptr<FileIcons> Extract(const std::string& path) override;
};

class Win32ProcessListView final : public ProcessListView {
  public:
    Win32ProcessListView(HWND listView, HIMAGELIST smallImages, HIMAGELIST largeImages)
        : listView_(listView), smallImages_(smallImages), largeImages_(largeImages) {}

    void InsertRow(std::size_t position, ProcessRow row) override;
    void AppendRow(ProcessRow row) override;
    // Adds the icons to both image lists, small one first, and returns the index the large
    // list gave them; kNoImage when the lists could not take them.
    int AddFileIcons(const Win32FileIcons& icons);
    // The file's icons extracted and added at once; kNoImage when the file has none.
    int AddFileIcon(std::string_view path);
    // Gives the item's row its image; the row no longer waits for its icon.
    void SetItemImage(int item, int image);
    // Brings in the icons the rows wait for, here and now, one file after the other in the
    // order the rows are shown: what the window's icon work does in the background.
    void AddPendingIcons();

    // The row an item of the list shows; null for an index that has none.
    const ProcessRow* RowAt(int item) const;
    // Every item's row, in the order the list shows them.
    std::vector<const ProcessRow*> ShownRows() const;

  private:
    void Insert(int position, ProcessRow row);

    HWND listView_;
    HIMAGELIST smallImages_;
    HIMAGELIST largeImages_;
    // The items point at their rows, so the rows never move.
    std::deque<ProcessRow> rows_;
};

}  // namespace runlens
