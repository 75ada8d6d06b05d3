#include "core/text_rules.h"
#include "tests/fakes/fake_code_page.h"

#include <gtest/gtest.h>

namespace runlens {
namespace {

using testing::FakeCodePage;

const FakeCodePage kShiftJis(FakeCodePage::Kind::kShiftJisBytes);

struct SplitCase {
    const char* path;
    const char* folder;
    const char* name;
};

class PathSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(PathSplit, FolderKeepsItsSeparator) {
    const PathParts parts = SplitPath(GetParam().path, kShiftJis);
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
    const PathParts parts =
        SplitPath("C:\\dir\\\x95\x5C.exe", FakeCodePage(FakeCodePage::Kind::kLatin1));
    EXPECT_EQ(parts.folder, "C:\\dir\\\x95\x5C");
    EXPECT_EQ(parts.name, ".exe");
}

}  // namespace
}  // namespace runlens

namespace runlens {
namespace {

struct CutCase {
    std::string text;
    std::size_t kept;
};

class Utf8Cut : public ::testing::TestWithParam<CutCase> {};

TEST_P(Utf8Cut, DropsOnlyACharacterTheTextEndsInside) {
    EXPECT_EQ(WithoutCutUtf8Character(GetParam().text), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, Utf8Cut,
    ::testing::Values(CutCase{"", 0}, CutCase{"abc", 3},
                      CutCase{"a\xE3\x81\x8A", 4},       // a whole three-byte character
                      CutCase{"a\xE3\x81", 1},           // two of its three bytes
                      CutCase{"a\xE3", 1},               // its lead byte alone
                      CutCase{"a\xC3\xA9", 3},           // a whole two-byte character
                      CutCase{"a\xC3", 1},               //
                      CutCase{"a\xF0\x9F\x98", 1},       // three of four bytes
                      CutCase{"a\xF0\x9F\x98\x80", 5},   //
                      CutCase{"\x80\x80\x80\x80", 4}));  // no lead byte at all: left to the decoder

}  // namespace
}  // namespace runlens
