#include "app/win32/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <string>

#include "core/site.h"
#include "core/win32/text.h"
#include "inventory/process_list.h"
#include "inventory/win32/win32_inventory.h"
#include "lang/sprache_japan.h"
#include "resources/resource_ids.h"

namespace runlens {
namespace {

constexpr wchar_t kClassName[] = L"TForm1";
constexpr wchar_t kProductTitle[] = L"Runlens";

struct ColumnSpec {
    std::string_view caption;
    int width;
    int format;
};

void AddColumn(HWND listView, int index, const ColumnSpec& spec) {
    std::wstring caption = WideFromUtf8(spec.caption);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = spec.format;
    column.cx = spec.width;
    column.pszText = caption.data();
    column.iSubItem = index;
    ::SendMessageW(listView, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&column));
}

}  // namespace

bool TForm1::Create(int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &TForm1::WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(IDI_RUNLENS));
    windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!::RegisterClassExW(&windowClass))
        return false;

    const std::wstring caption = WideFromUtf8(kSiteHost) + L" - " + kProductTitle;
    if (!::CreateWindowExW(0, kClassName, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                           CW_USEDEFAULT, CW_USEDEFAULT, 800, 600, nullptr, nullptr, instance_,
                           this)) {
        return false;
    }
    ::ShowWindow(hwnd_, showCommand);
    ::UpdateWindow(hwnd_);
    return true;
}

LRESULT CALLBACK TForm1::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept {
    TForm1* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<TForm1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<TForm1*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    // An error that escapes a handler is shown, and the program goes on.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        self->ShowError(error.what());
    } catch (...) {
        self->ShowError("unknown error");
    }
    return 0;
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            FormCreate();
            return 0;
        case WM_SIZE:
            FormResize();
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void TForm1::FormCreate() {
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    const int width = std::max(635, screenWidth - 200);
    const int height = std::max(475, screenHeight - 200);
    ::SetWindowPos(hwnd_, nullptr, (screenWidth - width) / 2, (screenHeight - height) / 2, width,
                   height, SWP_NOZORDER | SWP_NOACTIVATE);

    listView_ = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
        0, 0, 0, 0, hwnd_, nullptr, instance_, nullptr);
    ::SendMessageW(listView_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                   LVS_EX_FULLROWSELECT);
    AddColumn(listView_, 0, {Sprache_Japan::ColumnProcess, 122, LVCFMT_LEFT});
    AddColumn(listView_, 1, {Sprache_Japan::ColumnFile, 284, LVCFMT_LEFT});
    AddColumn(listView_, 2, {Sprache_Japan::ColumnFileSize, 122, LVCFMT_RIGHT});

    smallImageList_ = CreateProcessImageList(instance_, 16);
    largeImageList_ = CreateProcessImageList(instance_, 32);
    ListView_SetImageList(listView_, smallImageList_.get(), LVSIL_SMALL);
    ListView_SetImageList(listView_, largeImageList_.get(), LVSIL_NORMAL);
    rows_ = std::make_unique<Win32ProcessListView>(listView_, smallImageList_.get(),
                                                   largeImageList_.get());
    FormResize();
    FillProcessList();
}

void TForm1::FormResize() {
    if (!listView_)
        return;
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    ::MoveWindow(listView_, 0, 0, client.right, client.bottom, TRUE);
}

void TForm1::FillProcessList() {
    Win32InventorySystem system;
    ::SendMessageW(listView_, WM_SETREDRAW, FALSE, 0);
    runlens::FillProcessList(system, *rows_);
    ::SendMessageW(listView_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(listView_, nullptr, TRUE);
}

void TForm1::ShowError(const char* what) noexcept {
    try {
        ::MessageBoxW(hwnd_, WideFromUtf8(what).c_str(), kProductTitle, MB_OK | MB_ICONERROR);
    } catch (...) {
        ::MessageBeep(MB_ICONERROR);
    }
}

}  // namespace runlens
