// Every function of the system that the program finds at run time instead of linking it, and
// why. Each lookup gives null where the system lacks the function; the caller then does
// without it.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

namespace runlens {

// GetProcAddress's result as the function type it really has.
template <typename Function>
Function LookUpFunction(HMODULE module, const char* name) noexcept {
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

struct DynamicFunctions {
    // Windows 10 1607 and later: the DPI of one window and metrics at a given DPI. Earlier
    // systems have one DPI for everything, which the device context tells.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static GetDpiForWindowFn GetDpiForWindow() noexcept {
        static const auto function = LookUpFunction<GetDpiForWindowFn>(User32(), "GetDpiForWindow");
        return function;
    }
    static GetSystemMetricsForDpiFn GetSystemMetricsForDpi() noexcept {
        static const auto function =
            LookUpFunction<GetSystemMetricsForDpiFn>(User32(), "GetSystemMetricsForDpi");
        return function;
    }

    // The two image-name queries of a process: QueryFullProcessImageNameW came with Vista, and
    // GetModuleFileNameExW is PSAPI's, which some systems' kernel32 exports too (tried first).
    // Looked up anew for every inventory; a function that is missing leaves GetLastError's
    // code, which the rows' status texts report.
    using QueryFullProcessImageNameWFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
    using GetModuleFileNameExWFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
    static QueryFullProcessImageNameWFn QueryFullProcessImageNameW() noexcept {
        return LookUpFunction<QueryFullProcessImageNameWFn>(::LoadLibraryA("kernel32.dll"),
                                                            "QueryFullProcessImageNameW");
    }
    static GetModuleFileNameExWFn GetModuleFileNameExW() noexcept {
        if (const auto function = LookUpFunction<GetModuleFileNameExWFn>(
                ::LoadLibraryA("kernel32.dll"), "GetModuleFileNameExW")) {
            return function;
        }
        return LookUpFunction<GetModuleFileNameExWFn>(::LoadLibraryA("psapi.dll"),
                                                      "GetModuleFileNameExW");
    }

    // The process snapshot: ToolHelp is missing from Windows NT 4.0's kernel32, where the
    // list stays empty.
    using CreateToolhelp32SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
    using Process32WFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32W*);
    static CreateToolhelp32SnapshotFn CreateToolhelp32Snapshot() noexcept {
        return LookUpFunction<CreateToolhelp32SnapshotFn>(Kernel32(), "CreateToolhelp32Snapshot");
    }
    static Process32WFn Process32FirstW() noexcept {
        return LookUpFunction<Process32WFn>(Kernel32(), "Process32FirstW");
    }
    static Process32WFn Process32NextW() noexcept {
        return LookUpFunction<Process32WFn>(Kernel32(), "Process32NextW");
    }

  private:
    static HMODULE User32() noexcept { return ::GetModuleHandleW(L"user32.dll"); }
    static HMODULE Kernel32() noexcept { return ::GetModuleHandleA("kernel32.dll"); }
};

}  // namespace runlens
