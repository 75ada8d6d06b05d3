#include "app/win32/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <cwchar>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "app/agent_string.h"
#include "app/layout.h"
#include "app/list_commands.h"
#include "app/shell_actions.h"
#include "app/sorting.h"
#include "app/win32/clipboard.h"
#include "app/win32/controls.h"
#include "app/win32/win32_shell.h"
#include "core/site.h"
#include "core/win32/paths.h"
#include "core/win32/system_facts.h"
#include "core/win32/text.h"
#include "info/local_page.h"
#include "info/win32/win32_internet.h"
#include "info/win32/win32_local_page.h"
#include "inventory/win32/win32_inventory.h"
#include "lang/sprache_japan.h"
#include "resources/resource_ids.h"

namespace runlens {
namespace {

constexpr wchar_t kClassName[] = L"TForm1";
constexpr wchar_t kProductTitle[] = L"Runlens";
constexpr int kColumnWidths[3] = {122, 284, 122};  // at 96 dpi

// The program file's own name and what the system says of itself.
std::string ProgramAgentString() {
    const std::wstring path = ProgramFilePath();
    const std::string fileName =
        AnsiFromWide(std::wstring_view(path).substr(path.find_last_of(L"\\/:") + 1));
    const SystemVersion version = ReadSystemVersion();
    const UserLanguage language = ReadUserLanguage();
    AgentFacts facts;
    facts.programFileName = fileName;
    if (version.known) {
        facts.family = version.platformId == VER_PLATFORM_WIN32_NT        ? PlatformFamily::kNt
                       : version.platformId == VER_PLATFORM_WIN32_WINDOWS ? PlatformFamily::kNineX
                                                                          : PlatformFamily::kOther;
        facts.majorVersion = version.majorVersion;
        facts.minorVersion = version.minorVersion;
    }
    facts.languageId = language.id;
    facts.languageName = language.languageName;
    facts.countryName = language.countryName;
    return BuildAgentString(facts);
}

void SetText(HWND hwnd, std::string_view utf8) {
    ::SetWindowTextW(hwnd, WideFromUtf8(utf8).c_str());
}

void SetColumnCaption(HWND listView, int column, std::string_view utf8) {
    std::wstring caption = WideFromUtf8(utf8);
    LVCOLUMNW columnInfo{};
    columnInfo.mask = LVCF_TEXT;
    columnInfo.pszText = caption.data();
    ::SendMessageW(listView, LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&columnInfo));
}

}  // namespace

TForm1::TForm1(HINSTANCE instance, BrowserPaneFactory makePane, SiteClientFactory makeSite)
    : instance_(instance), makePane_(std::move(makePane)), makeSite_(std::move(makeSite)) {}

TForm1::~TForm1() {
    if (hwnd_)
        ::DestroyWindow(hwnd_);
}

bool TForm1::Create() {
    if (!RegisterControlClasses(instance_))
        return false;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &TForm1::WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(IDI_RUNLENS));
    windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    return ::CreateWindowExW(0, kClassName, kProductTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                             CW_USEDEFAULT, CW_USEDEFAULT, 800, 600, nullptr, nullptr, instance_,
                             this) != nullptr;
}

