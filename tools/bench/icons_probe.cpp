// The program itself, which also tells the benchmark when the last icon of its first fill is
// in: it sets the event named on its command line.
#include <windows.h>

#include "app/win32/main_window.h"
#include "app/win32/program.h"
#include "core/win32/handles.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    const runlens::UniqueHandle iconsIn(::OpenEventW(EVENT_MODIFY_STATE, FALSE, commandLine));
    bool told = false;
    return runlens::RunProgram(instance, showCommand, [&](const runlens::TForm1& form) {
        if (!told && form.IconsPending() == 0) {
            told = true;
            ::SetEvent(iconsIn.get());
        }
    });
}
