// The program's run: its libraries, the common controls and OLE, the main window and its
// message loop until the window is closed.
#pragma once

#include <windows.h>

#include <functional>

namespace runlens {

class TForm1;

// The exit code; `afterMessage`, when given, runs after each message of the loop.
int RunProgram(HINSTANCE instance, int showCommand,
               const std::function<void(const TForm1&)>& afterMessage = {});

}  // namespace runlens
