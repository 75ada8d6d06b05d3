// F5 and the context menu's refresh: the list filled again by the same rules, sorted as it
// was, the selected process still selected while it runs, the browser pane left as it is, and
// image lists that hold only what the rows show.
#include "app/win32/main_window.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/sorting.h"
#include "core/win32/text.h"
#include "lang/sprache_japan.h"
#include "tests/win32/idle_process.h"
#include "tests/win32/main_window_access.h"
#include "tests/win32/shown_window.h"

namespace runlens {
namespace {

using testing::IdleProcess;
using testing::TempFolder;

const ProcessRow kGhost{"ghost.exe", "C:\\ghost\\ghost.exe", "", kProgramImage};

std::wstring Program(const wchar_t* name) {
    return TempFolder() + L"runlens-refresh\\" + name;
}

// The item that shows the process, -1 when none does.
int ItemOf(TForm1& form, std::uint32_t processId) {
    const auto rows = Inside(form).Rows().ShownRows();
    const auto found = std::find_if(rows.begin(), rows.end(), [&](const ProcessRow* row) {
        return row && row->processId == processId;
    });
    return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

bool HasCaption(TForm1& form, std::string_view caption) {
    const auto rows = Inside(form).Rows().ShownRows();
    return std::any_of(rows.begin(), rows.end(),
                       [&](const ProcessRow* row) { return row && row->caption.text == caption; });
}

bool SortedBy(TForm1& form, int sortKey, bool rightAligned) {
    const auto rows = Inside(form).Rows().ShownRows();
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (CompareRows(*rows[i - 1], *rows[i], sortKey, rightAligned) > 0)
            return false;
    }
    return true;
}

class Refresh : public testing::ShownWindow, public ::testing::Test {};

TEST_F(Refresh, F5KeepsTheSortAndTheSelectedProcess) {
    const IdleProcess running(Program(L"refresh-running.exe"));
    ASSERT_NE(running.Id(), 0u);
    Open(true);
    form_->ListViewColumnClick(2);  // sizes, largest first
    Inside(*form_).Rows().AppendRow(kGhost);
    const int item = ItemOf(*form_, running.Id());
    ASSERT_GE(item, 0);
    Select(item);
    const IdleProcess started(Program(L"refresh-started.exe"));
    ASSERT_NE(started.Id(), 0u);

    Press({VK_F5});
    EXPECT_FALSE(HasCaption(*form_, kGhost.caption.text)) << "filled anew, not added to";
    EXPECT_GE(ItemOf(*form_, started.Id()), 0);
    EXPECT_TRUE(SortedBy(*form_, -3, true));
    const ProcessRow* selected = Inside(*form_).SelectedRow();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->processId, running.Id());
    EXPECT_EQ(selected->caption.text, "refresh-running.exe");
    EXPECT_TRUE(::SendMessageW(form_->ListView(), LVM_ISITEMVISIBLE,
                               static_cast<WPARAM>(ItemOf(*form_, running.Id())), 0));
    EXPECT_EQ(::GetFocus(), form_->ListView());
    EXPECT_TRUE(pane_->calls.empty()) << "the pane keeps what it shows";
    EXPECT_TRUE(errors_.empty());
}

// F5 refreshes wherever the focus is in the window, the browser pane too when the page leaves
// the key; the selection of a process that has ended goes with it.
TEST_F(Refresh, SelectionOfAnEndedProcessGoes) {
    IdleProcess ending(Program(L"refresh-ending.exe"));
    ASSERT_NE(ending.Id(), 0u);
    Open(true);
    Select(ItemOf(*form_, ending.Id()));
    ASSERT_NE(Inside(*form_).SelectedRow(), nullptr);
    ending.End();
    ::SetFocus(PaneHost());

    Press({VK_F5});
    EXPECT_FALSE(pane_->keys.empty()) << "the page was asked first";
    EXPECT_EQ(ItemOf(*form_, ending.Id()), -1);
    EXPECT_EQ(Inside(*form_).SelectedRow(), nullptr);
    EXPECT_EQ(::SendMessageW(form_->ListView(), LVM_GETSELECTEDCOUNT, 0, 0), 0);
}

// The window as a test makes it, not shown.
class RefreshUnshown : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(form_.Create()); }

    TForm1 form_{::GetModuleHandleW(nullptr)};
};

TEST_F(RefreshUnshown, TheContextMenuOffersIt) {
    wchar_t text[128] = {};
    ::GetMenuStringW(Inside(form_).PopupMenu(), kRefreshPopupmenuId, text, 128, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(text), WideFromUtf8(Sprache_Japan::RefreshMenu));
    Inside(form_).Rows().AppendRow(kGhost);
    ::SendMessageW(form_.Handle(), WM_COMMAND, MAKEWPARAM(kRefreshPopupmenuId, 0), 0);
    EXPECT_FALSE(HasCaption(form_, kGhost.caption.text));
    EXPECT_FALSE(Inside(form_).Rows().ShownRows().empty());
}

// Each refresh starts from the two stock images: the lists then hold those and one image for
// each row that shows its own icon (this test program's among them), whatever came before.
TEST_F(RefreshUnshown, ImageListsHoldOnlyWhatTheRowsShow) {
    for (int refresh = 0; refresh < 3; ++refresh) {
        SCOPED_TRACE(refresh);
        form_.RefreshPopupmenuClick();
        ASSERT_TRUE(Inside(form_).WaitForIcons());
        const auto rows = Inside(form_).Rows().ShownRows();
        const auto ownIcons = std::count_if(rows.begin(), rows.end(), [](const ProcessRow* row) {
            return row->imageIndex > kProgramImage;
        });
        ASSERT_GT(ownIcons, 0);
        for (const int list : {LVSIL_SMALL, LVSIL_NORMAL}) {
            const HIMAGELIST images = ListView_GetImageList(form_.ListView(), list);
            EXPECT_EQ(::ImageList_GetImageCount(images), 2 + ownIcons) << list;
        }
    }
}

}  // namespace
}  // namespace runlens