void TForm1::Show(int showCommand) {
    ::ShowWindow(hwnd_, showCommand);
    ::UpdateWindow(hwnd_);
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
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // A creation that fails, by an error or otherwise, refuses the window: the system then
    // destroys it, and CreateWindowEx reports the failure.
    LRESULT result = message == WM_CREATE ? -1 : 0;
    self->RunHandler([&] { result = self->HandleMessage(message, wParam, lParam); });
    return result;
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            // The whole creation, in order: the controls, their fonts and pictures at the
            // window's DPI, the empty list with its image lists at that DPI, then the texts,
            // the place on the screen and the first fill.
            ReadDpi();
            CreateControls();
            ApplyDpi();
            // The rows' icons keep the size they were read at until the next refresh: a DPI
            // change later makes new fonts and pictures, not new image lists.
            ResetRows();
            FormCreate();
            created_ = true;
            return 0;
        case WM_SIZE:
            LayoutControls();
            FormResize();
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = ::GetFocus();
                if (focus && ::IsChild(hwnd_, focus))
                    lastFocus_ = focus;
            }
            break;  // activated, the window takes the focus and hands it on below
        case WM_SETFOCUS:
            ::SetFocus(lastFocus_ && ::IsChild(hwnd_, lastFocus_) ? lastFocus_ : listView_);
            return 0;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const int index = static_cast<int>(item.CtlID) - kLargeSpeedButtonId;
            if (index < 0 || index > 2)
                break;
            DrawSpeedButton(item, glyphs_[index].get(), Scaled(kGlyphWidth), Scaled(kGlyphHeight),
                            static_cast<int>(item.CtlID) == pressedButton_);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == listView_) {
                ShowPopupMenu(lParam);
                return 0;
            }
            break;
        case kBackgroundResults:
            OnBackgroundResults();
            return 0;
        case WM_SETCURSOR:
            if (SetBusyCursorShape(reinterpret_cast<HWND>(wParam)))
                return TRUE;
            break;
        case kSplitterMoved:
            OnSplitterMoved(static_cast<int>(lParam));
            return 0;
        case WM_CLOSE:
            FormClose();
            ::DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            // The browser control goes while its host window is still there, and the pages it
            // may have shown go after it.
            // The work still under way is given up first: nothing it brings reaches the window.
            if (controller_)
                controller_->FormClose();
            background_.reset();
            controller_.reset();
            webBrowser_ = nullptr;
            pane_.reset();
            localPages_.reset();
            if (std::exchange(created_, false))
                ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void TForm1::CreateControls() {
    auto child = [this](HWND parent, DWORD exStyle, const wchar_t* className, DWORD style, int id) {
        return ::CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 instance_, nullptr);
    };
    topPanel_ = child(hwnd_, 0, kPanelClass, WS_CLIPCHILDREN, kTopPanelId);
    ::SetWindowTextW(topPanel_, L" ");
    image1_ = child(topPanel_, 0, L"STATIC", SS_ICON | SS_NOTIFY | SS_REALSIZEIMAGE, kImage1Id);
    topLabel_ = child(topPanel_, 0, L"STATIC", SS_LEFT | SS_NOPREFIX, kTopLabelId);
    largeSpeedButton_ = child(topPanel_, 0, L"BUTTON", BS_OWNERDRAW, kLargeSpeedButtonId);
    smallSpeedButton_ = child(topPanel_, 0, L"BUTTON", BS_OWNERDRAW, kSmallSpeedButtonId);
    reportSpeedButton_ = child(topPanel_, 0, L"BUTTON", BS_OWNERDRAW, kReportSpeedButtonId);

    listView_ =
        child(hwnd_, WS_EX_CLIENTEDGE, WC_LISTVIEWW,
              WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
              kListViewId);
    // Every handler reads the list; a window without it is refused.
    if (!listView_)
        throw std::runtime_error("The process list could not be created.");
    ::SendMessageW(listView_, LVM_SETEXTENDEDLISTVIEWSTYLE,
                   LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
                   LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (int column = 0; column < 3; ++column) {
        LVCOLUMNW columnInfo{};
        columnInfo.mask = LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM | LVCF_MINWIDTH;
        columnInfo.fmt = column == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        columnInfo.cx = Scaled(kColumnWidths[column]);
        columnInfo.iSubItem = column;
        columnInfo.cxMin = 0;  // the column's sort direction flag (ColumnSortFlag)
        ::SendMessageW(listView_, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&columnInfo));
    }
    splitter2_ = child(hwnd_, 0, kSplitterClass, 0, kSplitter2Id);
    webBrowserHost_ = child(hwnd_, 0, kBrowserHostClass, WS_CLIPCHILDREN, kWebBrowserId);
    if (makePane_) {
        pane_ = makePane_(webBrowserHost_);
    } else {
        auto browser = std::make_unique<WebBrowser>(webBrowserHost_,
                                                    [this](const char* what) { ShowError(what); });
        webBrowser_ = browser.get();
        pane_ = std::move(browser);
    }
    localPages_ = std::make_unique<Win32LocalPageSystem>();
    shell_ = std::make_unique<Win32Shell>(hwnd_);
    statusBar_ = child(hwnd_, 0, STATUSCLASSNAMEW, SBARS_SIZEGRIP, kStatusBarId);

    popupMenu_.reset(::CreatePopupMenu());
    ::AppendMenuW(popupMenu_.get(), MF_STRING, kShowInExplorerPopupmenuId, L"");
    ::AppendMenuW(popupMenu_.get(), MF_STRING, kRefreshPopupmenuId, L"");
    ACCEL keys[] = {{FVIRTKEY, VK_F5, kRefreshPopupmenuId}};
    accelerators_.reset(::CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
}

