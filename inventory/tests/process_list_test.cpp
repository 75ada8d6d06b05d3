#include "inventory/process_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "lang/sprache_japan.h"
#include "tests/fakes/fake_code_page.h"
#include "tests/fakes/fake_inventory.h"

namespace runlens {
namespace {

using ::testing::ElementsAre;
using testing::FakeInventory;
using testing::FakeProcess;
using testing::RecordingListView;

const testing::FakeCodePage kAnsi;  // UTF-8, as the program's own texts

constexpr std::uint32_t kDenied = kErrorAccessDenied;

FakeProcess Readable(std::uint32_t id, std::string name, std::string path) {
    return {id, std::move(name), {std::move(path), 0}, {{}, 0}};
}

FakeProcess Unreadable(std::uint32_t id, std::string name) {
    return {id, std::move(name), {{}, kDenied}, {{}, kDenied}};
}

class Fill : public ::testing::Test {
  protected:
    Fill() { system.messages = {{kDenied, "Access is denied.\r\n"}}; }

    void Run() {
        FillProcessList(system, kAnsi, list);
        list.CompleteIcons();
    }

    const ProcessRow& Row(std::string_view caption) const {
        for (const ProcessRow& row : list.rows) {
            if (row.caption.text == caption)
                return row;
        }
        throw std::runtime_error("no row " + std::string(caption));
    }

