#include "core/win32/paths.h"

#include <algorithm>
#include <cwchar>

namespace runlens {

std::wstring ModuleFilePath(HMODULE module, DWORD firstTry) {
    std::wstring path(firstTry > 0 ? firstTry : 1, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        // A cut name fills the whole buffer; a whole one leaves room for its zero.
        if (length < path.size()) {
            path.resize(::wcsnlen(path.c_str(), length));
            return path;
        }
        if (path.size() > kLongestPath)
            return {};
        path.resize(std::min<std::size_t>(path.size() * 2, kLongestPath + 1));
    }
}

std::wstring FileSystemPath(std::wstring_view path) {
    if (path.size() < MAX_PATH)
        return std::wstring(path);
    // The "\\?\" form takes the path literally, as the system reports image paths; a path
    // with "." or ".." components then names nothing rather than another file.
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\')
        return L"\\\\?\\" + std::wstring(path);
    if (path.starts_with(L"\\\\") && !path.starts_with(L"\\\\?\\") &&
        !path.starts_with(L"\\\\.\\")) {
        return L"\\\\?\\UNC\\" + std::wstring(path.substr(2));
    }
    return std::wstring(path);
}

}  // namespace runlens