// Empties the list and gives it new image lists that hold only the stock images, at the
// current DPI: the rows and the icons of the last fill go.
void TForm1::ResetRows() {
    // The items point at the rows, so they go first.
    ::SendMessageW(listView_, LVM_DELETEALLITEMS, 0, 0);
    UniqueImageList small = CreateProcessImageList(instance_, Scaled(16));
    UniqueImageList large = CreateProcessImageList(instance_, Scaled(32));
    ListView_SetImageList(listView_, small.get(), LVSIL_SMALL);
    ListView_SetImageList(listView_, large.get(), LVSIL_NORMAL);
    rows_ = std::make_unique<Win32ProcessListView>(listView_, small.get(), large.get());
    // The list shares its image lists and never destroys them: the old ones go here.
    smallImageList_ = std::move(small);
    largeImageList_ = std::move(large);
}

void TForm1::FormCreate() {
    PlaceOnScreen();

    // Every request of the lookups sends the agent built here; their results, and the icons,
    // come back to this window as a posted message.
    agent_ = ProgramAgentString();
    std::shared_ptr<SiteClient> site =
        makeSite_ ? makeSite_(agent_) : std::make_shared<Win32SiteClient>(agent_);
    const HWND window = hwnd_;
    background_ = std::make_unique<ThreadedBackground>(
        std::move(site), std::make_shared<Win32IconSource>(),
        [window] { ::PostMessageW(window, kBackgroundResults, 0, 0); });
    controller_ = std::make_unique<WindowController>(WindowController::Services{
        *this, *background_, [] { return std::make_unique<Win32InventorySystem>(); }, ansi_,
        [] { return NoticeAddress(::GetUserDefaultLangID(), GetVolumeSerial()); }});

    ::SetWindowTextW(hwnd_, (WideFromUtf8(kSiteHost) + L" - " + kProductTitle).c_str());
    std::string label(Sprache_Japan::TopLabelLine1);
    label += "\r\n";
    label += Sprache_Japan::TopLabelLine2;
    SetText(topLabel_, label);
    SetColumnCaption(listView_, 0, Sprache_Japan::ColumnProcess);
    SetColumnCaption(listView_, 1, Sprache_Japan::ColumnFile);
    SetColumnCaption(listView_, 2, Sprache_Japan::ColumnFileSize);
    for (const auto& [id, text] :
         {std::pair{kShowInExplorerPopupmenuId, Sprache_Japan::ShowInExplorerMenu},
          std::pair{kRefreshPopupmenuId, Sprache_Japan::RefreshMenu}}) {
        ::ModifyMenuW(popupMenu_.get(), id, MF_BYCOMMAND | MF_STRING, id,
                      WideFromUtf8(text).c_str());
    }

    LayoutControls();
    ::UpdateWindow(topPanel_);

    ::SendMessageW(statusBar_, SB_SIMPLE, TRUE, 0);
    ShowStatusLine(AsUtf16(WideFromUtf8(Sprache_Japan::StatusNotice) + WideFromUtf8(kSiteHost)));

    // The rows with their texts; their icons follow.
    controller_->FormCreate();
}

// Closing ends the program without saving anything.
void TForm1::FormClose() {}

void TForm1::SetRedraw(bool on) {
    ::SendMessageW(listView_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on)
        ::InvalidateRect(listView_, nullptr, TRUE);
}

