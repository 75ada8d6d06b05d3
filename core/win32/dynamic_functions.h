// Every function of the system that the program finds at run time instead of linking it, and
// why. Each lookup gives null where the system lacks the function; the caller then does
// without it. Library and function are looked up once, on first use, and kept.
//
// The program file imports only libraries that Windows maps from the system folder whatever
// lies beside the program (its known DLLs, and the common controls through the manifest).
// Every other library is loaded here, from the system folder alone: a program run from a
// downloads folder must never load a library that was saved beside it.
#pragma once

#include <windows.h>
#include <tlhelp32.h>
#include <wininet.h>

namespace runlens {

// The libraries the program loads at run time, by the names it loads them under. Each is
// loaded once, by the one table of its functions below, and kept.
inline constexpr wchar_t kVersionLibrary[] = L"version.dll";
inline constexpr wchar_t kInternetLibrary[] = L"wininet.dll";
inline constexpr wchar_t kProcessStatusLibrary[] = L"psapi.dll";
inline constexpr const wchar_t* kRunTimeLibraries[] = {kVersionLibrary, kInternetLibrary,
                                                       kProcessStatusLibrary};

// The system folder's copy of the library; null, with GetLastError's code, when it cannot be
// loaded. Never the current folder's, the program's folder's or the PATH's copy.
HMODULE LoadSystemLibrary(const wchar_t* name) noexcept;

// The process's library search, for every later load, the system's own loads on the program's
// behalf included: the system folder alone where the system can say so, and elsewhere at least
// never the current folder. The program's first act.
void SearchLibrariesInSystemFolderOnly() noexcept;

// A function found at run time, and the code GetLastError gave when it was not found.
template <typename Function>
struct FoundFunction {
    Function function = nullptr;
    DWORD missing = ERROR_PROC_NOT_FOUND;
    explicit operator bool() const noexcept { return function != nullptr; }
};

// GetProcAddress's result as the function type it really has.
template <typename Function>
FoundFunction<Function> LookUpFunction(HMODULE module, const char* name) noexcept {
    if (module == nullptr)
        return {nullptr, ::GetLastError()};
    const auto address = ::GetProcAddress(module, name);
    if (address == nullptr)
        return {nullptr, ::GetLastError()};
    return {reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address)), 0};
}

// The version functions. VERSION.dll is not a known DLL, so a static import of it would be
// taken from the program's folder before any of the program's code runs.
struct VersionFunctions {
    decltype(&::GetFileVersionInfoSizeA) getFileVersionInfoSizeA = nullptr;
    decltype(&::GetFileVersionInfoA) getFileVersionInfoA = nullptr;
    decltype(&::VerQueryValueA) verQueryValueA = nullptr;
};

// WinInet, for the same reason. A request thread calls these too: the table is complete before
// the first request starts and never changes.
struct InternetFunctions {
    decltype(&::InternetOpenA) internetOpenA = nullptr;
    decltype(&::InternetSetOptionA) internetSetOptionA = nullptr;
    decltype(&::InternetOpenUrlA) internetOpenUrlA = nullptr;
    decltype(&::HttpQueryInfoA) httpQueryInfoA = nullptr;
    decltype(&::InternetQueryDataAvailable) internetQueryDataAvailable = nullptr;
    decltype(&::InternetReadFile) internetReadFile = nullptr;
    decltype(&::InternetCloseHandle) internetCloseHandle = nullptr;
};

struct DynamicFunctions {
    // Windows 8 and Windows 7 with KB2533623: the library search of the whole process, the
    // system's own loads on the program's behalf included (the browser control, the shell).
    // SetDllDirectoryW came with XP SP1; an empty folder takes the current folder out.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR);
    static SetDefaultDllDirectoriesFn SetDefaultDllDirectories() noexcept {
        return LookUpFunction<SetDefaultDllDirectoriesFn>(Kernel32(), "SetDefaultDllDirectories")
            .function;
    }
    static SetDllDirectoryWFn SetDllDirectoryW() noexcept {
        return LookUpFunction<SetDllDirectoryWFn>(Kernel32(), "SetDllDirectoryW").function;
    }

    // Windows 10 1607 and later: the DPI of one window and metrics at a given DPI. Earlier
    // systems have one DPI for everything, which the device context tells.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static GetDpiForWindowFn GetDpiForWindow() noexcept {
        static const auto found = LookUpFunction<GetDpiForWindowFn>(User32(), "GetDpiForWindow");
        return found.function;
    }
    static GetSystemMetricsForDpiFn GetSystemMetricsForDpi() noexcept {
        static const auto found =
            LookUpFunction<GetSystemMetricsForDpiFn>(User32(), "GetSystemMetricsForDpi");
        return found.function;
    }

    // The two image-name queries of a process: QueryFullProcessImageNameW came with Vista, and
    // GetModuleFileNameExW is PSAPI's, which some systems' kernel32 exports too (tried first).
    // A function that is missing keeps GetLastError's code, which the rows' status texts
    // report.
    using QueryFullProcessImageNameWFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
    using GetModuleFileNameExWFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
    static const FoundFunction<QueryFullProcessImageNameWFn>& QueryFullProcessImageNameW() noexcept;
    static const FoundFunction<GetModuleFileNameExWFn>& GetModuleFileNameExW() noexcept;

    // The process snapshot: ToolHelp is missing from Windows NT 4.0's kernel32, where the
    // list stays empty.
    using CreateToolhelp32SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
    using Process32WFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32W*);
    static CreateToolhelp32SnapshotFn CreateToolhelp32Snapshot() noexcept {
        static const auto found =
            LookUpFunction<CreateToolhelp32SnapshotFn>(Kernel32(), "CreateToolhelp32Snapshot");
        return found.function;
    }
    static Process32WFn Process32FirstW() noexcept {
        static const auto found = LookUpFunction<Process32WFn>(Kernel32(), "Process32FirstW");
        return found.function;
    }
    static Process32WFn Process32NextW() noexcept {
        static const auto found = LookUpFunction<Process32WFn>(Kernel32(), "Process32NextW");
        return found.function;
    }

    // Every process's times and memory at once, without opening any of them; an interface of
    // the system's own, kept from Windows NT 3.1 on.
    using NtQuerySystemInformationFn = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
    static NtQuerySystemInformationFn NtQuerySystemInformation() noexcept {
        static const auto found =
            LookUpFunction<NtQuerySystemInformationFn>(Ntdll(), "NtQuerySystemInformation");
        return found.function;
    }

    // Each function null where its library or the function is missing.
    static const VersionFunctions& Version() noexcept;
    static const InternetFunctions& Internet() noexcept;

  private:
    // All three are mapped into every process before its first instruction.
    static HMODULE User32() noexcept { return ::GetModuleHandleW(L"user32.dll"); }
    static HMODULE Kernel32() noexcept { return ::GetModuleHandleW(L"kernel32.dll"); }
    static HMODULE Ntdll() noexcept { return ::GetModuleHandleW(L"ntdll.dll"); }
};

}  // namespace runlens
