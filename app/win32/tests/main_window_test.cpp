#include "app/win32/main_window.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/layout.h"
#include "app/sorting.h"
#include "app/win32/controls.h"
#include "core/site.h"
#include "core/win32/text.h"
#include "lang/sprache_japan.h"
#include "tests/fakes/recording_shell.h"
#include "tests/win32/main_window_access.h"

namespace runlens {
namespace {

std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[1024] = {};
    ::GetWindowTextW(hwnd, buffer, 1024);
    return buffer;
}

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        form_ = std::make_unique<TForm1>(::GetModuleHandleW(nullptr));
        ASSERT_TRUE(form_->Create());
        list_ = form_->ListView();
        panel_ = ::GetDlgItem(form_->Handle(), kTopPanelId);
    }

    int Count() const { return static_cast<int>(::SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }
    std::vector<const ProcessRow*> Order() const {
        std::vector<const ProcessRow*> rows;
        for (int item = 0; item < Count(); ++item)
            rows.push_back(Inside(*form_).Rows().RowAt(item));
        return rows;
    }
    RECT PanelRect(int id) const {
        RECT rect;
        const HWND control = ::GetDlgItem(panel_, id);
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, panel_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    void Click(int id) { ::SendMessageW(::GetDlgItem(panel_, id), BM_CLICK, 0, 0); }
    std::wstring ColumnCaption(int column) const {
        wchar_t buffer[128] = {};
        LVCOLUMNW columnInfo{};
        columnInfo.mask = LVCF_TEXT | LVCF_FMT;
        columnInfo.pszText = buffer;
        columnInfo.cchTextMax = 128;
        ::SendMessageW(list_, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&columnInfo));
        return buffer;
    }

    std::unique_ptr<TForm1> form_;
    HWND list_ = nullptr;
    HWND panel_ = nullptr;
};

TEST_F(MainWindow, ControlsCarryTheJapaneseTexts) {
    EXPECT_EQ(WindowText(form_->Handle()), WideFromUtf8(kSiteHost) + L" - Runlens");
    const std::wstring label = WindowText(::GetDlgItem(panel_, kTopLabelId));
    EXPECT_EQ(label, WideFromUtf8(Sprache_Japan::TopLabelLine1) + L"\r\n" +
                         WideFromUtf8(Sprache_Japan::TopLabelLine2));
    EXPECT_EQ(ColumnCaption(0), WideFromUtf8(Sprache_Japan::ColumnProcess));
    EXPECT_EQ(ColumnCaption(1), WideFromUtf8(Sprache_Japan::ColumnFile));
    EXPECT_EQ(ColumnCaption(2), WideFromUtf8(Sprache_Japan::ColumnFileSize));

    const HWND status = ::GetDlgItem(form_->Handle(), kStatusBarId);
    const std::wstring text = Inside(*form_).StatusText();
    EXPECT_NE(text.find(WideFromUtf8(kSiteHost)), std::wstring::npos) << text;
    EXPECT_TRUE(::SendMessageW(status, SB_ISSIMPLE, 0, 0));
}

