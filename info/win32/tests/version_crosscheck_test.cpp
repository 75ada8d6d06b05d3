// The tests' portable version reader against the system's version functions, on program files
// no one here wrote: every PE file of Wine's own 64- and 32-bit folders, and the test fixtures.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/win32/code_page.h"
#include "info/win32/win32_version.h"
#include "tests/oracle/version_block.h"
#include "tests/oracle/win32/win32_version_block.h"

namespace runlens {
namespace {

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    const HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            files.push_back(folder + "\\" + found.cFileName);
        }
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
    return files;
}

std::string Describe(bool result, const VersionStrings& s) {
    return (result ? "true [" : "false [") + s.description + "|" + s.product + "|" + s.company +
           "|" + s.comments + "]";
}

TEST(VersionCrossCheck, PortableReaderAgreesWithTheSystem) {
    const char* folders[] = {"Z:\\usr\\lib\\x86_64-linux-gnu\\wine\\x86_64-windows",
                             RUNLENS_WINE_I386_DIR, RUNLENS_VERSION_FIXTURES};
    Win32VersionApi system;
    Win32FileReader files;
    const Win32CodePage ansi;
    int compared = 0;
    int withVersion = 0;
    std::vector<std::string> differences;
    for (const char* folder : folders) {
        const auto names = FilesIn(folder);
        EXPECT_FALSE(names.empty()) << folder;
        for (const std::string& file : names) {
            VersionStrings expected;
            VersionStrings actual;
            const bool expectedResult = GetVersionStrings(file, system, expected);
            PortableVersionApi portable(files, ansi, ::GetUserDefaultLangID());
            const bool actualResult = GetVersionStrings(file, portable, actual);
            ++compared;
            withVersion += expectedResult ? 1 : 0;
            const std::string want = Describe(expectedResult, expected);
            const std::string got = Describe(actualResult, actual);
            if (want != got)
                differences.push_back(file + "\n  system:   " + want + "\n  portable: " + got);
        }
    }
    std::printf(
        "version cross-check, user language %04X: %d files compared, %d with a version "
        "resource, %zu differed\n",
        ::GetUserDefaultLangID(), compared, withVersion, differences.size());
    ::testing::Test::RecordProperty("compared", compared);
    ::testing::Test::RecordProperty("differed", static_cast<int>(differences.size()));
    EXPECT_GT(compared, 1000);
    for (std::size_t i = 0; i < differences.size() && i < 10; ++i)
        ADD_FAILURE() << differences[i];
    EXPECT_TRUE(differences.empty());
}

}  // namespace
}  // namespace runlens
