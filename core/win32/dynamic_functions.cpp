#include "core/win32/dynamic_functions.h"

#include <array>
#include <string>
#include <utility>

namespace runlens {
namespace {

HMODULE LoadFromSystemFolder(const wchar_t* name) noexcept {
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

// A library of the list, loaded at its first use; a failed load keeps its error code for every
// later call.
struct LoadedLibrary {
    HMODULE module;
    DWORD error;
};

template <std::size_t Index>
const LoadedLibrary& Loaded() noexcept {
    static const LoadedLibrary loaded = [] {
        const HMODULE module = LoadFromSystemFolder(kRunTimeLibraries[Index]);
        return LoadedLibrary{module, module ? 0 : ::GetLastError()};
    }();
    return loaded;
}

template <std::size_t... Index>
constexpr auto LoadersOf(std::index_sequence<Index...>) {
    return std::array{&Loaded<Index>...};
}

constexpr auto kLoaders = LoadersOf(std::make_index_sequence<std::size(kRunTimeLibraries)>());

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

HMODULE SystemLibrary(const wchar_t* name) noexcept {
    for (std::size_t index = 0; index < kLoaders.size(); ++index) {
        if (::lstrcmpiW(name, kRunTimeLibraries[index]) != 0)
            continue;
        const LoadedLibrary& loaded = kLoaders[index]();
        if (loaded.module == nullptr)
            ::SetLastError(loaded.error);
        return loaded.module;
    }
    // Only the libraries of the list are ever loaded.
    ::SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
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
        return LookUpFunction<GetModuleFileNameExWFn>(SystemLibrary(L"psapi.dll"),
                                                      "GetModuleFileNameExW");
    }();
    return found;
}

const VersionFunctions& DynamicFunctions::Version() noexcept {
    static const VersionFunctions functions = [] {
        VersionFunctions found;
        const HMODULE module = SystemLibrary(L"version.dll");
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
        const HMODULE module = SystemLibrary(L"wininet.dll");
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
