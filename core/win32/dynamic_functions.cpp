#include "core/win32/dynamic_functions.h"

#include <string>

namespace runlens {

HMODULE LoadSystemLibrary(const wchar_t* name) noexcept {
    if (const HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return module;
    // Systems before the search flags (XP, Vista, 7 without KB2533623) refuse the flag: there
    // the library's full path in the system folder, whose own imports are then searched from
    // that folder first.
    if (::GetLastError() != ERROR_INVALID_PARAMETER)
        return nullptr;
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    try {
        std::wstring path(folder, length);
        path += L'\\';
        path += name;
        return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    } catch (...) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

namespace {

template <typename Function>
void Take(Function& to, HMODULE module, const char* name) noexcept {
    to = LookUpFunction<Function>(module, name).function;
}

}  // namespace

void SearchLibrariesInSystemFolderOnly() noexcept {
    // Where only the older call exists, the program's own folder stays in the search of the
    // system's loads on the program's behalf; the program's own loads name the system folder.
    const auto setDefault = DynamicFunctions::SetDefaultDllDirectories();
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    if (const auto setDirectory = DynamicFunctions::SetDllDirectoryW())
        setDirectory(L"");
}

const FoundFunction<DynamicFunctions::QueryFullProcessImageNameWFn>&
DynamicFunctions::QueryFullProcessImageNameW() noexcept {
    static const auto found =
        LookUpFunction<QueryFullProcessImageNameWFn>(Kernel32(), "QueryFullProcessImageNameW");
    return found;
}

const FoundFunction<DynamicFunctions::GetModuleFileNameExWFn>&
DynamicFunctions::GetModuleFileNameExW() noexcept {
    static const auto found = [] {
        if (const auto inKernel32 =
                LookUpFunction<GetModuleFileNameExWFn>(Kernel32(), "GetModuleFileNameExW")) {
            return inKernel32;
        }
        return LookUpFunction<GetModuleFileNameExWFn>(LoadSystemLibrary(kProcessStatusLibrary),
                                                      "GetModuleFileNameExW");
    }();
    return found;
}

const VersionFunctions& DynamicFunctions::Version() noexcept {
    static const VersionFunctions functions = [] {
        VersionFunctions found;
        const HMODULE module = LoadSystemLibrary(kVersionLibrary);
        Take(found.getFileVersionInfoSizeA, module, "GetFileVersionInfoSizeA");
        Take(found.getFileVersionInfoA, module, "GetFileVersionInfoA");
        Take(found.verQueryValueA, module, "VerQueryValueA");
        return found;
    }();
    return functions;
}

const InternetFunctions& DynamicFunctions::Internet() noexcept {
    static const InternetFunctions functions = [] {
        InternetFunctions found;
        const HMODULE module = LoadSystemLibrary(kInternetLibrary);
        Take(found.internetOpenA, module, "InternetOpenA");
        Take(found.internetSetOptionA, module, "InternetSetOptionA");
        Take(found.internetOpenUrlA, module, "InternetOpenUrlA");
        Take(found.httpQueryInfoA, module, "HttpQueryInfoA");
        Take(found.internetQueryDataAvailable, module, "InternetQueryDataAvailable");
        Take(found.internetReadFile, module, "InternetReadFile");
        Take(found.internetCloseHandle, module, "InternetCloseHandle");
        // All or nothing: a request never starts with half of its calls.
        if (!found.internetOpenA || !found.internetSetOptionA || !found.internetOpenUrlA ||
            !found.httpQueryInfoA || !found.internetQueryDataAvailable || !found.internetReadFile ||
            !found.internetCloseHandle) {
            found = {};
        }
        return found;
    }();
    return functions;
}

}  // namespace runlens
