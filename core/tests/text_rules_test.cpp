#include "core/text_rules.h"
#include "tests/fakes/text_fakes.h"

#include <gtest/gtest.h>

namespace runlens {
namespace {

using testing::ShiftJisLeadByte;

struct SplitCase {
    const char* path;
    const char* folder;
    const char* name;
};

class PathSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(PathSplit, FolderKeepsItsSeparator) {
    const PathParts parts = SplitPath(GetParam().path, ShiftJisLeadByte);
    EXPECT_EQ(parts.folder, GetParam().folder);
    EXPECT_EQ(parts.name, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathSplit,
    ::testing::Values(SplitCase{"C:\\Windows\\System32\\svchost.exe", "C:\\Windows\\System32\\",
                                "svchost.exe"},
                      SplitCase{"C:\\x.exe", "C:\\", "x.exe"}, SplitCase{"C:x.exe", "C:", "x.exe"},
                      SplitCase{"\\\\server\\share\\a.exe", "\\\\server\\share\\", "a.exe"},
                      SplitCase{" Access is denied", "", " Access is denied"},
                      SplitCase{"", "", ""}, SplitCase{"C:\\dir\\", "C:\\dir\\", ""},
                      SplitCase{"C:\\dir\\\x95\x5C.exe", "C:\\dir\\", "\x95\x5C.exe"},
                      SplitCase{"C:\\\x95\x5C\\a.exe", "C:\\\x95\x5C\\", "a.exe"},
                      // A lead byte at the very end has no trail byte to skip.
                      SplitCase{"C:\\a\x95", "C:\\", "a\x95"}));

TEST(PathSplit, WithoutDoubleByteCharactersEveryBackslashCounts) {
    const PathParts parts = SplitPath("C:\\dir\\\x95\x5C.exe", NoLeadBytes);
    EXPECT_EQ(parts.folder, "C:\\dir\\\x95\x5C");
    EXPECT_EQ(parts.name, ".exe");
}

}  // namespace
}  // namespace runlens
