// A library as an attacker would save it beside the program under the name of one the program
// uses: when anything loads it, it appends its own path to planted.txt in its folder, and
// whether the loader took it while the process was starting (a static import) or later. It
// imports nothing but kernel32 and runs no start-up code of a run-time library.
#include <windows.h>

extern "C" BOOL WINAPI PlantedEntry(HINSTANCE self, DWORD reason, LPVOID reserved) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return TRUE;
    wchar_t marker[MAX_PATH + 16];
    ::lstrcpyW(marker, path);
    int end = ::lstrlenW(marker);
    while (end > 0 && marker[end - 1] != L'\\')
        --end;
    marker[end] = L'\0';
    ::lstrcatW(marker, L"planted.txt");
    const HANDLE file = ::CreateFileW(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return TRUE;
    // The loader passes a non-null `reserved` for the libraries it maps as a process starts.
    const wchar_t* how = reserved ? L" static\n" : L" dynamic\n";
    char line[MAX_PATH * 3 + 16];
    int size = ::WideCharToMultiByte(CP_UTF8, 0, path, static_cast<int>(length), line, MAX_PATH * 3,
                                     nullptr, nullptr);
    size += ::WideCharToMultiByte(CP_UTF8, 0, how, -1, line + size, 16, nullptr, nullptr) - 1;
    DWORD written = 0;
    ::WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
    ::CloseHandle(file);
    return TRUE;
}
