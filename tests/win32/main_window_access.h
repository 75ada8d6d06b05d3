// What the tests read and replace inside the main window, which the program itself has no use
// for from outside.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "app/win32/main_window.h"

namespace runlens {

// Pumps the thread's messages until `done` says so; false when `limit` milliseconds pass first.
template <typename Done>
bool PumpUntil(Done&& done, DWORD limit) {
    const ULONGLONG end = ::GetTickCount64() + limit;
    while (!done()) {
        if (::GetTickCount64() >= end)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return true;
}

class TForm1TestAccess {
  public:
    explicit TForm1TestAccess(TForm1& form) : form_(form) {}

    int Dpi() const { return form_.dpi_; }
    Win32ProcessListView& Rows() const { return *form_.rows_; }
    BrowserPane& Pane() const { return *form_.pane_; }
    // The system's browser control; only when the pane is that control.
    WebBrowser& Browser() const { return *form_.webBrowser_; }
    HMENU PopupMenu() const { return form_.popupMenu_.get(); }
    const ProcessRow* SelectedRow() const { return form_.SelectedRow(); }
    std::wstring StatusText() const { return form_.StatusText(); }
    // The user agent of the lookup's requests.
    const std::string& AgentString() const { return form_.agent_; }
    const WindowController& Controller() const { return *form_.controller_; }
    // The list and the lookup's pointer as the window shows them.
    bool BusyCursor() const { return form_.busy_; }
    // Pumps the thread's messages until the lookup under way (and its notice) has ended; false
    // when it was still under way after `limit`.
    bool WaitForLookup(DWORD limit = 15000) const {
        return PumpUntil([this] { return !form_.controller_->Busy(); }, limit);
    }
    // The same until every icon of the current fill has come in.
    bool WaitForIcons(DWORD limit = 15000) const {
        return PumpUntil([this] { return form_.controller_->IconsPending() == 0; }, limit);
    }
    // The same until the background work has no thread left, the ones given up included.
    bool WaitForQuietBackground(DWORD limit = 15000) const {
        return PumpUntil([this] { return form_.background_->ThreadsRunning() == 0; }, limit);
    }

    // Puts a row into the list, selects it, and clicks it as the list control reports a click.
    void ClickRow(const ProcessRow& row) const {
        Rows().AppendRow(row);
        const HWND list = form_.ListView();
        const int item = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) - 1;
        LVITEMW select{};
        select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        select.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&select));
        NMITEMACTIVATE click{};
        click.hdr = {list, static_cast<UINT_PTR>(kListViewId), static_cast<UINT>(NM_CLICK)};
        click.iItem = item;
        ::SendMessageW(form_.Handle(), WM_NOTIFY, kListViewId, reinterpret_cast<LPARAM>(&click));
    }

    void SetErrorBox(std::function<void(const std::string& message)> errorBox) const {
        form_.errorBox_ = std::move(errorBox);
    }
    void SetNoticeBox(std::function<void(const std::wstring& message)> noticeBox) const {
        form_.noticeBox_ = std::move(noticeBox);
    }
    void SetShell(std::unique_ptr<Shell> shell) const { form_.shell_ = std::move(shell); }

  private:
    TForm1& form_;
};

inline TForm1TestAccess Inside(TForm1& form) {
    return TForm1TestAccess(form);
}

}  // namespace runlens
