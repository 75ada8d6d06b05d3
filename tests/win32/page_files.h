// The local page's temporary files in a folder, for the tests of the pages and of the window
// that shows them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/win32/handles.h"

namespace runlens::testing {

// The page files in a folder, by name.
inline std::vector<std::wstring> PagesIn(const std::wstring& folder) {
    std::vector<std::wstring> pages;
    WIN32_FIND_DATAW found;
    const UniqueFind find(::FindFirstFileW((folder + L"htm*.tmp").c_str(), &found));
    if (!find)
        return pages;
    do {
        pages.push_back(found.cFileName);
    } while (::FindNextFileW(find.get(), &found));
    return pages;
}

// A folder of that name in the temporary folder, without page files.
inline std::wstring FreshFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    const std::wstring folder = std::wstring(temp, ::GetTempPathW(MAX_PATH, temp)) + name + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (const std::wstring& page : PagesIn(folder))
        ::DeleteFileW((folder + page).c_str());
    return folder;
}

// The first bytes of a file; empty when it cannot be read.
inline std::string ReadWide(const std::wstring& file) {
    const UniqueFileHandle in(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    char buffer[64];
    DWORD read = 0;
    if (!in || !::ReadFile(in.get(), buffer, sizeof(buffer), &read, nullptr))
        return {};
    return std::string(buffer, read);
}

}  // namespace runlens::testing
