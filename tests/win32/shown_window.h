// The main window shown as the user has it, driven by keys through the program's own message
// loop.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/win32/main_window.h"
#include "tests/fakes/recording_browser.h"
#include "tests/win32/keyboard_input.h"
#include "tests/win32/main_window_access.h"

namespace runlens::testing {

// The window as the user has it: shown, in front, with the keyboard focus. (Under Wine without
// a window manager, a shown window takes two seconds to go; tests share windows where they
// can.)
class ShownWindow {
  protected:
    // With the system's browser control, or with a recording pane when `recording` is set.
    void Open(bool recording) {
        BrowserPaneFactory makePane;
        if (recording) {
            makePane = [this](HWND) {
                auto pane = std::make_unique<RecordingBrowser>();
                pane_ = pane.get();
                return pane;
            };
        }
        form_ = std::make_unique<TForm1>(::GetModuleHandleW(nullptr), std::move(makePane));
        ASSERT_TRUE(form_->Create());
        Inside(*form_).SetErrorBox(
            [this](const std::string& message) { errors_.push_back(message); });
        Inside(*form_).SetNoticeBox([](const std::wstring&) {});
        form_->Show(SW_SHOWNORMAL);
        ::SetForegroundWindow(form_->Handle());
        Pump();
        ASSERT_EQ(::GetForegroundWindow(), form_->Handle());
    }

    void Pump() {
        PumpMessages([this](MSG& message) { form_->HandleLoopMessage(message); });
    }
    void Press(const std::vector<WORD>& keys) {
        PressKeys(keys);
        Pump();
    }

    // Selects the item, as a click on it does, and gives the list the focus.
    void Select(int item) {
        const HWND list = form_->ListView();
        LVITEMW select{};
        select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        select.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&select));
        ::SetFocus(list);
    }
    // Adds the row to the list and selects it.
    void SelectNew(const ProcessRow& row) {
        Inside(*form_).Rows().AppendRow(row);
        Select(static_cast<int>(::SendMessageW(form_->ListView(), LVM_GETITEMCOUNT, 0, 0)) - 1);
    }

    HWND PaneHost() const { return ::GetDlgItem(form_->Handle(), kWebBrowserId); }
    bool FocusInPane() const {
        const HWND focus = ::GetFocus();
        return focus == PaneHost() || ::IsChild(PaneHost(), focus);
    }

    std::unique_ptr<TForm1> form_;
    RecordingBrowser* pane_ = nullptr;
    std::vector<std::string> errors_;
};

}  // namespace runlens::testing
