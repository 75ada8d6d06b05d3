#include "app/win32/controls.h"

#include <windowsx.h>

namespace runlens {
namespace {

// The panel hands its children's notifications to the main window, and shows the hand cursor
// over a child that asks for it (the logo).
LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_COMMAND:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
            return ::SendMessageW(::GetParent(hwnd), message, wParam, lParam);
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) != hwnd &&
                (::GetWindowLongPtrW(reinterpret_cast<HWND>(wParam), GWL_STYLE) & SS_NOTIFY)) {
                ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// Drag state: the distance from the splitter's top to the point where it was grabbed.
LRESULT CALLBACK SplitterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_LBUTTONDOWN:
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, GET_Y_LPARAM(lParam));
            ::SetCapture(hwnd);
            return 0;
        case WM_MOUSEMOVE:
            if (::GetCapture() == hwnd) {
                POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                ::MapWindowPoints(hwnd, ::GetParent(hwnd), &point, 1);
                const LONG_PTR grab = ::GetWindowLongPtrW(hwnd, GWLP_USERDATA);
                ::SendMessageW(::GetParent(hwnd), kSplitterMoved, 0, point.y - grab);
            }
            return 0;
        case WM_LBUTTONUP:
            if (::GetCapture() == hwnd)
                ::ReleaseCapture();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = ::BeginPaint(hwnd, &paint);
            RECT rect;
            ::GetClientRect(hwnd, &rect);
            ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
            ::DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_TOP | BF_BOTTOM);
            ::EndPaint(hwnd, &paint);
            return 0;
        }
        default:
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

bool Register(HINSTANCE instance, const wchar_t* name, WNDPROC proc, LPCWSTR cursor,
              int background) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, cursor);
    windowClass.hbrBackground = ::GetSysColorBrush(background);
    windowClass.lpszClassName = name;
    return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool RegisterControlClasses(HINSTANCE instance) {
    const auto arrow = reinterpret_cast<LPCWSTR>(IDC_ARROW);
    const auto sizeNorthSouth = reinterpret_cast<LPCWSTR>(IDC_SIZENS);
    return Register(instance, kPanelClass, &PanelProc, arrow, COLOR_BTNFACE) &&
           Register(instance, kSplitterClass, &SplitterProc, sizeNorthSouth, COLOR_BTNFACE) &&
           Register(instance, kBrowserHostClass, &::DefWindowProcW, arrow, COLOR_WINDOW);
}

void DrawSpeedButton(const DRAWITEMSTRUCT& item, HICON glyph, int glyphWidth, int glyphHeight,
                     bool pressed) {
    RECT rect = item.rcItem;
    const HDC dc = item.hDC;
    const bool down = pressed || (item.itemState & ODS_SELECTED);
    ::FillRect(dc, &rect, ::GetSysColorBrush(down ? COLOR_3DHILIGHT : COLOR_BTNFACE));
    if (down)
        ::DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
    const int offset = down ? 1 : 0;
    const int x = rect.left + (rect.right - rect.left - glyphWidth) / 2 + offset;
    const int y = rect.top + (rect.bottom - rect.top - glyphHeight) / 2 + offset;
    ::DrawIconEx(dc, x, y, glyph, glyphWidth, glyphHeight, 0, nullptr, DI_NORMAL);
    if (item.itemState & ODS_FOCUS) {
        ::InflateRect(&rect, -2, -2);
        ::DrawFocusRect(dc, &rect);
    }
}

}  // namespace runlens
