// The keys of daily use, sent as the keyboard sends them to the shown window and run through
// the program's own message loop: Enter and Ctrl+C in the list, Tab between the list and the
// browser pane, and the keys the page takes while it has the focus.
#include "app/win32/main_window.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/win32/clipboard.h"
#include "core/win32/text.h"
#include "lang/sprache_japan.h"
#include "tests/fakes/recording_browser.h"
#include "tests/win32/main_window_access.h"
#include "tests/win32/shown_window.h"
#include "tests/win32/test_environment.h"

namespace runlens {
namespace {

using testing::ShownWindow;

constexpr wchar_t kUntouched[] = L"what the clipboard held before";

const ProcessRow kKeysRow{"keys.exe", "C:\\keys\\keys.exe", "1.234 byte", kProgramImage};

class Keys : public ShownWindow, public ::testing::Test {
  protected:
    void Open(bool recording) {
        ShownWindow::Open(recording);
        ASSERT_TRUE(CopyTextToClipboard(form_->Handle(), kUntouched));
    }
    std::wstring Clipboard() const { return ClipboardText(form_->Handle()); }
};

// Enter does what a left click does; moving the selection with the keyboard does not; Ctrl+C
// copies the row, the letter alone does not. The page is not asked while the list has the
// focus.
TEST_F(Keys, LookUpOrCopyTheSelectedRow) {
    struct Case {
        const char* name;
        std::vector<WORD> keys;
        bool looksUp;
        bool copies;
    };
    const Case cases[] = {{"Enter", {VK_RETURN}, true, false},
                          {"CtrlC", {VK_CONTROL, 'C'}, false, true},
                          {"LetterC", {'C'}, false, false},
                          {"ArrowUp", {VK_UP}, false, false},
                          {"CtrlAltC", {VK_CONTROL, VK_MENU, 'C'}, false, false}};
    Open(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelectNew(kKeysRow);
        ASSERT_EQ(::GetFocus(), form_->ListView());
        pane_->calls.clear();
        ASSERT_TRUE(CopyTextToClipboard(form_->Handle(), kUntouched));
        Press(c.keys);
        EXPECT_EQ(!pane_->calls.empty(), c.looksUp);
        EXPECT_EQ(Clipboard(), c.copies ? L"keys.exe\tC:\\keys\\keys.exe\t1.234 byte" : kUntouched);
        EXPECT_TRUE(pane_->keys.empty());
    }
    EXPECT_TRUE(errors_.empty());
}

TEST_F(Keys, WithoutASelectionNothingIsLookedUpOrCopied) {
    Open(true);
    ::SetFocus(form_->ListView());
    ASSERT_EQ(Inside(*form_).SelectedRow(), nullptr);
    Press({VK_RETURN});
    Press({VK_CONTROL, 'C'});
    EXPECT_TRUE(pane_->calls.empty());
    EXPECT_EQ(Clipboard(), kUntouched);
}

// The path column shows the administrator hint in Japanese whatever the code page; the copy
// holds what is shown, not the code page's question marks.
TEST_F(Keys, CopyHoldsTheTextsAsShown) {
    Open(true);
    const std::wstring hint = WideFromUtf8(Sprache_Japan::AdministratorHint);
    ProcessRow refused{"csrss.exe", " Access is denied     " + AnsiFromWide(hint), "",
                       kProgramImage};
    refused.administratorHint = true;
    SelectNew(refused);
    Press({VK_CONTROL, 'C'});
    EXPECT_EQ(Clipboard(), L"csrss.exe\t Access is denied     " + hint + L"\t");
}

TEST_F(Keys, TheListHasTheFocusWhenTheWindowComesToTheFront) {
    Open(false);
    EXPECT_EQ(::GetFocus(), form_->ListView());
}

// Tab and Shift+Tab go back and forth between the two, into the system's control and out.
TEST_F(Keys, TabMovesBetweenTheListAndThePage) {
    Open(false);
    ASSERT_TRUE(Inside(*form_).Browser().HasControl());
    ::SetFocus(form_->ListView());
    Press({VK_TAB});
    EXPECT_TRUE(FocusInPane()) << ::GetFocus();
    Press({VK_TAB});
    EXPECT_EQ(::GetFocus(), form_->ListView());
    Press({VK_SHIFT, VK_TAB});
    EXPECT_TRUE(FocusInPane()) << ::GetFocus();
    Press({VK_SHIFT, VK_TAB});
    EXPECT_EQ(::GetFocus(), form_->ListView());
}

// While the pane has the focus, its keys go to the page first; Ctrl+C there is the page's copy,
// not the list's, even with a row selected.
TEST_F(Keys, ThePageGetsItsKeysFirst) {
    Open(true);
    SelectNew(kKeysRow);
    Press({VK_TAB});
    EXPECT_EQ(pane_->calls, std::vector<std::u16string>{u"<focus>"});
    ::SetFocus(PaneHost());  // where the system's control puts the focus
    pane_->pageTakesKeys = true;
    Press({VK_CONTROL, 'C'});
    std::vector<std::pair<UINT, WPARAM>> keyDowns;
    for (const KeyMessage& key : pane_->keys) {
        EXPECT_EQ(key.window, PaneHost());
        if (key.message == WM_KEYDOWN)
            keyDowns.emplace_back(key.message, key.wParam);
    }
    EXPECT_EQ(keyDowns,
              (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, 'C'}}));
    EXPECT_EQ(Clipboard(), kUntouched);

    // A Tab the page takes moves between its links and stays in the pane; one it leaves moves
    // the focus on to the list.
    Press({VK_TAB});
    EXPECT_EQ(::GetFocus(), PaneHost());
    pane_->pageTakesKeys = false;
    Press({VK_TAB});
    EXPECT_EQ(::GetFocus(), form_->ListView());
}

class KeysJapanese : public ShownWindow, public testing::JapaneseLocaleTest {
  protected:
    std::wstring Clipboard() const { return ClipboardText(form_->Handle()); }
};

// A name in code page 932 goes to the clipboard as the Unicode text the list shows.
TEST_F(KeysJapanese, CopyIsUnicodeText) {
    Open(true);
    SelectNew({"\x83\x65\x83\x58\x83\x67.exe", "C:\\\x83\x65\x83\x58\x83\x67\\\x83\x65.exe",
               "14.336 byte", kProgramImage});
    Press({VK_CONTROL, 'C'});
    EXPECT_EQ(Clipboard(),
              L"\u30c6\u30b9\u30c8.exe\tC:\\\u30c6\u30b9\u30c8\\\u30c6.exe\t14.336 byte");
}

}  // namespace
}  // namespace runlens
