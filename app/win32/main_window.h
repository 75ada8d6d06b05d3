// The program's one window, Form1: the top panel with the logo, the prompt and the view
// buttons, the process list, the splitter, the browser pane and the status bar.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/shell_actions.h"
#include "app/win32/handler_errors.h"
#include "app/win32/process_list_view.h"
#include "app/win32/web_browser.h"
#include "core/win32/code_page.h"
#include "info/online_lookup.h"
#include "info/win32/win32_lookup.h"

namespace runlens {

class Win32LocalPageSystem;
class TForm1TestAccess;

// Control identifiers; the tests find the controls by them.
enum ControlId : int {
    kTopPanelId = 100,
    kImage1Id,
    kTopLabelId,
    kLargeSpeedButtonId,
    kSmallSpeedButtonId,
    kReportSpeedButtonId,
    kListViewId,
    kSplitter2Id,
    kWebBrowserId,
    kStatusBarId,
    kShowInExplorerPopupmenuId = 200,
    kRefreshPopupmenuId,
};

// Makes the browser pane inside its host window: the system's WebBrowser control unless a test
// gives another.
using BrowserPaneFactory = std::function<std::unique_ptr<BrowserPane>(HWND host)>;

class TForm1 final : private LookupSink {
  public:
    explicit TForm1(HINSTANCE instance, BrowserPaneFactory makePane = {});
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Creates the window with its controls and fills the list; false when the system refuses,
    // or when any step of the creation failed (its error shown), and then no window is left.
    bool Create();
    void Show(int showCommand);
    HWND Handle() const { return hwnd_; }
    HWND ListView() const { return listView_; }

    // Handlers, named after their control and event.
    void ReportSpeedButtonClick();
    void LargeSpeedButtonClick();
    void SmallSpeedButtonClick();
    void ListViewColumnClick(int column);
    void ShowInExplorerPopupmenuClick();
    void RefreshPopupmenuClick();
    void Image1Click();
    // Enter runs the left click's lookup; Ctrl+C copies the selected row.
    void ListViewKeyDown(WORD key);

    // The left click in the list: the site's page of the selected row, or the local page.
    void ListViewClick();
    // The local information page of the selected row, in the browser pane.
    void ShowSelectedRowsLocalPage();
    // Puts the selected row's three texts, as the list shows them, on the clipboard.
    void CopySelectedRow();

    // One message of the thread's message loop: the window's keys first, then the usual
    // translation and dispatch.
    void HandleLoopMessage(MSG& message) noexcept;

    // Runs a handler as the window procedure does: an error that escapes it is shown in the
    // error box, and the program goes on.
    template <typename Handler>
    void RunHandler(Handler&& handler) noexcept {
        RunReportingErrors(handler, [this](const char* what) { ShowError(what); });
    }

  private:
    friend class TForm1TestAccess;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void FormCreate();
    void FormResize();
    void FormClose();
    void FillRows();
    void ResetRows();
    bool TranslateKeys(MSG& message);
    bool InPane(HWND window) const;
    void TabToNextControl(HWND from);
    void CreateControls();
    void SetViewStyle(DWORD style, int pressedButton);
    void ShowPopupMenu(LPARAM screenPoint);
    LRESULT OnNotify(const NMHDR& header);
    void OnCommand(int id, int code);
    void ShowError(const char* what) noexcept;
    // The row selected in the list; null when none is.
    const ProcessRow* SelectedRow() const;
    // The text of the status line.
    std::wstring StatusText() const;

    // The lookup's outcome.
    void ShowStatusLine(std::wstring_view text) override;
    void ShowNoticeBox(std::wstring_view message) override;

    // Layout and DPI (main_window_layout.cpp).
    // A size at 96 dpi in pixels of the window's DPI.
    int Scaled(int pixels) const;
    void ReadDpi();
    // Size and position from the screen, by the rule at 96 dpi.
    void PlaceOnScreen();
    void ApplyDpi();
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnSplitterMoved(int splitterTop);
    void LayoutControls();

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    // Set once the window's creation has run to its end: only such a window ends the message
    // loop when it goes.
    bool created_ = false;
    int dpi_ = 96;
    HWND topPanel_ = nullptr;
    HWND image1_ = nullptr;
    HWND topLabel_ = nullptr;
    HWND largeSpeedButton_ = nullptr;
    HWND smallSpeedButton_ = nullptr;
    HWND reportSpeedButton_ = nullptr;
    HWND listView_ = nullptr;
    HWND splitter2_ = nullptr;
    HWND webBrowserHost_ = nullptr;
    HWND statusBar_ = nullptr;
    int pressedButton_ = kReportSpeedButtonId;
    int browserHeight_ = 360;  // at 96 dpi
    // The key of the last sort, which a refresh sorts by again; 0 while the rows stand in the
    // order the fill placed them.
    int sortKey_ = 0;
    // The control that had the focus when the window was last deactivated.
    HWND lastFocus_ = nullptr;
    Unique<HACCEL, &::DestroyAcceleratorTable> accelerators_;
    UniqueGdiObject font_;
    UniqueIcon logo_;
    UniqueIcon glyphs_[3];
    Unique<HMENU, &::DestroyMenu> popupMenu_;
    UniqueImageList smallImageList_;
    UniqueImageList largeImageList_;
    std::unique_ptr<Win32ProcessListView> rows_;
    BrowserPaneFactory makePane_;
    std::unique_ptr<BrowserPane> pane_;
    WebBrowser* webBrowser_ = nullptr;  // pane_, when it is the system's control
    // Where errors and the site's notice are shown: the application's error box and a message
    // box unless the tests put others in their place.
    std::function<void(const std::string& message)> errorBox_;
    std::function<void(const std::wstring& message)> noticeBox_;
    // The code page the rows' texts are in; the lookup holds on to it.
    const Win32CodePage ansi_;
    std::unique_ptr<Shell> shell_;
    std::unique_ptr<Win32LookupSystem> lookupSystem_;
    std::unique_ptr<OnlineLookup> lookup_;
    // Writes the local pages, and removes them when the window goes.
    std::unique_ptr<Win32LocalPageSystem> localPages_;
};

}  // namespace runlens
