// The main window's list view and its two image lists, as the process fill writes into them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <deque>
#include <string>
#include <vector>

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

class Win32ProcessListView final : public ProcessListView {
  public:
    Win32ProcessListView(HWND listView, HIMAGELIST smallImages, HIMAGELIST largeImages)
        : listView_(listView), smallImages_(smallImages), largeImages_(largeImages) {}

    void InsertRow(std::size_t position, ProcessRow row) override;
    void AppendRow(ProcessRow row) override;
    int AddFileIcon(std::string_view path) override;

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