void TForm1::SetViewStyle(ViewStyle style) {
    const DWORD listStyle = style == ViewStyle::kLargeIcons   ? LVS_ICON
                            : style == ViewStyle::kSmallIcons ? LVS_SMALLICON
                                                              : LVS_REPORT;
    const LONG_PTR current = ::GetWindowLongPtrW(listView_, GWL_STYLE);
    ::SetWindowLongPtrW(listView_, GWL_STYLE, (current & ~LONG_PTR{LVS_TYPEMASK}) | listStyle);
    pressedButton_ = style == ViewStyle::kLargeIcons   ? kLargeSpeedButtonId
                     : style == ViewStyle::kSmallIcons ? kSmallSpeedButtonId
                                                       : kReportSpeedButtonId;
    for (HWND button : {largeSpeedButton_, smallSpeedButton_, reportSpeedButton_}) {
        ::InvalidateRect(button, nullptr, TRUE);
    }
}

void TForm1::ReportSpeedButtonClick() {
    controller_->SetViewStyle(ViewStyle::kReport);
}
void TForm1::LargeSpeedButtonClick() {
    controller_->SetViewStyle(ViewStyle::kLargeIcons);
}
void TForm1::SmallSpeedButtonClick() {
    controller_->SetViewStyle(ViewStyle::kSmallIcons);
}

void TForm1::ListViewColumnClick(int column) {
    controller_->ListViewColumnClick(column);
}

void TForm1::RefreshPopupmenuClick() {
    controller_->RefreshPopupmenuClick();
}

void TForm1::SelectItem(std::size_t item) {
    LVITEMW select{};
    select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    select.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(listView_, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&select));
    ::SendMessageW(listView_, LVM_ENSUREVISIBLE, item, FALSE);
}

void TForm1::SortRows(int sortKey, bool rightAligned) {
    runlens::SortRows(listView_, sortKey, rightAligned);
}

int TForm1::ColumnSortFlag(int column) const {
    return runlens::ColumnSortFlag(listView_, column);
}

void TForm1::SetColumnSortFlag(int column, int flag) {
    runlens::SetColumnSortFlag(listView_, column, flag);
}

bool TForm1::ColumnRightAligned(int column) const {
    return runlens::ColumnRightAligned(listView_, column);
}

int TForm1::AddFileIcons(FileIcons& icons) {
    // The icon work on Windows makes no other kind.
    return rows_->AddFileIcons(static_cast<const Win32FileIcons&>(icons));
}

void TForm1::SetItemImage(std::size_t item, int image) {
    rows_->SetItemImage(static_cast<int>(item), image);
}

std::array<std::u16string, 3> TForm1::ShownTexts(const ProcessRow& row) const {
    const ColumnTexts shown = ShownColumnTexts(row);
    return {std::u16string(AsUtf16(shown[0])), std::u16string(AsUtf16(shown[1])),
            std::u16string(AsUtf16(shown[2]))};
}

bool TForm1::PutOnClipboard(std::u16string_view text) {
    return CopyTextToClipboard(hwnd_, AsWide(text));
}

void TForm1::Beep() {
    ::MessageBeep(MB_ICONWARNING);
}

void TForm1::OnBackgroundResults() {
    if (background_ && controller_)
        background_->Deliver(*controller_);
}

void TForm1::SetBusyCursor(bool busy) {
    if (busy_ == busy)
        return;
    busy_ = busy;
    // The pointer takes its new shape at once where it is over the window, as it would on
    // its next move.
    POINT point{};
    if (!::GetCursorPos(&point))
        return;
    const HWND under = ::WindowFromPoint(point);
    if (under && (under == hwnd_ || ::IsChild(hwnd_, under))) {
        const LRESULT hit = ::SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
        ::SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                       MAKELPARAM(hit, WM_MOUSEMOVE));
    }
}

// While a lookup is under way, the pointer over the window's client area is the system's
// "working in background" one; the frame keeps its sizing pointers.
bool TForm1::SetBusyCursorShape(HWND under) {
    if (!busy_ || !under)
        return false;
    POINT point{};
    ::GetCursorPos(&point);
    const LRESULT hit = ::SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    if (hit != HTCLIENT)
        return false;
    ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_APPSTARTING)));
    return true;
}

