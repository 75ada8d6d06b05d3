// What the tests read and replace inside the main window, which the program itself has no use
// for from outside.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "app/win32/main_window.h"

namespace runlens {

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
    const std::string& AgentString() const { return form_.lookupSystem_->Agent(); }
    const OnlineLookup& Lookup() const { return *form_.lookup_; }

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
