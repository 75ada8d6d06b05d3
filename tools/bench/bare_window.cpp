// The baselines of the start-up figure: a program that only creates and shows an empty window,
// and, started with --fill, one whose window holds a list filled by the least work the fill
// cannot do without, before it is first shown.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "core/win32/handles.h"
#include "tools/bench/bare_fill.h"

namespace {

using BareImageList = runlens::Unique<HIMAGELIST, &::ImageList_Destroy>;

struct Lists {
    BareImageList small;
    BareImageList large;
};

void FillWindow(HWND hwnd, Lists& lists) {
    const HWND list = ::CreateWindowExW(
        0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS, 0, 0, 780,
        540, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(runlens::bench::kBareListId)),
        nullptr, nullptr);
    runlens::bench::AddColumns(list);
    lists.small.reset(::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 64, 64));
    lists.large.reset(::ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 64, 64));
    ListView_SetImageList(list, lists.small.get(), LVSIL_SMALL);
    ListView_SetImageList(list, lists.large.get(), LVSIL_NORMAL);
    // One repaint at the end instead of one per row, as the program does it.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    runlens::bench::BareFill(list, lists.small.get(), lists.large.get(), true);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            auto* lists =
                static_cast<Lists*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            if (lists)
                FillWindow(hwnd, *lists);
            return 0;
        }
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    const bool fill = std::wcsstr(commandLine, L"--fill") != nullptr;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    if (fill)
        ::InitCommonControlsEx(&controls);
    Lists lists;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"RunlensBareWindow";
    ::RegisterClassExW(&windowClass);
    const HWND hwnd = ::CreateWindowExW(0, L"RunlensBareWindow", L"bare", WS_OVERLAPPEDWINDOW,
                                        CW_USEDEFAULT, CW_USEDEFAULT, 800, 600, nullptr, nullptr,
                                        instance, fill ? &lists : nullptr);
    ::ShowWindow(hwnd, showCommand);
    ::UpdateWindow(hwnd);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
        ::DispatchMessageW(&message);
    return 0;
}