const ProcessRow* TForm1::SelectedRow() const {
    const int item = static_cast<int>(
        ::SendMessageW(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return item < 0 ? nullptr : rows_->RowAt(item);
}

void TForm1::ShowInExplorerPopupmenuClick() {
    controller_->ShowInExplorerPopupmenuClick();
}

void TForm1::Image1Click() {
    controller_->Image1Click();
}

void TForm1::ShowPopupMenu(LPARAM screenPoint) {
    POINT point{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    if (point.x == -1 && point.y == -1) {  // from the keyboard: below the selected row
        RECT rect{};
        const int item = static_cast<int>(
            ::SendMessageW(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        rect.left = LVIR_BOUNDS;
        if (item < 0 ||
            !::SendMessageW(listView_, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect))) {
            rect = {0, 0, 0, 0};
        }
        point = {rect.left, rect.bottom};
        ::ClientToScreen(listView_, &point);
    }
    ::TrackPopupMenu(popupMenu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x,
                     point.y, 0, hwnd_, nullptr);
}

LRESULT TForm1::OnNotify(const NMHDR& header) {
    if (header.hwndFrom == listView_ && header.code == LVN_COLUMNCLICK) {
        ListViewColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
    } else if (header.hwndFrom == listView_ && header.code == NM_CLICK) {
        // Left clicks only, on a row or on empty space; keyboard selection sends no NM_CLICK.
        ListViewClick();
    } else if (header.hwndFrom == listView_ && header.code == LVN_KEYDOWN) {
        ListViewKeyDown(reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey);
    }
    return 0;
}

void TForm1::OnCommand(int id, int code) {
    switch (id) {
        case kReportSpeedButtonId:
            ReportSpeedButtonClick();
            break;
        case kLargeSpeedButtonId:
            LargeSpeedButtonClick();
            break;
        case kSmallSpeedButtonId:
            SmallSpeedButtonClick();
            break;
        case kShowInExplorerPopupmenuId:
            ShowInExplorerPopupmenuClick();
            break;
        case kRefreshPopupmenuId:
            RefreshPopupmenuClick();
            break;
        case kImage1Id:
            if (code == STN_CLICKED)
                Image1Click();
            break;
        default:
            break;
    }
}

void TForm1::ListViewClick() {
    controller_->ListViewClick();
}

void TForm1::ShowStatusLine(std::u16string_view text) {
    const std::wstring line(AsWide(text));
    ::SendMessageW(statusBar_, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(line.c_str()));
}

std::wstring TForm1::StatusText() const {
    auto partText = [this](WPARAM part) {
        const auto length = LOWORD(::SendMessageW(statusBar_, SB_GETTEXTLENGTHW, part, 0));
        std::wstring text(length + 1u, L'\0');
        ::SendMessageW(statusBar_, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
        text.resize(::wcsnlen(text.c_str(), length));
        return text;
    };
    // Windows answers for the simple panel by its own index, Wine by the first part's.
    std::wstring text = partText(SB_SIMPLEID);
    return text.empty() ? partText(0) : text;
}

void TForm1::ShowNoticeBox(std::u16string_view message) {
    const std::wstring text(AsWide(message));
    if (noticeBox_)
        return noticeBox_(text);
    // No icon, one button, centred on the screen; the program waits until it is closed.
    ::MessageBoxW(nullptr, text.c_str(), kProductTitle, MB_OK | MB_TASKMODAL);
}

void TForm1::ShowSelectedRowsLocalPage() {
    controller_->ShowSelectedRowsLocalPage();
}

void TForm1::ShowLocalPage(const ProcessRow& row) {
    ShowLocalInfoPage(&row, *localPages_, ansi_, *pane_);
}

void TForm1::ShowError(const char* what) noexcept {
    try {
        if (errorBox_)
            return errorBox_(what);
        ::MessageBoxW(hwnd_, WideFromUtf8(what).c_str(), kProductTitle, MB_OK | MB_ICONERROR);
    } catch (...) {
        ::MessageBeep(MB_ICONERROR);
    }
}

}  // namespace runlens
