// The shell actions' view of Windows: ShellExecuteA and the default beep.
#pragma once

#include <windows.h>

#include "app/shell_actions.h"

namespace runlens {

class Win32Shell final : public Shell {
  public:
    explicit Win32Shell(HWND mainWindow) : mainWindow_(mainWindow) {}

    std::intptr_t Execute(ShellOwner owner, std::string_view verb, std::string_view file,
                          std::string_view parameters, std::string_view directory,
                          int showCommand) override;
    void Beep() override;

  private:
    HWND mainWindow_;
};

}  // namespace runlens