    FakeInventory system;
    RecordingListView list;
};

TEST_F(Fill, PathRowsFirstThenStatusRowsEachInSnapshotOrder) {
    system.processes = {
        Readable(0, "[System Process]", "C:\\idle"), Readable(4, "System", "C:\\sys"),
        Readable(1000, "a.exe", "C:\\a.exe"),        Unreadable(1004, "b.exe"),
        Readable(1008, "c.exe", "C:\\c.exe"),        Unreadable(1012, "d.exe")};
    Run();
    EXPECT_THAT(list.Captions(), ElementsAre("a.exe", "c.exe", "b.exe", "d.exe"));
    EXPECT_EQ(Row("b.exe").path, " Access is denied");
    EXPECT_EQ(Row("b.exe").imageIndex, kProgramImage);
    EXPECT_EQ(Row("b.exe").sizeText, "");
}

// The refresh finds the selected process again by its id, path rows and status rows alike.
TEST_F(Fill, RowsCarryTheirProcessIds) {
    system.processes = {Unreadable(1004, "b.exe"), Readable(1008, "c.exe", "C:\\c.exe")};
    Run();
    EXPECT_EQ(Row("b.exe").processId, 1004u);
    EXPECT_EQ(Row("c.exe").processId, 1008u);
}

TEST_F(Fill, NoSnapshotLeavesTheListEmpty) {
    system.snapshotFails = true;
    Run();
    EXPECT_TRUE(list.rows.empty());
}

TEST_F(Fill, KeepsRowsAlreadyInTheList) {
    list.rows = {ProcessRow{"old.exe", "C:\\old.exe", "", kNoImage}};
    system.processes = {Unreadable(2000, "late.exe"), Readable(2004, "new.exe", "C:\\new.exe")};
    Run();
    EXPECT_THAT(list.Captions(), ElementsAre("new.exe", "old.exe", "late.exe"));
}

// Early system processes that refuse every query fall back to a file of the same name in the
// system directory, only among the first three listed rows and only below id 1000.
TEST_F(Fill, SystemDirectoryFallbackForTheFirstThreeListedRows) {
    for (const char* name : {"smss.exe", "csrss.exe", "wininit.exe", "lsass.exe", "big.exe"}) {
        system.files["C:\\WINDOWS\\system32\\" + std::string(name)] = 4096;
    }
    system.processes = {Readable(4, "System", "C:\\skipped-does-not-count"),
                        Unreadable(300, "smss.exe"),
                        Readable(320, "readable.exe", "C:\\r.exe"),
                        Unreadable(400, "csrss.exe"),
                        Unreadable(500, "lsass.exe"),
                        Unreadable(1500, "big.exe")};
    Run();
    EXPECT_EQ(Row("smss.exe").path, "C:\\WINDOWS\\system32\\smss.exe");
    EXPECT_EQ(Row("csrss.exe").path, "C:\\WINDOWS\\system32\\csrss.exe");
    EXPECT_EQ(Row("lsass.exe").path, " Access is denied");  // fourth listed row
    EXPECT_THAT(list.Captions(),
                ElementsAre("smss.exe", "readable.exe", "csrss.exe", "lsass.exe", "big.exe"));
}

// A row that falls back to the system directory's file shows a path, and no hint after it.
TEST_F(Fill, FallbackRowCarriesNoAdministratorHint) {
    system.serviceManager = {false, kDenied};
    system.files["C:\\WINDOWS\\system32\\smss.exe"] = 4096;
    system.processes = {Unreadable(300, "smss.exe"), Unreadable(2000, "late.exe")};
    Run();
    EXPECT_EQ(Row("smss.exe").path, "C:\\WINDOWS\\system32\\smss.exe");
    EXPECT_FALSE(Row("smss.exe").administratorHint);
    EXPECT_TRUE(Row("late.exe").administratorHint);
}

TEST_F(Fill, FallbackNeedsAnIdBelow1000AndAnExistingFile) {
    system.files["C:\\WINDOWS\\system32\\big.exe"] = 4096;
    system.processes = {Unreadable(1000, "big.exe"), Unreadable(500, "nofile.exe")};
    Run();
    EXPECT_EQ(Row("big.exe").path, " Access is denied");
    EXPECT_EQ(Row("nofile.exe").path, " Access is denied");
}

TEST_F(Fill, FallbackRowIsAPathRowWithIconAndSize) {
    const std::string file = "C:\\WINDOWS\\system32\\smss.exe";
    system.files[file] = 70144;
    list.icons = {file};
    system.processes = {Unreadable(900, "other.exe"), Unreadable(300, "smss.exe")};
    Run();
    EXPECT_THAT(list.Captions(), ElementsAre("smss.exe", "other.exe"));
    EXPECT_EQ(list.rows[0].imageIndex, 2);
    EXPECT_EQ(list.rows[0].sizeText, "70.144 byte");
}

struct ImageCase {
    const char* name;
    const char* caption;
    const char* path;
    bool exists;
    bool hasIcon;
    bool ntFamily;
    int expected;
};

class ImageIndex : public ::testing::TestWithParam<ImageCase> {};

TEST_P(ImageIndex, FollowsTheFileItsIconAndTheEmblemRule) {
    const ImageCase& c = GetParam();
    FakeInventory system;
    RecordingListView list;
    system.ntFamily = c.ntFamily;
    system.processes = {Readable(2000, c.caption, c.path)};
    if (c.exists)
        system.files[c.path] = 100;
    if (c.hasIcon)
        list.icons = {c.path};
    FillProcessList(system, kAnsi, list);
    list.CompleteIcons();
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.rows[0].imageIndex, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageIndex,
    ::testing::Values(
        ImageCase{"OwnIcon", "a.exe", "C:\\Tools\\a.exe", true, true, true, 2},
        ImageCase{"NoFile", "a.exe", "C:\\Tools\\a.exe", false, false, true, kProgramImage},
        ImageCase{"NoIcon", "a.exe", "C:\\Tools\\a.exe", true, false, true, kNoImage},
        ImageCase{"Emblem", "svchost.exe", "C:\\WINDOWS\\system32\\svchost.exe", true, false, true,
                  kSystemEmblemImage},
        ImageCase{"EmblemAnyCase", "SVCHOST.EXE", "c:\\windows\\SYSTEM32\\svchost.exe", true, false,
                  true, kSystemEmblemImage},
        ImageCase{"EmblemInSubfolder", "lsass.exe", "C:\\WINDOWS\\system32\\x\\lsass.exe", true,
                  false, true, kSystemEmblemImage},
        ImageCase{"EmblemNotOnNineX", "svchost.exe", "C:\\WINDOWS\\system32\\svchost.exe", true,
                  false, false, kNoImage},
        ImageCase{"EmblemOnlyInSystemDirectory", "svchost.exe", "C:\\Tools\\svchost.exe", true,
                  false, true, kNoImage},
        ImageCase{"EmblemWholeNameOnly", "ss.exe", "C:\\WINDOWS\\system32\\ss.exe", true, false,
                  true, kNoImage},
        ImageCase{"EmblemNotForOtherNames", "notepad.exe", "C:\\WINDOWS\\system32\\notepad.exe",
                  true, false, true, kNoImage},
        ImageCase{"EmblemNotOverAnIcon", "svchost.exe", "C:\\WINDOWS\\system32\\svchost.exe", true,
                  true, true, 2},
        ImageCase{"MissingFileInSystemDirectory", "svchost.exe",
                  "C:\\WINDOWS\\system32\\svchost.exe", false, false, true, kProgramImage}),
    [](const auto& info) { return std::string(info.param.name); });

// The fill shows every row without reading an icon: a row of an existing file waits for it,
// knowing already what it shows should the file have none.
TEST_F(Fill, RowsOfExistingFilesWaitForTheirIcons) {
    const std::string host = "C:\\WINDOWS\\system32\\svchost.exe";
    system.processes = {Readable(2000, "svchost.exe", host), Readable(2004, "a.exe", "C:\\a.exe"),
                        Readable(2008, "gone.exe", "C:\\gone.exe"), Unreadable(2012, "x.exe"),
                        Readable(2016, "svchost.exe", host)};
    system.files = {{host, 10}, {"C:\\a.exe", 10}};
    FillProcessList(system, kAnsi, list);
    const struct {
        std::size_t row;
        bool pending;
        int image;
        int withoutIcon;
    } expected[] = {{0, true, kNoImage, kSystemEmblemImage},
                    {1, true, kNoImage, kNoImage},
                    {2, false, kProgramImage, kNoImage},
                    {3, true, kNoImage, kSystemEmblemImage},
                    {4, false, kProgramImage, kNoImage}};
    ASSERT_EQ(list.rows.size(), 5u);
    for (const auto& e : expected) {
        const ProcessRow& row = list.rows[e.row];
        EXPECT_EQ(row.iconPending, e.pending) << row.caption.text;
        EXPECT_EQ(row.imageIndex, e.image) << row.caption.text;
        EXPECT_EQ(row.imageWithoutIcon, e.withoutIcon) << row.caption.text;
    }
    std::vector<const ProcessRow*> shown;
    for (const ProcessRow& row : list.rows)
        shown.push_back(&row);
    EXPECT_THAT(PendingIconFiles(shown), ElementsAre(host, "C:\\a.exe"))
        << "each file once, in the order of the rows";
}

TEST_F(Fill, IconsGoToTheListsInRowOrder) {
    system.processes = {Readable(2000, "a.exe", "C:\\a.exe"), Readable(2004, "b.exe", "C:\\b.exe")};
    system.files = {{"C:\\a.exe", 10}, {"C:\\b.exe", 10}};
    list.icons = {"C:\\a.exe", "C:\\b.exe"};
    Run();
    EXPECT_EQ(Row("a.exe").imageIndex, 2);
    EXPECT_EQ(Row("b.exe").imageIndex, 3);
}

struct SizeCase {
    std::uint64_t size;
    const char* text;
};

class SizeText : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SizeText, ShowsDottedBytesFromFourUp) {
    FakeInventory system;
    RecordingListView list;
    system.processes = {Readable(2000, "a.exe", "C:\\a.exe")};
    system.files["C:\\a.exe"] = GetParam().size;
    FillProcessList(system, kAnsi, list);
    list.CompleteIcons();
    EXPECT_EQ(list.rows.at(0).sizeText, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, SizeText,
                         ::testing::Values(SizeCase{0, ""}, SizeCase{3, ""}, SizeCase{4, "4 byte"},
                                           SizeCase{999, "999 byte"}, SizeCase{1000, "1.000 byte"},
                                           SizeCase{1234567, "1.234.567 byte"},
                                           SizeCase{1073741824, "1073.741.824 byte"},
                                           // Files of 2 GiB and more show their full size.
                                           SizeCase{2147483648ull, "2147.483.648 byte"},
                                           SizeCase{5368709120ull, "5368.709.120 byte"},
                                           SizeCase{4294967296ull, "4294.967.296 byte"}));

TEST(FormatByteCount, AtMostTwoSeparators) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0"},
        {4, "4"},
        {999, "999"},
        {1000, "1.000"},
        {123456, "123.456"},
        {1234567, "1.234.567"},
        {2147483647, "2147.483.647"},
        {18446744073709551615ull, "18446744073709.551.615"}};
    for (const auto& [size, text] : cases)
        EXPECT_EQ(FormatByteCount(size), text) << size;
}

