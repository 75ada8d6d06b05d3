// The program's one window, Form1: the top panel with the logo, the prompt and the view
// buttons, the process list, the splitter, the browser pane and the status bar.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/shell_actions.h"
#include "app/threaded_background.h"
#include "app/win32/handler_errors.h"
#include "app/win32/process_list_view.h"
#include "app/win32/web_browser.h"
#include "core/win32/code_page.h"
#include "app/window_controller.h"
#include "info/win32/win32_site_client.h"

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

// Posted to the window when results of the background work wait for it.
inline constexpr UINT kBackgroundResults = WM_APP + 2;

// Makes the browser pane inside its host window: the system's WebBrowser control unless a test
// gives another.
using BrowserPaneFactory = std::function<std::unique_ptr<BrowserPane>(HWND host)>;
// Makes the site client whose requests send the agent: WinInet's unless a test gives another.
using SiteClientFactory = std::function<std::shared_ptr<SiteClient>(const std::string& agent)>;

class TForm1 final : private WindowView {
  public:
    explicit TForm1(HINSTANCE instance, BrowserPaneFactory makePane = {},
                    SiteClientFactory makeSite = {});
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Creates the window with its controls and fills the list; false when the system refuses,
    // or when any step of the creation failed (its error shown), and then no window is left.
    bool Create();
    void Show(int showCommand);
    HWND Handle() const { return hwnd_; }
    HWND ListView() const { return listView_; }
    // Files of the last fill whose icons have not come in yet.
    std::size_t IconsPending() const { return controller_ ? controller_->IconsPending() : 0; }

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
    bool TranslateKeys(MSG& message);
    bool InPane(HWND window) const;
    void TabToNextControl(HWND from);
    void CreateControls();
    void ShowPopupMenu(LPARAM screenPoint);
    LRESULT OnNotify(const NMHDR& header);
    void OnCommand(int id, int code);
    void ShowError(const char* what) noexcept;
    // The text of the status line.
    std::wstring StatusText() const;
    void OnBackgroundResults();
    // The pointer's shape over the window, given by the window before its controls.
    bool SetBusyCursorShape(HWND under);

    // The window as its controller sees it.
    ProcessListView& Rows() override { return *rows_; }
    void ResetRows() override;
    void SetRedraw(bool on) override;
    std::vector<const ProcessRow*> ShownRows() const override { return rows_->ShownRows(); }
    // The row selected in the list; null when none is.
    const ProcessRow* SelectedRow() const override;
    void SelectItem(std::size_t item) override;
    void SortRows(int sortKey, bool rightAligned) override;
    int ColumnSortFlag(int column) const override;
    void SetColumnSortFlag(int column, int flag) override;
    bool ColumnRightAligned(int column) const override;
    void SetViewStyle(ViewStyle style) override;
    int AddFileIcons(FileIcons& icons) override;
    void SetItemImage(std::size_t item, int image) override;
    std::array<std::u16string, 3> ShownTexts(const ProcessRow& row) const override;
    bool PutOnClipboard(std::u16string_view text) override;
    void Beep() override;
    void ShowStatusLine(std::u16string_view text) override;
    void ShowNoticeBox(std::u16string_view message) override;
    BrowserPane& Pane() override { return *pane_; }
    Shell& WindowShell() override { return *shell_; }
    void ShowLocalPage(const ProcessRow& row) override;
    void SetBusyCursor(bool busy) override;

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
    bool busy_ = false;        // a lookup is under way
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
    // Writes the local pages, and removes them when the window goes.
    std::unique_ptr<Win32LocalPageSystem> localPages_;
    SiteClientFactory makeSite_;
    // The user agent every request sends.
    std::string agent_;
    std::unique_ptr<ThreadedBackground> background_;
    std::unique_ptr<WindowController> controller_;
};

}  // namespace runlens
