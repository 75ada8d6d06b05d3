#include "inventory/image_path.h"

#include <gtest/gtest.h>

#include "lang/sprache_japan.h"
#include "tests/fakes/fake_code_page.h"
#include "tests/fakes/fake_inventory.h"

namespace runlens {
namespace {

using testing::FakeInventory;
using testing::FakeProcess;

const testing::FakeCodePage kAnsi;  // UTF-8, as the program's own texts

constexpr std::uint32_t kInvalidParameter = 87;

struct PathCase {
    const char* name;
    const char* input;
    const char* expected;
};

class PathRules : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathRules, RewritesSystemFormsToDriveLetterPaths) {
    FakeInventory env;
    env.environment = {{"SystemRoot", "C:\\WINDOWS"}, {"Relative", "system32"}};
    std::string path = GetParam().input;
    NormalizeImagePath(path, env);
    EXPECT_EQ(path, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathRules,
    ::testing::Values(
        PathCase{"Ordinary", "C:\\Tools\\x.exe", "C:\\Tools\\x.exe"},
        PathCase{"System32LowerCase", "system32\\drivers\\x.sys",
                 "C:\\WINDOWS\\system32\\drivers\\x.sys"},
        PathCase{"System32MixedCase", "SyStEm32\\smss.exe", "C:\\WINDOWS\\system32\\smss.exe"},
        PathCase{"SystemRoot", "\\SystemRoot\\System32\\smss.exe",
                 "C:\\WINDOWS\\System32\\smss.exe"},
        PathCase{"SystemRootTwice", "\\SystemRoot\\\\SystemRoot\\System32\\smss.exe",
                 "C:\\WINDOWS\\System32\\smss.exe"},
        PathCase{"SystemRootUpperCase", "\\SYSTEMROOT\\x.exe", "C:\\WINDOWS\\x.exe"},
        PathCase{"ObjectPrefix", "\\??\\C:\\WINDOWS\\system32\\csrss.exe",
                 "C:\\WINDOWS\\system32\\csrss.exe"},
        // Rules 2 and 3 see the prefix, so they leave the path to rule 4.
        PathCase{"ObjectPrefixBeforeSystemRoot", "\\??\\\\SystemRoot\\x.exe",
                 "\\SystemRoot\\x.exe"},
        PathCase{"EnvironmentReference", "%SystemRoot%\\system32\\svchost.exe",
                 "C:\\WINDOWS\\system32\\svchost.exe"},
        // The rules run in order, each on the result of the one before.
        PathCase{"EnvironmentThenSystem32", "%Relative%\\x.exe", "C:\\WINDOWS\\system32\\x.exe"},
        PathCase{"System32NotAtStart", "C:\\WINDOWS\\SYSTEM32\\x.exe",
                 "C:\\WINDOWS\\SYSTEM32\\x.exe"},
        PathCase{"SystemRootNotAtStart", "C:\\x\\SystemRoot\\y.exe", "C:\\x\\SystemRoot\\y.exe"},
        PathCase{"ObjectPrefixIsExact", "\\?? \\C:\\x.exe", "\\?? \\C:\\x.exe"},
        PathCase{"System32WithoutBackslash", "system32", "system32"}, PathCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PathRules, ExpansionFailureLeavesThePath) {
    class FailingExpansion : public FakeInventory {
        std::optional<std::string> ExpandEnvironment(std::string_view) override { return {}; }
    } env;
    std::string path = "%SystemRoot%\\x.exe";
    NormalizeImagePath(path, env);
    EXPECT_EQ(path, "%SystemRoot%\\x.exe");
}

struct TrimCase {
    const char* input;
    const char* expected;
};

class SystemMessageTrim : public ::testing::TestWithParam<TrimCase> {};

TEST_P(SystemMessageTrim, DropsTrailingBreaksSpacesAndFullStops) {
    EXPECT_EQ(TrimSystemMessage(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SystemMessageTrim,
    ::testing::Values(TrimCase{"Access is denied.\r\n", "Access is denied"},
                      TrimCase{"Odd. . .\t\r\n", "Odd"}, TrimCase{"v1.0 ok", "v1.0 ok"},
                      // The ideographic full stop stays.
                      TrimCase{"アクセスが拒否されました。\r\n", "アクセスが拒否されました。"},
                      TrimCase{"\r\n. ", ""}, TrimCase{"", ""}));

class StatusText : public ::testing::Test {
  protected:
    StatusText() {
        system.messages = {{kErrorAccessDenied, "Access is denied.\r\n"},
                           {kInvalidParameter, "The parameter is incorrect.\r\n"}};
        system.processes = {
            {1234, "locked.exe", {{}, kErrorAccessDenied}, {{}, kErrorAccessDenied}}};
    }
    FakeInventory system;
    const std::string hint = std::string("     ") + std::string(Sprache_Japan::AdministratorHint);
};

TEST_F(StatusText, AdministratorGetsTheBareMessage) {
    EXPECT_EQ(GetProcessImagePath(1234, system, kAnsi).text, " Access is denied");
    EXPECT_FALSE(GetProcessImagePath(1234, system, kAnsi).administratorHint);
}

TEST_F(StatusText, RefusedServiceManagerAddsTheHint) {
    system.serviceManager = {false, kErrorAccessDenied};
    EXPECT_EQ(GetProcessImagePath(1234, system, kAnsi).text, " Access is denied" + hint);
    EXPECT_TRUE(GetProcessImagePath(1234, system, kAnsi).administratorHint);
}

TEST_F(StatusText, HintFollowsTheServiceManagerNotTheQueryError) {
    system.serviceManager = {false, kErrorAccessDenied};
    EXPECT_EQ(GetProcessImagePath(99, system, kAnsi).text, " The parameter is incorrect" + hint);
}

// The hint goes into the status text in the code page of the system's message before it; one
// that lacks its characters shows the default character for each.
TEST_F(StatusText, HintIsInTheAnsiCodePage) {
    system.serviceManager = {false, kErrorAccessDenied};
    const testing::FakeCodePage latin1(testing::FakeCodePage::Kind::kLatin1);
    const std::size_t characters = Utf16FromUtf8(Sprache_Japan::AdministratorHint).size();
    const ImagePathText status = GetProcessImagePath(1234, system, latin1);
    EXPECT_EQ(status.text, " Access is denied     " + std::string(characters - 1, '?') + "!");
    EXPECT_TRUE(status.administratorHint);
}

TEST_F(StatusText, ServiceManagerRefusedForAnotherReasonGivesNoHint) {
    system.serviceManager = {false, 1722};
    EXPECT_EQ(GetProcessImagePath(1234, system, kAnsi).text, " Access is denied");
}

TEST_F(StatusText, NineXFamilyNeverAsksTheServiceManager) {
    system.ntFamily = false;
    system.serviceManager = {false, kErrorAccessDenied};
    EXPECT_EQ(GetProcessImagePath(1234, system, kAnsi).text, " Access is denied");
    EXPECT_EQ(system.serviceManagerOpens, 0);
}

TEST_F(StatusText, UsesTheErrorOfTheLastFailedMethod) {
    system.processes = {{1234, "x.exe", {{}, kErrorAccessDenied}, {{}, kInvalidParameter}}};
    EXPECT_EQ(GetProcessImagePath(1234, system, kAnsi).text, " The parameter is incorrect");
}

TEST_F(StatusText, ErrorWithoutMessageShowsItsNumber) {
    system.processes = {{1234, "x.exe", {{}, 4242}, {{}, 4242}}};
    EXPECT_EQ(GetProcessImagePath(1234, system, kAnsi).text, " 4242");
}

TEST(ImagePath, FirstMethodWinsAndIsNormalised) {
    FakeInventory system;
    system.processes = {{500, "smss.exe", {"\\SystemRoot\\System32\\smss.exe", 0}, {"unused", 0}}};
    EXPECT_EQ(GetProcessImagePath(500, system, kAnsi).text, "C:\\WINDOWS\\System32\\smss.exe");
}

TEST(ImagePath, SecondMethodDropsObjectPrefixBeforeTheRules) {
    FakeInventory system;
    system.processes = {
        {500, "smss.exe", {{}, kErrorAccessDenied}, {"\\??\\\\SystemRoot\\System32\\smss.exe", 0}}};
    EXPECT_EQ(GetProcessImagePath(500, system, kAnsi).text, "C:\\WINDOWS\\System32\\smss.exe");
}

TEST(ImagePath, SecondMethodPathIsNormalised) {
    FakeInventory system;
    system.processes = {{500, "csrss.exe", {{}, kErrorAccessDenied}, {"system32\\csrss.exe", 0}}};
    EXPECT_EQ(GetProcessImagePath(500, system, kAnsi).text, "C:\\WINDOWS\\system32\\csrss.exe");
}

}  // namespace
}  // namespace runlens
