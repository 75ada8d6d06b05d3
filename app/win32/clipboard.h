// The clipboard, opened and closed by its owner object, and the Unicode text put on it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace runlens {

// The clipboard for one operation: opened when made, closed when it goes. Another program may
// hold it for a moment, so opening tries a few times.
class OpenedClipboard {
  public:
    explicit OpenedClipboard(HWND owner) noexcept;
    ~OpenedClipboard();
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;

    explicit operator bool() const noexcept { return open_; }

  private:
    bool open_ = false;
};

// Replaces the clipboard's content with the text as Unicode text; false when the clipboard
// cannot be had or the memory for the text cannot.
bool CopyTextToClipboard(HWND owner, std::wstring_view text);

// The clipboard's Unicode text; empty when it holds none.
std::wstring ClipboardText(HWND owner);

}  // namespace runlens
