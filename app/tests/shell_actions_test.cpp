#include "app/shell_actions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/site.h"
#include "tests/fakes/fake_code_page.h"
#include "tests/fakes/recording_shell.h"

namespace runlens {
namespace {

using Call = testing::ShellCall;
using testing::RecordingShell;

const testing::FakeCodePage kAnsi;

const ProcessRow kSvchost{"svchost.exe", "C:\\Windows\\System32\\svchost.exe", "", 2};
const Call kSelect{ShellOwner::kNone,         "open",     "explorer.exe", "/select, svchost.exe",
                   "C:\\Windows\\System32\\", kShowNormal};
const Call kExplore{ShellOwner::kMainWindow,   "explore", "C:\\Windows\\System32\\", "",
                    "C:\\Windows\\System32\\", kShow};
const Call kOpenFolder{ShellOwner::kMainWindow,   "open", "explorer.exe",
                       "C:\\Windows\\System32\\", "",     kShow};

TEST(ShowInExplorer, SelectsTheFileInItsFolder) {
    RecordingShell shell({42});
    ShowInExplorer(&kSvchost, shell, kAnsi);
    EXPECT_EQ(shell.calls, std::vector<Call>{kSelect});
}

TEST(ShowInExplorer, FallsBackTwiceThenGivesUpSilently) {
    RecordingShell explored({32, 33});
    ShowInExplorer(&kSvchost, explored, kAnsi);
    EXPECT_EQ(explored.calls, (std::vector<Call>{kSelect, kExplore}));

    RecordingShell failing({2, 0, 0});
    ShowInExplorer(&kSvchost, failing, kAnsi);
    EXPECT_EQ(failing.calls, (std::vector<Call>{kSelect, kExplore, kOpenFolder}));
    EXPECT_EQ(failing.beeps, 0);
}

TEST(ShowInExplorer, NothingWithoutARowOrForAPathThatIsNotExact) {
    RecordingShell shell({});
    ShowInExplorer(nullptr, shell, kAnsi);
    // A fullwidth backslash that the code page lacks shows as "?": the folder must not be
    // looked for under that text, nor under the look-alike "\" it stands for.
    ProcessRow spoof{"svchost.exe", "C:\\Windows?System32\\svchost.exe", "", 1};
    spoof.path.exact = false;
    ShowInExplorer(&spoof, shell, kAnsi);
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_EQ(shell.beeps, 0) << "gives up silently";
}

TEST(ShowInExplorer, StatusRowHasNoFolder) {
    const ProcessRow status{"x.exe", " Access is denied", "", 1};
    RecordingShell shell({42});
    ShowInExplorer(&status, shell, kAnsi);
    EXPECT_EQ(shell.calls, (std::vector<Call>{{ShellOwner::kNone, "open", "explorer.exe",
                                               "/select,  Access is denied", "", kShowNormal}}));
}

TEST(OpenSiteRoot, OpensTheSiteAndBeepsOnFailure) {
    RecordingShell working({42});
    OpenSiteRoot(working);
    EXPECT_EQ(
        working.calls,
        (std::vector<Call>{{ShellOwner::kMainWindow, "open", SiteRootAddress(), "", "", kShow}}));
    EXPECT_EQ(working.beeps, 0);

    RecordingShell failing({31});
    OpenSiteRoot(failing);
    EXPECT_EQ(failing.beeps, 1);
}

}  // namespace
}  // namespace runlens
