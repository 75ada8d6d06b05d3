// The main window's layout and its DPI: where the controls sit, the resize rule, the splitter,
// and the fonts, pictures and sizes that follow the window's DPI.
#include "app/win32/main_window.h"

#include <commctrl.h>

#include <algorithm>

#include "app/layout.h"
#include "app/win32/controls.h"
#include "core/win32/dynamic_functions.h"
#include "resources/resource_ids.h"

namespace runlens {
namespace {

// Sizes at 96 dpi.
constexpr int kTopPanelHeight = 40;
constexpr int kImageLeft = 7, kImageTop = 7, kImageSize = 32;
constexpr int kLabelLeft = 52, kLabelTop = 7;
constexpr int kButtonTop = 7, kButtonHeight = 26;
constexpr ToolbarWidths kButtonWidths{28, 29, 28};
constexpr int kButtonMargin = 10, kButtonGap = 1;
constexpr int kSplitterHeight = 4;
constexpr int kFontHeight = 10;

int SystemDpi(HWND hwnd) {
    if (const auto getDpiForWindow = DynamicFunctions::GetDpiForWindow(); getDpiForWindow && hwnd)
        return static_cast<int>(getDpiForWindow(hwnd));
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

int ScrollBarWidth(int dpi) {
    if (const auto getSystemMetricsForDpi = DynamicFunctions::GetSystemMetricsForDpi())
        return getSystemMetricsForDpi(SM_CXVSCROLL, dpi);
    return ::GetSystemMetrics(SM_CXVSCROLL);
}

int ColumnWidth(HWND listView, int column) {
    return static_cast<int>(::SendMessageW(listView, LVM_GETCOLUMNWIDTH, column, 0));
}

}  // namespace

int TForm1::Scaled(int pixels) const {
    return Scale(pixels, dpi_);
}

void TForm1::ReadDpi() {
    dpi_ = SystemDpi(hwnd_);
}

void TForm1::PlaceOnScreen() {
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    const WindowBounds bounds =
        InitialWindowBounds(screenWidth * kDesignDpi / dpi_, screenHeight * kDesignDpi / dpi_);
    const int width = Scaled(bounds.width);
    const int height = Scaled(bounds.height);
    ::SetWindowPos(hwnd_, nullptr, (screenWidth - width) / 2, (screenHeight - height) / 2, width,
                   height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Fonts, pictures and image lists for the current DPI.
void TForm1::ApplyDpi() {
    font_.reset(::CreateFontW(-Scaled(kFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                              DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Shell Dlg"));
    for (HWND control : {topLabel_, listView_, statusBar_}) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    }
    auto loadIcon = [this](int id, int width, int height) {
        return UniqueIcon(static_cast<HICON>(
            ::LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, 0)));
    };
    logo_ = loadIcon(IDI_RUNLENS, Scaled(kImageSize), Scaled(kImageSize));
    ::SendMessageW(image1_, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(logo_.get()));
    const int glyphIds[3] = {IDI_GLYPH_LARGE, IDI_GLYPH_SMALL, IDI_GLYPH_REPORT};
    for (int i = 0; i < 3; ++i)
        glyphs_[i] = loadIcon(glyphIds[i], Scaled(kGlyphWidth), Scaled(kGlyphHeight));
}

void TForm1::LayoutControls() {
    if (!listView_)
        return;
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const int width = client.right;
    const int height = client.bottom;

    ::SendMessageW(statusBar_, WM_SIZE, 0, 0);
    RECT status;
    ::GetWindowRect(statusBar_, &status);
    const int statusHeight = status.bottom - status.top;
    const int top = Scaled(kTopPanelHeight);
    const int splitter = Scaled(kSplitterHeight);
    const int browserHeight =
        std::clamp(Scaled(browserHeight_), 0, std::max(0, height - statusHeight - top - splitter));
    const int browserTop = height - statusHeight - browserHeight;
    const int splitterTop = browserTop - splitter;

    HDWP positions = ::BeginDeferWindowPos(4);
    auto place = [&positions](HWND control, int x, int y, int cx, int cy) {
        if (positions) {
            positions = ::DeferWindowPos(positions, control, nullptr, x, y, std::max(0, cx),
                                         std::max(0, cy), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    };
    place(topPanel_, 0, 0, width, top);
    place(listView_, 0, top, width, splitterTop - top);
    place(splitter2_, 0, splitterTop, width, splitter);
    place(webBrowserHost_, 0, browserTop, width, browserHeight);
    if (positions)
        ::EndDeferWindowPos(positions);
    if (webBrowser_)
        webBrowser_->Resize();

    ::SetWindowPos(image1_, nullptr, Scaled(kImageLeft), Scaled(kImageTop), Scaled(kImageSize),
                   Scaled(kImageSize), SWP_NOZORDER | SWP_NOACTIVATE);
    // The label sizes itself to its text.
    const int length = ::GetWindowTextLengthW(topLabel_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(topLabel_, text.data(), length + 1);
    const HDC dc = ::GetDC(topLabel_);
    const HGDIOBJ previous = ::SelectObject(dc, font_.get());
    RECT extent{0, 0, 0, 0};
    ::DrawTextW(dc, text.c_str(), length, &extent, DT_CALCRECT | DT_NOPREFIX);
    ::SelectObject(dc, previous);
    ::ReleaseDC(topLabel_, dc);
    ::SetWindowPos(topLabel_, nullptr, Scaled(kLabelLeft), Scaled(kLabelTop), extent.right,
                   extent.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::FormResize() {
    if (!listView_)
        return;
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const ResizeLayout layout = ApplyResizeRule(
        client.right, ColumnWidth(listView_, 0), ColumnWidth(listView_, 2), ScrollBarWidth(dpi_),
        // The middle column's minimum width is its sort flag.
        runlens::ColumnSortFlag(listView_, 1),
        {Scaled(kButtonWidths.large), Scaled(kButtonWidths.small), Scaled(kButtonWidths.report)},
        Scaled(kButtonMargin), Scaled(kButtonGap));
    ::SendMessageW(listView_, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(layout.column1Width, 0));
    const int top = Scaled(kButtonTop);
    const int height = Scaled(kButtonHeight);
    ::SetWindowPos(reportSpeedButton_, nullptr, layout.reportLeft, top,
                   Scaled(kButtonWidths.report), height, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(smallSpeedButton_, nullptr, layout.smallLeft, top, Scaled(kButtonWidths.small),
                   height, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(largeSpeedButton_, nullptr, layout.largeLeft, top, Scaled(kButtonWidths.large),
                   height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::OnDpiChanged(int dpi, const RECT& suggested) {
    const int previousDpi = dpi_;
    dpi_ = dpi;
    for (const int column : {0, 2}) {
        const int width = ::MulDiv(ColumnWidth(listView_, column), dpi_, previousDpi);
        ::SendMessageW(listView_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0));
    }
    ApplyDpi();
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The browser pane keeps the height the splitter leaves it, at 96 dpi.
void TForm1::OnSplitterMoved(int splitterTop) {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    RECT status;
    ::GetWindowRect(statusBar_, &status);
    const int browserTop = splitterTop + Scaled(kSplitterHeight);
    const int height = client.bottom - (status.bottom - status.top) - browserTop;
    browserHeight_ = std::max(0, height) * kDesignDpi / dpi_;
    LayoutControls();
}

}  // namespace runlens
