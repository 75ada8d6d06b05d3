// One of the processes of the benchmark's busy machine: it waits until the benchmark sets its
// stop event, and ends by itself after ten minutes should the benchmark be gone. It carries the
// program's resources, so that its icon costs what a real program's does.
#include <windows.h>

#include "tools/bench/bench_child.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const HANDLE stop = ::OpenEventW(SYNCHRONIZE, FALSE, kBenchStopEvent);
    if (stop) {
        ::WaitForSingleObject(stop, 10 * 60 * 1000);
        ::CloseHandle(stop);
    }
    return 0;
}