TEST_F(MainWindow, ListIsADetailsViewWithThreeColumns) {
    const LONG_PTR style = ::GetWindowLongPtrW(list_, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_FALSE(style & LVS_EDITLABELS);
    EXPECT_TRUE(::SendMessageW(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
    LVCOLUMNW columnInfo{};
    columnInfo.mask = LVCF_FMT;
    ::SendMessageW(list_, LVM_GETCOLUMNW, 2, reinterpret_cast<LPARAM>(&columnInfo));
    EXPECT_EQ(columnInfo.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
    EXPECT_EQ(::SendMessageW(list_, LVM_GETCOLUMNWIDTH, 0, 0), Scale(122, Inside(*form_).Dpi()));
    EXPECT_GT(Count(), 0);
}

TEST_F(MainWindow, ViewButtonsSitRightAlignedOnePixelApart) {
    RECT panel;
    ::GetClientRect(panel_, &panel);
    for (const int width : {900, 300}) {
        ::SetWindowPos(form_->Handle(), nullptr, 0, 0, width, 500, SWP_NOZORDER | SWP_NOMOVE);
        RECT client;
        ::GetClientRect(form_->Handle(), &client);
        const RECT report = PanelRect(kReportSpeedButtonId);
        const RECT small = PanelRect(kSmallSpeedButtonId);
        const RECT large = PanelRect(kLargeSpeedButtonId);
        EXPECT_EQ(report.right, client.right - Scale(10, Inside(*form_).Dpi())) << width;
        EXPECT_EQ(small.right + Scale(1, Inside(*form_).Dpi()), report.left) << width;
        EXPECT_EQ(large.right + Scale(1, Inside(*form_).Dpi()), small.left) << width;
        EXPECT_GE(::SendMessageW(list_, LVM_GETCOLUMNWIDTH, 1, 0), 0) << width;
    }
}

TEST_F(MainWindow, ViewButtonsSwitchTheStyleAndKeepRowsOrderAndSelection) {
    ASSERT_GT(Count(), 1);
    LVITEMW select{};
    select.stateMask = LVIS_SELECTED;
    select.state = LVIS_SELECTED;
    ::SendMessageW(list_, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
    const auto before = Order();
    const ProcessRow* selected = Inside(*form_).SelectedRow();
    ASSERT_NE(selected, nullptr);

    const std::pair<int, LONG_PTR> steps[] = {{kLargeSpeedButtonId, LVS_ICON},
                                              {kSmallSpeedButtonId, LVS_SMALLICON},
                                              {kReportSpeedButtonId, LVS_REPORT}};
    for (const auto& [button, style] : steps) {
        Click(button);
        EXPECT_EQ(::GetWindowLongPtrW(list_, GWL_STYLE) & LVS_TYPEMASK, style);
        EXPECT_EQ(Order(), before);
        EXPECT_EQ(Inside(*form_).SelectedRow(), selected);
    }
}

TEST_F(MainWindow, HeaderClicksSortDescendingFirstThenAlternate) {
    ASSERT_GT(Count(), 1);
    auto sortedBy = [this](int key) {
        const auto rows = Order();
        for (std::size_t i = 1; i < rows.size(); ++i) {
            if (CompareRows(*rows[i - 1], *rows[i], key, key == 3 || key == -3) > 0)
                return false;
        }
        return true;
    };
    form_->ListViewColumnClick(0);
    EXPECT_TRUE(sortedBy(-1));
    form_->ListViewColumnClick(0);
    EXPECT_TRUE(sortedBy(1));
    form_->ListViewColumnClick(2);
    EXPECT_TRUE(sortedBy(-3)) << "another column starts descending";
    form_->ListViewColumnClick(0);
    EXPECT_TRUE(sortedBy(-1));
}

TEST_F(MainWindow, AgentStringNamesTheProgramAndThePlatform) {
    const std::string agentString = Inside(*form_).AgentString();
    EXPECT_EQ(agentString.rfind("runlens_win_tests.exe/1 (Windows  NT ", 0), 0u) << agentString;
    EXPECT_EQ(agentString.back(), ')');
}

TEST_F(MainWindow, ShowInExplorerWithoutSelectionDoesNothing) {
    auto shell = std::make_unique<testing::RecordingShell>(std::vector<std::intptr_t>{});
    const testing::RecordingShell& calls = *shell;
    Inside(*form_).SetShell(std::move(shell));
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    ::SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&none));
    EXPECT_EQ(Inside(*form_).SelectedRow(), nullptr);
    form_->ShowInExplorerPopupmenuClick();
    EXPECT_TRUE(calls.calls.empty()) << "the shell is not asked for anything";
    EXPECT_EQ(calls.beeps, 0);

    // With a row selected, the same command goes to the shell.
    Inside(*form_).Rows().AppendRow({"shown.exe", "C:\\shown\\shown.exe", "", kProgramImage});
    LVITEMW last{};
    last.stateMask = LVIS_SELECTED;
    last.state = LVIS_SELECTED;
    ::SendMessageW(list_, LVM_SETITEMSTATE, Count() - 1, reinterpret_cast<LPARAM>(&last));
    ASSERT_NE(Inside(*form_).SelectedRow(), nullptr);
    form_->ShowInExplorerPopupmenuClick();
    ASSERT_FALSE(calls.calls.empty());
    EXPECT_EQ(calls.calls[0].parameters, "/select, shown.exe");
}

RECT ChildRect(HWND parent, int id) {
    RECT rect;
    ::GetWindowRect(::GetDlgItem(parent, id), &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_F(MainWindow, ControlsAreStackedAsDesigned) {
    const HWND form = form_->Handle();
    auto s = [this](int pixels) { return Scale(pixels, Inside(*form_).Dpi()); };
    ::SetWindowPos(form, nullptr, 0, 0, s(800), s(900), SWP_NOZORDER | SWP_NOMOVE);
    RECT client;
    ::GetClientRect(form, &client);

    const RECT panel = ChildRect(form, kTopPanelId);
    const RECT list = ChildRect(form, kListViewId);
    const RECT splitter = ChildRect(form, kSplitter2Id);
    const RECT browser = ChildRect(form, kWebBrowserId);
    const RECT status = ChildRect(form, kStatusBarId);
    EXPECT_EQ(panel.top, 0);
    EXPECT_EQ(panel.bottom, s(40));
    EXPECT_EQ(list.top, panel.bottom);
    EXPECT_EQ(list.bottom, splitter.top);
    EXPECT_EQ(splitter.bottom - splitter.top, s(4));
    EXPECT_EQ(splitter.bottom, browser.top);
    EXPECT_EQ(browser.bottom - browser.top, s(360));
    EXPECT_EQ(browser.bottom, status.top);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(browser.right, client.right);

    const RECT logo = ChildRect(panel_, kImage1Id);
    EXPECT_EQ(logo.left, s(7));
    EXPECT_EQ(logo.top, s(7));
    EXPECT_EQ(logo.right - logo.left, s(32));
    const RECT label = ChildRect(panel_, kTopLabelId);
    EXPECT_EQ(label.left, s(52));
    EXPECT_GT(label.bottom - label.top, s(10)) << "two lines, sized to the text";
    const RECT report = ChildRect(panel_, kReportSpeedButtonId);
    EXPECT_EQ(report.right - report.left, s(28));
    EXPECT_EQ(report.bottom - report.top, s(26));
}

TEST_F(MainWindow, SplitterDragResizesTheBrowserPane) {
    const HWND form = form_->Handle();
    ::SetWindowPos(form, nullptr, 0, 0, 800, 900, SWP_NOZORDER | SWP_NOMOVE);
    const RECT before = ChildRect(form, kWebBrowserId);
    const RECT splitter = ChildRect(form, kSplitter2Id);
    ::SendMessageW(form, kSplitterMoved, 0, splitter.top - 100);
    const RECT after = ChildRect(form, kWebBrowserId);
    EXPECT_EQ(after.top, before.top - 100);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(ChildRect(form, kListViewId).bottom, splitter.top - 100);

    // Dragged past the top, the list closes and nothing goes negative.
    ::SendMessageW(form, kSplitterMoved, 0, -500);
    const RECT list = ChildRect(form, kListViewId);
    EXPECT_GE(list.bottom, list.top);
}

TEST_F(MainWindow, PopupMenuOffersTheExplorerCommand) {
    wchar_t text[128] = {};
    ::GetMenuStringW(Inside(*form_).PopupMenu(), kShowInExplorerPopupmenuId, text, 128,
                     MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(text), WideFromUtf8(Sprache_Japan::ShowInExplorerMenu));
}

TEST_F(MainWindow, HostsTheBrowserWithoutATitleHandler) {
    EXPECT_TRUE(Inside(*form_).Browser().HasControl());
    EXPECT_FALSE(Inside(*form_).Browser().HasTitleChangeHandler());
}

}  // namespace
}  // namespace runlens

namespace runlens {
namespace {

// A step of the window's creation that fails refuses the window: the program ends with the
// error instead of leaving a window without its lookup for the first click to use.
TEST(WindowCreation, AFailedStepLeavesNoWindowAndShowsTheError) {
    // What windows of earlier tests left in this thread's queue.
    MSG message;
    while (::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    TForm1 form(::GetModuleHandleW(nullptr), [](HWND) -> std::unique_ptr<BrowserPane> {
        throw std::runtime_error("no browser here");
    });
    std::vector<std::string> errors;
    Inside(form).SetErrorBox([&errors](const std::string& message) { errors.push_back(message); });
    EXPECT_FALSE(form.Create());
    EXPECT_EQ(form.Handle(), nullptr);
    EXPECT_EQ(errors, std::vector<std::string>{"no browser here"});
    EXPECT_FALSE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "a window that never opened ends no message loop";
}

}  // namespace
}  // namespace runlens
