// Program files whose version block claims more than it holds, found by their bare names as the
// program finds them, through the system's version functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "info/version_strings.h"
#include "info/win32/win32_version.h"

namespace runlens {
namespace {

struct FileCase {
    const char* name;
    bool found;
    VersionStrings expected;
};

// The fixtures' folder as the current folder, where the library search looks for a bare name.
class ForgedVersionFiles : public ::testing::TestWithParam<FileCase> {
  protected:
    void SetUp() override {
        char previous[MAX_PATH];
        const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, previous);
        ASSERT_TRUE(length > 0 && length < MAX_PATH);
        previous_ = previous;
        ASSERT_TRUE(::SetCurrentDirectoryA(RUNLENS_VERSION_FIXTURES));
    }
    void TearDown() override { ::SetCurrentDirectoryA(previous_.c_str()); }

  private:
    std::string previous_;
};

TEST_P(ForgedVersionFiles, GiveNoStringsAndNoFault) {
    const FileCase& c = GetParam();
    Win32VersionApi api;
    ASSERT_GT(api.VersionInfoSize(c.name), 0u);
    VersionStrings strings;
    EXPECT_EQ(GetVersionStrings(c.name, api, strings), c.found);
    EXPECT_EQ(strings.description, c.expected.description);
    EXPECT_EQ(strings.product, c.expected.product);
    EXPECT_EQ(strings.company, c.expected.company);
    EXPECT_EQ(strings.comments, c.expected.comments);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ForgedVersionFiles,
    ::testing::Values(
        // Found by its bare name in the same way, so that a refusal below is not a miss.
        FileCase{"us_unicode-x86_64.dll",
                 true,
                 {"Unicode description", "Unicode product", "Unicode company", ""}},
        FileCase{"root_too_long-x86_64.dll", false, {}},
        FileCase{"child_too_long-x86_64.dll", false, {}},
        FileCase{"zero_length-x86_64.dll", false, {}}),
    [](const auto& info) {
        const std::string name = info.param.name;
        return name.substr(0, name.find('-'));
    });

}  // namespace
}  // namespace runlens