TEST_F(Fill, MissingFileGetsNeitherIconNorSize) {
    system.processes = {Readable(2000, "gone.exe", "C:\\gone.exe")};
    Run();
    EXPECT_EQ(Row("gone.exe").imageIndex, kProgramImage);
    EXPECT_EQ(Row("gone.exe").sizeText, "");
}

// A text the ANSI code page cannot hold exactly shows "?" where a character is missing. Such a
// path is shown but never used to touch a file: through it the row could show the size, icon
// or emblem of another file (the "?" is a wildcard to the directory search, and a look-alike
// would name the real system file).
TEST_F(Fill, InexactTextsNameNoFile) {
    const std::string spoof = "C:\\WINDOWS?system32\\svchost.exe";
    FakeProcess program = Readable(2000, "svchost.exe", spoof);
    program.fullImageName.path.exact = false;
    FakeProcess early = Unreadable(300, "sm?ss.exe");
    early.exactName = false;
    system.processes = {early, program};
    system.files = {{spoof, 14336}, {"C:\\WINDOWS\\system32\\sm?ss.exe", 70144}};
    list.icons = {spoof};
    Run();
    EXPECT_THAT(list.Captions(), ElementsAre("svchost.exe", "sm?ss.exe"));
    const ProcessRow& row = Row("svchost.exe");
    EXPECT_EQ(row.path.text, spoof);
    EXPECT_FALSE(row.path.exact);
    EXPECT_EQ(row.imageIndex, kProgramImage) << "as for a file that is not there";
    EXPECT_EQ(row.sizeText, "");
    EXPECT_EQ(Row("sm?ss.exe").path, " Access is denied") << "no system-directory fallback";
    EXPECT_FALSE(Row("sm?ss.exe").caption.exact);
    EXPECT_TRUE(system.existenceTests.empty());
    EXPECT_TRUE(system.sizeSearches.empty());
    EXPECT_TRUE(list.iconsAsked.empty());
}

