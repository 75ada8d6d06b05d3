// A program that only waits, for the tests that list processes started from odd paths. It
// ends by itself after a minute, should a test leave it behind.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ::Sleep(60 * 1000);
    return 0;
}
