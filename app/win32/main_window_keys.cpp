// The main window's keys: the message loop offers them to the page while it has the focus,
// Tab moves between the list and the page, F5 refreshes, and Enter and Ctrl+C act on the list's
// selected row.
#include "app/win32/main_window.h"

namespace runlens {
namespace {

bool KeyIsDown(int key) {
    return ::GetKeyState(key) < 0;
}

KeyMessage ToKeyMessage(const MSG& message) {
    return {message.hwnd, message.message, message.wParam, message.lParam,
            message.time, message.pt.x,    message.pt.y};
}

}  // namespace

void TForm1::ListViewKeyDown(WORD key) {
    if (key == VK_RETURN) {
        ListViewClick();
    } else if (key == 'C' && KeyIsDown(VK_CONTROL) && !KeyIsDown(VK_MENU)) {
        CopySelectedRow();
    }
}

void TForm1::CopySelectedRow() {
    controller_->CopySelectedRow();
}

void TForm1::HandleLoopMessage(MSG& message) noexcept {
    bool used = false;
    RunHandler([&] { used = TranslateKeys(message); });
    if (used)
        return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

// The page takes the keys it wants while it has the focus; Tab moves between the list and the
// page; the accelerators (F5) work wherever the focus is in the window.
bool TForm1::TranslateKeys(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !hwnd_)
        return false;
    // Keys of another window, such as a message box, are its own.
    if (message.hwnd != hwnd_ && !::IsChild(hwnd_, message.hwnd))
        return false;
    if (InPane(message.hwnd) && pane_->OfferKey(ToKeyMessage(message)))
        return true;
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && !KeyIsDown(VK_CONTROL) &&
        !KeyIsDown(VK_MENU)) {
        TabToNextControl(message.hwnd);
        return true;
    }
    return ::TranslateAcceleratorW(hwnd_, accelerators_.get(), &message) != 0;
}

bool TForm1::InPane(HWND window) const {
    return window == webBrowserHost_ || ::IsChild(webBrowserHost_, window);
}

// Two stops, either way round: the list and the page.
void TForm1::TabToNextControl(HWND from) {
    if (from == listView_)
        pane_->Focus();
    else
        ::SetFocus(listView_);
}

}  // namespace runlens