// A machine on which many processes run few files: every kind of file a row can name, each
// shared by several processes, some under other names.
struct SharedFiles {
    static constexpr const char* kTool = "C:\\Tools\\tool.exe";                 // has an icon
    static constexpr const char* kHost = "C:\\WINDOWS\\system32\\svchost.exe";  // has none
    static constexpr const char* kSmss = "C:\\WINDOWS\\system32\\smss.exe";
    static constexpr const char* kGone = "C:\\Tools\\gone.exe";
    static constexpr const char* kVanishing = "C:\\v\\vanishing.exe";  // gone before its size

    static void Stage(FakeInventory& system, RecordingListView& list) {
        system.messages = {{kDenied, "Access is denied.\r\n"}};
        system.serviceManager = {false, kDenied};
        system.files = {{kTool, 123456}, {kHost, 14336}, {kSmss, 70144}};
        system.vanishing = {kVanishing};
        list.icons = {kTool, kSmss, kVanishing};
        // The same text as a real file, but not what the system reported.
        FakeProcess inexact = Readable(1008, "tool.exe", kTool);
        inexact.fullImageName.path.exact = false;
        system.processes = {
            Unreadable(300, "smss.exe"),  // falls back to the system directory's file
            Readable(1000, "tool.exe", kTool),
            Readable(1004, "svchost.exe", kHost),
            inexact,
            Unreadable(1012, "locked.exe"),
            Readable(1016, "tool.exe", kTool),
            Readable(1020, "other.exe", kHost),  // no emblem for this name
            Readable(1024, "gone.exe", kGone),
            Readable(1028, "svchost.exe", kHost),
            Readable(1032, "smss.exe", kSmss),
            Readable(1036, "vanishing.exe", kVanishing),
            Unreadable(1040, "locked.exe"),
            Readable(1044, "gone.exe", kGone),
            Readable(1048, "vanishing.exe", kVanishing),
            Readable(1052, "tool.exe", kTool),
        };
    }

    // What the user sees of each row, in list order; an own icon by the file it came from.
    static std::vector<std::string> Shown(const RecordingListView& list) {
        std::vector<std::string> shown;
        for (const ProcessRow& row : list.rows) {
            const std::string picture = row.imageIndex >= 2
                                            ? "icon of " + list.iconsAdded.at(row.imageIndex - 2)
                                            : "image " + std::to_string(row.imageIndex);
            shown.push_back(row.caption.text + " | " + row.path.text + " | " + row.sizeText +
                            " | " + picture + (row.caption.exact ? "" : " | inexact caption") +
                            (row.path.exact ? "" : " | inexact path"));
        }
        return shown;
    }
};

TEST(SharedFiles, RowsReadAsIfEachProcessWereListedAlone) {
    FakeInventory system;
    RecordingListView list;
    SharedFiles::Stage(system, list);
    FillProcessList(system, kAnsi, list);
    list.CompleteIcons();

    // Path rows first, status rows after them, each in snapshot order.
    std::vector<std::string> alone;
    std::vector<std::string> statusRowsAlone;
    for (const FakeProcess& process : system.processes) {
        FakeInventory one;
        RecordingListView oneList;
        SharedFiles::Stage(one, oneList);
        one.processes = {process};
        FillProcessList(one, kAnsi, oneList);
        oneList.CompleteIcons();
        ASSERT_EQ(oneList.rows.size(), 1u);
        (IsPathText(oneList.rows[0].path.text) ? alone : statusRowsAlone)
            .push_back(SharedFiles::Shown(oneList)[0]);
    }
    alone.insert(alone.end(), statusRowsAlone.begin(), statusRowsAlone.end());
    EXPECT_EQ(SharedFiles::Shown(list), alone);
    ASSERT_EQ(list.rows.size(), 15u);
}

