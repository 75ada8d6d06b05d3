// Program entry: create the main window, run its message loop until it is closed.
#include <windows.h>

#include "app/win32/program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return runlens::RunProgram(instance, showCommand);
}
