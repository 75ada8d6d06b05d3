// Paths of any length: the program's own file, and paths as the wide file calls take them.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace runlens {

// The longest path the wide calls of the system take, without its terminating zero.
inline constexpr DWORD kLongestPath = 32767;

// The full path of a module's file (the program's own for null), however deep its folder;
// empty when the system cannot tell. `firstTry` is the buffer the first call gets.
std::wstring ModuleFilePath(HMODULE module, DWORD firstTry = MAX_PATH);

// The full path of the program's own file.
inline std::wstring ProgramFilePath() {
    return ModuleFilePath(nullptr);
}

// A path as the wide file calls take it. Below MAX_PATH characters it stays as it is; a longer
// absolute path gets the "\\?\" form, which lifts the limit.
std::wstring FileSystemPath(std::wstring_view path);

}  // namespace runlens