TEST(SharedFiles, EachFileIsAskedOnceAndItsRowsShareOneImage) {
    FakeInventory system;
    RecordingListView list;
    SharedFiles::Stage(system, list);
    FillProcessList(system, kAnsi, list);
    list.CompleteIcons();
    using S = SharedFiles;
    // In the order the rows first name them; the fallback's test of the system directory's
    // file serves the row that names that file later.
    EXPECT_THAT(system.existenceTests,
                ElementsAre(S::kSmss, S::kTool, S::kHost, S::kGone, S::kVanishing));
    EXPECT_THAT(list.iconsAsked, ElementsAre(S::kSmss, S::kTool, S::kHost, S::kVanishing));
    EXPECT_THAT(list.iconsAdded, ElementsAre(S::kSmss, S::kTool, S::kVanishing));
    EXPECT_THAT(system.sizeSearches,
                ElementsAre(S::kSmss, S::kTool, S::kHost, S::kGone, S::kVanishing));
    for (const ProcessRow& row : list.rows) {
        if (row.caption.text == "tool.exe" && row.path.exact) {
            EXPECT_EQ(row.imageIndex, 3);
        }
    }
}

// The administrator hint needs the service control manager's answer: asked once however many
// status texts there are, and not at all without one.
TEST_F(Fill, ServiceManagerIsAskedOnceAtMost) {
    system.serviceManager = {false, kDenied};
    const std::pair<std::vector<FakeProcess>, int> cases[] = {
        {{Readable(2000, "a.exe", "C:\\a.exe"), Readable(2004, "b.exe", "C:\\b.exe")}, 0},
        {{Unreadable(2000, "a.exe"), Readable(2004, "b.exe", "C:\\b.exe"),
          Unreadable(2008, "c.exe"), Unreadable(2012, "d.exe")},
         1}};
    for (const auto& [processes, opens] : cases) {
        system.processes = processes;
        system.serviceManagerOpens = 0;
        list.rows.clear();
        Run();
        EXPECT_EQ(system.serviceManagerOpens, opens);
        for (const ProcessRow& row : list.rows) {
            EXPECT_EQ(IsStatusText(row.path.text),
                      row.path.text.ends_with(Sprache_Japan::AdministratorHint));
            EXPECT_EQ(row.administratorHint, IsStatusText(row.path.text)) << row.caption.text;
        }
    }
}

// Processes and files that change or go to extremes while the list is filled.
TEST_F(Fill, OddProcessesAndFiles) {
    const std::string longName = std::string(256, 'n') + ".exe";  // 260 characters
    const std::string longPath = "C:\\" + std::string(300, 'd') + "\\long.exe";
    system.processes = {
        Readable(2000, longName, "C:\\x\\" + longName),
        Readable(2004, "deep.exe", longPath),
        // Gone between the snapshot and the queries.
        {2008, "gone.exe", {{}, 87}, {{}, 87}},
        // Its file is still there for the existence test, but no longer for the size search.
        Readable(2012, "vanishing.exe", "C:\\v\\vanishing.exe"),
    };
    system.messages[87] = "The parameter is incorrect.\r\n";
    system.files = {{"C:\\x\\" + longName, 5000}, {longPath, 5000}};
    system.vanishing = {"C:\\v\\vanishing.exe"};
    list.icons = {"C:\\v\\vanishing.exe"};
    FillProcessList(system, kAnsi, list);
    list.CompleteIcons();
    EXPECT_EQ(Row(longName).caption.text.size(), 260u);
    EXPECT_EQ(Row(longName).sizeText, "5.000 byte");
    EXPECT_EQ(Row("deep.exe").path, longPath);
    EXPECT_EQ(Row("deep.exe").sizeText, "5.000 byte");
    EXPECT_EQ(Row("gone.exe").path, " The parameter is incorrect");
    EXPECT_EQ(Row("gone.exe").imageIndex, kProgramImage);
    EXPECT_EQ(Row("vanishing.exe").imageIndex, 2);
    EXPECT_EQ(Row("vanishing.exe").sizeText, "");
}

}  // namespace
}  // namespace runlens
