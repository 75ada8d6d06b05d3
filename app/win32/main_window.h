// The program's one window.
#pragma once

#include <windows.h>

#include <memory>

#include "app/win32/process_list_view.h"

namespace runlens {

class TForm1 {
  public:
    explicit TForm1(HINSTANCE instance) : instance_(instance) {}
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Creates and shows the window; false when the system refuses.
    bool Create(int showCommand);
    HWND Handle() const { return hwnd_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void FormCreate();
    void FormResize();
    void FillProcessList();
    void ShowError(const char* what) noexcept;

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HWND listView_ = nullptr;
    UniqueImageList smallImageList_;
    UniqueImageList largeImageList_;
    std::unique_ptr<Win32ProcessListView> rows_;
};

}  // namespace runlens
