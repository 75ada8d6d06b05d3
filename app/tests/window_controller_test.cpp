#include "app/window_controller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "fake_window_view.h"
#include "core/site.h"

namespace runlens {
namespace {

using ::testing::ElementsAre;
using testing::FakeInventory;
using testing::FakeWindowView;
using testing::IconLedger;
using ::testing::IsEmpty;
using testing::LockedProcess;
using testing::NamedIcons;
using testing::RunningProcess;
using ::testing::UnorderedElementsAre;

struct Request {
    LookupId lookup = 0;
    std::string address;
    Deadline deadline;
};

struct IconWork {
    FillId fill = 0;
    std::vector<std::string> files;
};

// Runs nothing: the tests deliver the results themselves.
class RecordingBackground final : public BackgroundWork {
  public:
    std::vector<Request> probes;
    std::vector<Request> notices;
    std::vector<LookupId> givenUp;
    std::vector<IconWork> iconWork;
    std::vector<FillId> dropped;

    void StartProbe(LookupId lookup, std::string address, Deadline deadline) override {
        probes.push_back({lookup, std::move(address), deadline});
    }
    void StartNotice(LookupId lookup, std::string address, Deadline deadline) override {
        notices.push_back({lookup, std::move(address), deadline});
    }
    void GiveUp(LookupId lookup) override { givenUp.push_back(lookup); }
    void StartIcons(FillId fill, std::vector<std::string> files) override {
        iconWork.push_back({fill, std::move(files)});
    }
    void DropIcons(FillId fill) override { dropped.push_back(fill); }
};

const char kExplorer[] = "C:\\WINDOWS\\explorer.exe";
const char kNotepad[] = "C:\\WINDOWS\\notepad.exe";
const char kSvchost[] = "C:\\WINDOWS\\system32\\svchost.exe";
const char kTool[] = "C:\\tools\\tool.exe";

// The window after its first fill. Shown, in snapshot order: Explorer.EXE, notepad.exe twice
// (one file), svchost.exe (a system process: the emblem when its file has no icon), tool.exe,
// unknown.exe (its file is gone: the program symbol, no icon work) and locked.exe (a status
// row). The icon work asks for explorer, notepad, svchost and tool, in that order.
class ControllerTest : public ::testing::Test {
  protected:
    ControllerTest() {
        system_.messages = {{kErrorAccessDenied, "Access is denied.\r\n"}};
        system_.processes = {
            RunningProcess(1000, "Explorer.EXE", kExplorer),
            RunningProcess(1004, "notepad.exe", kNotepad),
            RunningProcess(1008, "notepad.exe", kNotepad),
            RunningProcess(1012, "svchost.exe", kSvchost),
            RunningProcess(1016, "tool.exe", kTool),
            RunningProcess(1020, "unknown.exe", "C:\\gone\\unknown.exe"),
            LockedProcess(1024, "locked.exe"),
        };
        system_.files = {{kExplorer, 1234567}, {kNotepad, 999}, {kSvchost, 20480}, {kTool, 1000}};
        controller_.FormCreate();
    }

    std::u16string Wide(std::string_view text) const { return ansi_.ToUtf16(text); }

    void Click(std::string_view caption) {
        view_.Select(caption);
        controller_.ListViewClick();
    }
    // The lookup of the n-th click that started one, counted from 0.
    LookupId LookupOfClick(std::size_t click) const { return background_.probes.at(click).lookup; }
    void FindPage(std::size_t click, bool found) {
        controller_.ProbeEnded(LookupOfClick(click), found);
    }

    FillId CurrentFill() const { return background_.iconWork.back().fill; }
    IconResult Icon(FillId fill, std::size_t file, std::string name) const {
        return {fill, file, std::make_unique<NamedIcons>(std::move(name), ledger_)};
    }
    template <typename... Results>
    static std::vector<IconResult> Batch(Results... results) {
        std::vector<IconResult> batch;
        (batch.push_back(std::move(results)), ...);
        return batch;
    }

    FakeInventory system_;
    FakeWindowView view_;
    RecordingBackground background_;
    const testing::FakeCodePage ansi_;
    const std::shared_ptr<IconLedger> ledger_ = std::make_shared<IconLedger>();
    const std::string noticeAddress_ = NoticeAddress(0x0411, 0x1234ABCD);
    int noticeAddressAsked_ = 0;
    WindowController controller_{
        {view_, background_, [this] { return std::make_unique<FakeInventory>(system_); }, ansi_,
         [this] {
             ++noticeAddressAsked_;
             return noticeAddress_;
         }}};
};

class WindowControllerLookup : public ControllerTest {};

TEST_F(WindowControllerLookup, NothingWithoutASelectedRow) {
    controller_.ListViewClick();
    EXPECT_THAT(background_.probes, IsEmpty());
    EXPECT_THAT(view_.busyCursor, IsEmpty());
    EXPECT_FALSE(controller_.Busy());
}

TEST_F(WindowControllerLookup, ClickProbesTheLowerCasedPageWithinTheTimeLimit) {
    const auto before = std::chrono::steady_clock::now();
    Click("Explorer.EXE");
    const auto after = std::chrono::steady_clock::now();
    ASSERT_EQ(background_.probes.size(), 1u);
    EXPECT_EQ(background_.probes[0].address, PageAddress("explorer.exe"));
    EXPECT_GE(background_.probes[0].deadline, before + kLookupTimeLimit);
    EXPECT_LE(background_.probes[0].deadline, after + kLookupTimeLimit);
    EXPECT_TRUE(view_.ShowsBusyCursor());
    EXPECT_TRUE(controller_.Busy());
    EXPECT_THAT(view_.pane.calls, IsEmpty()) << "nothing is shown before the probe ends";
    EXPECT_THAT(background_.notices, IsEmpty());
}

TEST_F(WindowControllerLookup, FoundPageIsShownWithItsAddressAndTheNoticeIsSentOnce) {
    Click("Explorer.EXE");
    EXPECT_EQ(noticeAddressAsked_, 0) << "asked for when the notice is sent";
    FindPage(0, true);
    EXPECT_EQ(noticeAddressAsked_, 1);
    const std::string address = PageAddress("explorer.exe");
    EXPECT_THAT(view_.pane.calls, ElementsAre(Wide(address)));
    EXPECT_TRUE(view_.pane.handler);
    EXPECT_THAT(view_.statusLines, ElementsAre(Wide(address)));
    EXPECT_THAT(view_.localPages, IsEmpty());
    ASSERT_EQ(background_.notices.size(), 1u);
    EXPECT_EQ(background_.notices[0].address, SiteNoticeScriptAddress() + "H1ANG");
    EXPECT_EQ(background_.notices[0].lookup, LookupOfClick(0));
    EXPECT_EQ(background_.notices[0].deadline, background_.probes[0].deadline)
        << "the notice gets what is left of the click's time";
    EXPECT_FALSE(controller_.FirstLookupPending());

    // A notice that fails in transit is not sent again either.
    controller_.NoticeReplied(background_.notices[0].lookup, "");
    Click("notepad.exe");
    FindPage(1, true);
    EXPECT_EQ(background_.notices.size(), 1u) << "at most once per run";
    EXPECT_EQ(noticeAddressAsked_, 1);
    EXPECT_THAT(view_.statusLines, ElementsAre(Wide(address), Wide(PageAddress("notepad.exe"))));
}

TEST_F(WindowControllerLookup, NoPageShowsTheLocalPageWithoutNoticeOrStatus) {
    Click("unknown.exe");
    FindPage(0, false);
    EXPECT_THAT(view_.localPages, ElementsAre("unknown.exe"));
    EXPECT_THAT(view_.pane.calls, IsEmpty());
    EXPECT_FALSE(view_.pane.handler);
    EXPECT_THAT(background_.notices, IsEmpty());
    EXPECT_THAT(view_.statusLines, IsEmpty());
    EXPECT_TRUE(controller_.FirstLookupPending()) << "only a found page sends the notice";
    EXPECT_EQ(noticeAddressAsked_, 0);
    EXPECT_FALSE(view_.ShowsBusyCursor());
}

TEST_F(WindowControllerLookup, BusyUntilTheProbeAndTheNoticeAreDone) {
    Click("Explorer.EXE");
    EXPECT_TRUE(view_.ShowsBusyCursor());
    FindPage(0, true);
    EXPECT_TRUE(view_.ShowsBusyCursor()) << "the notice is under way";
    ASSERT_EQ(background_.notices.size(), 1u);
    controller_.NoticeReplied(background_.notices[0].lookup, "OK");
    EXPECT_FALSE(view_.ShowsBusyCursor());
    EXPECT_FALSE(controller_.Busy());
}

TEST_F(WindowControllerLookup, LocalPageOfTheSelectedRowOnly) {
    controller_.ShowSelectedRowsLocalPage();
    EXPECT_THAT(view_.localPages, IsEmpty());
    view_.Select("tool.exe");
    controller_.ShowSelectedRowsLocalPage();
    EXPECT_THAT(view_.localPages, ElementsAre("tool.exe"));
    EXPECT_THAT(background_.probes, IsEmpty());
}

struct ReplyCase {
    std::string reply;
    std::vector<std::u16string> shown;
};

class WindowControllerNoticeReply : public ControllerTest,
                                    public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(WindowControllerNoticeReply, OnlyAMarkedReplyShowsItsMessage) {
    Click("Explorer.EXE");
    FindPage(0, true);
    ASSERT_EQ(background_.notices.size(), 1u);
    controller_.NoticeReplied(background_.notices[0].lookup, GetParam().reply);
    EXPECT_EQ(view_.noticeBoxes, GetParam().shown);
    EXPECT_FALSE(view_.ShowsBusyCursor());
}

INSTANTIATE_TEST_SUITE_P(WindowController, WindowControllerNoticeReply,
                         ::testing::Values(ReplyCase{"OK", {}},
                                           ReplyCase{"\xA7Please update Runlens.",
                                                     {u"Please update Runlens."}},
                                           ReplyCase{"\xA7", {u""}}, ReplyCase{"ok", {}},
                                           ReplyCase{"", {}}, ReplyCase{"Hello \xA7", {}}));

struct TitleCase {
    const char* name;
    std::u16string title;
    std::size_t localPages;
};

class WindowControllerTitleCheck : public ControllerTest,
                                   public ::testing::WithParamInterface<TitleCase> {};

TEST_P(WindowControllerTitleCheck, ReplacesABlankOrNotFoundPage) {
    Click("Explorer.EXE");
    FindPage(0, true);
    view_.pane.ChangeTitle(GetParam().title);
    const std::vector<std::string> shown(GetParam().localPages, "Explorer.EXE");
    EXPECT_EQ(view_.localPages, shown);
    EXPECT_FALSE(view_.pane.handler) << "detached after the first title it judges";
    // Later titles are not judged.
    view_.pane.ChangeTitle(u"about:blank");
    EXPECT_EQ(view_.localPages, shown);
}

INSTANTIATE_TEST_SUITE_P(WindowController, WindowControllerTitleCheck,
                         ::testing::Values(TitleCase{"NameInTitle", u"explorer.exe - Runlens", 0},
                                           TitleCase{"NameAnd404", u"404 facts about explorer.exe",
                                                     0},
                                           TitleCase{"Blank", u"about:blank", 1},
                                           TitleCase{"NotFound", u"404 Not Found", 1},
                                           TitleCase{"OtherTitle", u"Welcome", 0},
                                           // The name is searched exactly, in lower case.
                                           TitleCase{"NameInOtherCase", u"Explorer.EXE 404", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowControllerLookup, TitleWithoutSelectedRowKeepsTheHandler) {
    Click("Explorer.EXE");
    FindPage(0, true);
    view_.selected.reset();
    view_.pane.ChangeTitle(u"about:blank");
    EXPECT_TRUE(view_.pane.handler);
    EXPECT_THAT(view_.localPages, IsEmpty());
    // The next title, with a row selected again, is judged.
    view_.Select("Explorer.EXE");
    view_.pane.ChangeTitle(u"about:blank");
    EXPECT_THAT(view_.localPages, ElementsAre("Explorer.EXE"));
    EXPECT_FALSE(view_.pane.handler);
}

TEST_F(WindowControllerLookup, HandlerStillAttachedJudgesTheLocalPagesTitle) {
    Click("Explorer.EXE");
    FindPage(0, true);
    // Before the site page's title arrives, a row without a site page shows the local page.
    Click("unknown.exe");
    FindPage(1, false);
    EXPECT_THAT(view_.localPages, ElementsAre("unknown.exe"));
    view_.pane.ChangeTitle(u"about:blank");  // the local page's first navigation
    EXPECT_THAT(view_.localPages, ElementsAre("unknown.exe", "unknown.exe"));
    EXPECT_FALSE(view_.pane.handler);
    EXPECT_THAT(view_.statusLines, ElementsAre(Wide(PageAddress("explorer.exe"))))
        << "the status line changes only on a found page";
}

// One thing the user or the background work does.
struct Step {
    enum Kind { kSelect, kClick, kEnds, kRefresh, kClose, kProbe, kNotice } kind;
    std::string text = {};  // the caption selected, or of the process that ends; the reply
    std::size_t click = 0;  // the click whose lookup the result belongs to, counted from 0
    bool found = false;
};

Step Select(std::string caption) {
    return {.kind = Step::kSelect, .text = std::move(caption)};
}
Step Ends(std::string caption) {
    return {.kind = Step::kEnds, .text = std::move(caption)};
}
Step Probe(std::size_t click, bool found) {
    return {.kind = Step::kProbe, .click = click, .found = found};
}
Step Notice(std::size_t click, std::string reply) {
    return {.kind = Step::kNotice, .text = std::move(reply), .click = click};
}
const Step kClick{.kind = Step::kClick};
const Step kRefresh{.kind = Step::kRefresh};
const Step kClose{.kind = Step::kClose};

// What the window shows once the steps are done, and what the background was asked.
struct Outcome {
    std::vector<std::string> sitePages = {};  // the executables whose site pages were shown
    std::vector<std::string> localPages = {};
    std::vector<std::u16string> noticeBoxes = {};
    std::vector<std::size_t> givenUp = {};  // the clicks whose lookups were given up
    std::size_t probes = 0;
    std::size_t notices = 0;
    bool busy = false;
};

struct OrderingCase {
    const char* name;
    std::vector<Step> steps;
    Outcome outcome;
};

const OrderingCase kOrderings[] = {
    // A later click gives up the lookup under way, and its result no longer counts.
    {"SupersededFoundPageIsDropped",
     {Select("Explorer.EXE"), kClick, Select("unknown.exe"), kClick, Probe(0, true),
      Probe(1, false)},
     {.localPages = {"unknown.exe"}, .givenUp = {0}, .probes = 2}},
    {"SupersededMissingPageIsDropped",
     {Select("Explorer.EXE"), kClick, Select("notepad.exe"), kClick, Probe(0, false),
      Probe(1, true)},
     {.sitePages = {"notepad.exe"}, .givenUp = {0}, .probes = 2, .notices = 1, .busy = true}},
    {"SupersededResultArrivingLastIsDropped",
     {Select("Explorer.EXE"), kClick, Select("notepad.exe"), kClick, Probe(1, true),
      Probe(0, true)},
     {.sitePages = {"notepad.exe"}, .givenUp = {0}, .probes = 2, .notices = 1, .busy = true}},
    {"ResultIsAppliedOnce",
     {Select("unknown.exe"), kClick, Probe(0, false), Probe(0, true)},
     {.localPages = {"unknown.exe"}, .probes = 1}},
    // The refresh replaces the rows; the result still belongs to the row that was clicked,
    // also when its process has ended and another row is selected.
    {"MissingPageAfterRefreshIsTheClickedRows",
     {Select("Explorer.EXE"), kClick, Ends("Explorer.EXE"), kRefresh, Select("notepad.exe"),
      Probe(0, false)},
     {.localPages = {"Explorer.EXE"}, .probes = 1}},
    {"FoundPageAfterRefreshIsTheClickedRows",
     {Select("Explorer.EXE"), kClick, kRefresh, Select("unknown.exe"), Probe(0, true)},
     {.sitePages = {"explorer.exe"}, .probes = 1, .notices = 1, .busy = true}},
    {"NoticeAfterRefreshStillShows",
     {Select("Explorer.EXE"), kClick, Probe(0, true), kRefresh, Notice(0, "\xA7Hello")},
     {.sitePages = {"explorer.exe"}, .noticeBoxes = {u"Hello"}, .probes = 1, .notices = 1}},
    // Closing gives up the lookup and the notice; nothing that arrives later is shown.
    {"ResultAfterCloseIsDropped",
     {Select("Explorer.EXE"), kClick, kClose, Probe(0, true)},
     {.givenUp = {0}, .probes = 1}},
    {"NoticeAfterCloseIsDropped",
     {Select("Explorer.EXE"), kClick, Probe(0, true), kClose, Notice(0, "\xA7Late")},
     {.sitePages = {"explorer.exe"}, .givenUp = {0}, .probes = 1, .notices = 1}},
    {"ClickAfterCloseStartsNothing", {Select("Explorer.EXE"), kClose, kClick}, {}},
    // The notice does not belong to the click's page: a later click leaves it running.
    {"NoticeAfterASecondClickStillShows",
     {Select("Explorer.EXE"), kClick, Probe(0, true), Select("notepad.exe"), kClick,
      Notice(0, "\xA7Hello")},
     {.sitePages = {"explorer.exe"},
      .noticeBoxes = {u"Hello"},
      .probes = 2,
      .notices = 1,
      .busy = true}},
    {"NoticeAfterTheSecondPageStillShows",
     {Select("Explorer.EXE"), kClick, Probe(0, true), Select("notepad.exe"), kClick, Probe(1, true),
      Notice(0, "\xA7Hello")},
     {.sitePages = {"explorer.exe", "notepad.exe"},
      .noticeBoxes = {u"Hello"},
      .probes = 2,
      .notices = 1}},
    {"ThirdClickGivesUpOnlyTheSecondProbe",
     {Select("Explorer.EXE"), kClick, Probe(0, true), Select("notepad.exe"), kClick,
      Select("tool.exe"), kClick, Notice(0, "\xA7Hello"), Probe(2, false)},
     {.sitePages = {"explorer.exe"},
      .localPages = {"tool.exe"},
      .noticeBoxes = {u"Hello"},
      .givenUp = {1},
      .probes = 3,
      .notices = 1}},
    {"ReplyOfALookupWithoutNoticeIsIgnored",
     {Select("Explorer.EXE"), kClick, Probe(0, true), Select("notepad.exe"), kClick,
      Probe(1, false), Notice(1, "\xA7Wrong"), Notice(0, "\xA7Right")},
     {.sitePages = {"explorer.exe"},
      .localPages = {"notepad.exe"},
      .noticeBoxes = {u"Right"},
      .probes = 2,
      .notices = 1}},
};

class WindowControllerOrdering : public ControllerTest,
                                 public ::testing::WithParamInterface<OrderingCase> {
  protected:
    void Run(const Step& step) {
        switch (step.kind) {
            case Step::kSelect:
                return view_.Select(step.text);
            case Step::kClick:
                return controller_.ListViewClick();
            case Step::kEnds:
                std::erase_if(system_.processes, [&](const testing::FakeProcess& process) {
                    return process.exeFile == step.text;
                });
                return;
            case Step::kRefresh:
                return controller_.RefreshPopupmenuClick();
            case Step::kClose:
                closed_ = true;
                return controller_.FormClose();
            case Step::kProbe:
                return FindPage(step.click, step.found);
            case Step::kNotice:
                return controller_.NoticeReplied(LookupOfClick(step.click), step.text);
        }
    }

    std::vector<std::size_t> GivenUpClicks() const {
        std::vector<std::size_t> clicks;
        for (const LookupId lookup : background_.givenUp) {
            const auto probe = std::find_if(background_.probes.begin(), background_.probes.end(),
                                            [&](const Request& r) { return r.lookup == lookup; });
            clicks.push_back(probe == background_.probes.end()
                                 ? std::numeric_limits<std::size_t>::max()
                                 : static_cast<std::size_t>(probe - background_.probes.begin()));
        }
        return clicks;
    }

    bool closed_ = false;
};

TEST_P(WindowControllerOrdering, OnlyWhatStillCountsIsApplied) {
    for (const Step& step : GetParam().steps)
        Run(step);
    const Outcome& expected = GetParam().outcome;
    std::vector<std::u16string> addresses;
    for (const std::string& name : expected.sitePages)
        addresses.push_back(Wide(PageAddress(name)));
    EXPECT_EQ(view_.pane.calls, addresses);
    EXPECT_EQ(view_.statusLines, addresses);
    EXPECT_EQ(view_.localPages, expected.localPages);
    EXPECT_EQ(view_.noticeBoxes, expected.noticeBoxes);
    EXPECT_EQ(GivenUpClicks(), expected.givenUp);
    EXPECT_EQ(background_.probes.size(), expected.probes);
    EXPECT_EQ(background_.notices.size(), expected.notices);
    EXPECT_EQ(controller_.Busy(), expected.busy);
    if (!closed_) {  // a closed window's pointer goes with it
        EXPECT_EQ(view_.ShowsBusyCursor(), expected.busy);
    }
}

INSTANTIATE_TEST_SUITE_P(WindowController, WindowControllerOrdering,
                         ::testing::ValuesIn(kOrderings),
                         [](const auto& info) { return std::string(info.param.name); });

class WindowControllerIcons : public ControllerTest {};

TEST_F(WindowControllerIcons, FillAsksForEachFilesIconOnceInShownOrder) {
    EXPECT_THAT(view_.ShownCaptions(),
                ElementsAre("Explorer.EXE", "notepad.exe", "notepad.exe", "svchost.exe", "tool.exe",
                            "unknown.exe", "locked.exe"));
    ASSERT_EQ(background_.iconWork.size(), 1u);
    EXPECT_THAT(background_.iconWork[0].files, ElementsAre(kExplorer, kNotepad, kSvchost, kTool));
    EXPECT_EQ(controller_.IconsPending(), 4u);
    EXPECT_THAT(view_.redraws, ElementsAre(false, true)) << "the list repaints once";
    EXPECT_EQ(view_.ImageOf("unknown.exe"), kProgramImage);
    EXPECT_EQ(view_.ImageOf("locked.exe"), kProgramImage);
}

TEST_F(WindowControllerIcons, EveryRowOfAFileGetsTheFilesImage) {
    const FillId fill = CurrentFill();
    controller_.IconsArrived(Batch(Icon(fill, 1, "notepad"), IconResult{fill, 2, nullptr}));
    EXPECT_EQ(controller_.IconsPending(), 2u);
    EXPECT_THAT(view_.iconsAdded, ElementsAre("notepad"));
    EXPECT_EQ(view_.shown[1]->imageIndex, 2);
    EXPECT_EQ(view_.shown[2]->imageIndex, 2) << "both rows of the file share its image";
    EXPECT_EQ(view_.ImageOf("svchost.exe"), kSystemEmblemImage);
    EXPECT_EQ(view_.ImageOf("Explorer.EXE"), kNoImage) << "still waiting";

    controller_.IconsArrived(Batch(Icon(fill, 0, "explorer"), IconResult{fill, 3, nullptr}));
    EXPECT_EQ(controller_.IconsPending(), 0u);
    EXPECT_THAT(view_.iconsAdded, ElementsAre("notepad", "explorer"));
    EXPECT_EQ(view_.ImageOf("Explorer.EXE"), 3);
    EXPECT_EQ(view_.ImageOf("tool.exe"), kNoImage);
    EXPECT_EQ(view_.ImageOf("unknown.exe"), kProgramImage);
    EXPECT_EQ(view_.ImageOf("locked.exe"), kProgramImage);
    EXPECT_EQ(view_.itemImages.size(), 5u) << "each waiting row once, no other row";
    EXPECT_TRUE(view_.RedrawOn());
}

TEST_F(WindowControllerIcons, IconsTheImageListsRefuseLeaveTheImageWithoutIcon) {
    view_.imageListsFull = true;
    const FillId fill = CurrentFill();
    controller_.IconsArrived(Batch(Icon(fill, 0, "explorer"), Icon(fill, 2, "svchost")));
    EXPECT_EQ(view_.ImageOf("Explorer.EXE"), kNoImage);
    EXPECT_EQ(view_.ImageOf("svchost.exe"), kSystemEmblemImage);
    EXPECT_EQ(controller_.IconsPending(), 2u);
    EXPECT_THAT(ledger_->Destroyed(), UnorderedElementsAre("explorer", "svchost"));
}

TEST_F(WindowControllerIcons, IconsFollowTheRowsWhereTheSortPutThem) {
    const FillId fill = CurrentFill();
    controller_.ListViewColumnClick(0);  // by name, descending
    controller_.IconsArrived(Batch(Icon(fill, 0, "explorer"), Icon(fill, 3, "tool")));
    EXPECT_EQ(view_.ImageOf("Explorer.EXE"), 2);
    EXPECT_EQ(view_.ImageOf("tool.exe"), 3);
    EXPECT_EQ(view_.ImageOf("notepad.exe"), kNoImage);
    EXPECT_EQ(view_.ImageOf("unknown.exe"), kProgramImage);
}

class WindowControllerIconOrdering : public ControllerTest {};

TEST_F(WindowControllerIconOrdering, ReplacedFillsIconsAreDestroyedUnused) {
    const FillId first = CurrentFill();
    controller_.RefreshPopupmenuClick();
    const FillId second = CurrentFill();
    ASSERT_NE(first, second);
    EXPECT_THAT(background_.dropped, ElementsAre(first));

    controller_.IconsArrived(Batch(Icon(first, 0, "old explorer"), Icon(first, 1, "old notepad"),
                                   Icon(second, 99, "past the files")));
    EXPECT_THAT(view_.iconsAdded, IsEmpty());
    EXPECT_THAT(view_.itemImages, IsEmpty());
    EXPECT_THAT(ledger_->Destroyed(),
                UnorderedElementsAre("old explorer", "old notepad", "past the files"));
    EXPECT_EQ(controller_.IconsPending(), 4u);

    // The new fill's results apply, also in a batch with the old one's.
    controller_.IconsArrived(Batch(Icon(first, 2, "old svchost"), Icon(second, 0, "explorer")));
    EXPECT_THAT(view_.iconsAdded, ElementsAre("explorer"));
    EXPECT_EQ(view_.ImageOf("Explorer.EXE"), 2);
    EXPECT_EQ(view_.ImageOf("svchost.exe"), kNoImage) << "still waiting for the new fill's";
    EXPECT_EQ(controller_.IconsPending(), 3u);
}

TEST_F(WindowControllerIconOrdering, IconsAfterCloseAreDestroyedUnused) {
    const FillId fill = CurrentFill();
    Click("Explorer.EXE");
    FindPage(0, true);
    controller_.FormClose();
    EXPECT_THAT(background_.dropped, ElementsAre(fill));
    EXPECT_THAT(background_.givenUp, ElementsAre(LookupOfClick(0))) << "the notice";
    controller_.IconsArrived(Batch(Icon(fill, 0, "late")));
    EXPECT_THAT(view_.iconsAdded, IsEmpty());
    EXPECT_THAT(view_.itemImages, IsEmpty());
    EXPECT_THAT(ledger_->Destroyed(), ElementsAre("late"));
    EXPECT_EQ(controller_.IconsPending(), 0u);
}

class WindowControllerList : public ControllerTest {};

TEST_F(WindowControllerList, RefreshSortsAsBeforeAndAsksForIconsInShownOrder) {
    controller_.ListViewColumnClick(2);  // by size, descending
    system_.processes.push_back(RunningProcess(1028, "alpha.exe", "C:\\alpha.exe"));
    system_.files["C:\\alpha.exe"] = 10;
    controller_.RefreshPopupmenuClick();
    EXPECT_EQ(controller_.SortKey(), -3);
    EXPECT_EQ(view_.sortFlags[2], 1) << "the refresh leaves the column's direction";
    EXPECT_THAT(view_.ShownCaptions(),
                ElementsAre("Explorer.EXE", "svchost.exe", "tool.exe", "notepad.exe", "notepad.exe",
                            "alpha.exe", "unknown.exe", "locked.exe"))
        << "by magnitude, as the column is right-aligned";
    ASSERT_EQ(background_.iconWork.size(), 2u);
    EXPECT_THAT(background_.dropped, ElementsAre(background_.iconWork[0].fill));
    EXPECT_THAT(background_.iconWork[1].files,
                ElementsAre(kExplorer, kSvchost, kTool, kNotepad, "C:\\alpha.exe"));
    EXPECT_EQ(controller_.IconsPending(), 5u);
    // The results count the files as the refresh asked for them.
    controller_.IconsArrived(Batch(Icon(CurrentFill(), 1, "svchost")));
    EXPECT_EQ(view_.ImageOf("svchost.exe"), 2);
    EXPECT_EQ(view_.ImageOf("notepad.exe"), kNoImage);
}

struct ReselectCase {
    const char* name;
    std::uint32_t selectedId;  // 0: nothing is selected
    std::string selectedCaption;
    std::function<void(std::vector<testing::FakeProcess>&)> meanwhile;
    std::optional<std::uint32_t> reselected;  // the process id of the row selected after
};

// A fill that fails half-way (its error goes to the window's error box) leaves the list
// painting, not frozen with its redraw off.
TEST_F(WindowControllerList, AFillThatFailsLeavesTheListPainting) {
    class FailingSnapshot final : public FakeInventory {
      public:
        std::unique_ptr<ProcessSnapshot> TakeSnapshot() override {
            throw std::runtime_error("the snapshot failed");
        }
    };
    WindowController failing{{view_, background_,
                              [] { return std::make_unique<FailingSnapshot>(); }, ansi_,
                              [] { return std::string(); }}};
    EXPECT_THROW(failing.RefreshPopupmenuClick(), std::runtime_error);
    EXPECT_FALSE(view_.redraws.empty());
    EXPECT_TRUE(view_.RedrawOn());
}

class WindowControllerReselect : public ControllerTest,
                                 public ::testing::WithParamInterface<ReselectCase> {};

TEST_P(WindowControllerReselect, RefreshSelectsTheSameProcessAgain) {
    const ReselectCase& c = GetParam();
    if (c.selectedId != 0)
        view_.Select(c.selectedCaption, c.selectedId);
    c.meanwhile(system_.processes);
    controller_.RefreshPopupmenuClick();
    const ProcessRow* selected = view_.SelectedRow();
    if (!c.reselected) {
        EXPECT_EQ(selected, nullptr);
        return;
    }
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->processId, *c.reselected);
    EXPECT_EQ(selected->caption, c.selectedCaption);
}

INSTANTIATE_TEST_SUITE_P(
    WindowController, WindowControllerReselect,
    ::testing::Values(
        // Two rows show the same program; a process started meanwhile moves them down.
        ReselectCase{"SecondInstanceMovedDown", 1008, "notepad.exe",
                     [](auto& processes) {
                         processes.insert(processes.begin(),
                                          RunningProcess(1002, "first.exe", kExplorer));
                     },
                     1008},
        ReselectCase{"Ended", 1016, "tool.exe",
                     [](auto& processes) { processes.erase(processes.begin() + 4); }, std::nullopt},
        ReselectCase{"IdTakenByAnotherProgram", 1016, "tool.exe",
                     [](auto& processes) { processes[4].exeFile = "other.exe"; }, std::nullopt},
        ReselectCase{"NothingSelected", 0, "", [](auto&) {}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct ColumnCase {
    const char* name;
    std::vector<int> clicks;  // the columns clicked, in order
    int sortKey;
    std::array<int, 3> flags;
    std::vector<std::string> shown;
};

class WindowControllerColumnClick : public ControllerTest,
                                    public ::testing::WithParamInterface<ColumnCase> {};

TEST_P(WindowControllerColumnClick, TogglesTheColumnsDirectionAndSorts) {
    const ColumnCase& c = GetParam();
    for (const int column : c.clicks)
        controller_.ListViewColumnClick(column);
    EXPECT_EQ(controller_.SortKey(), c.sortKey);
    EXPECT_EQ(view_.sortFlags, c.flags);
    EXPECT_EQ(view_.ShownCaptions(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    WindowController, WindowControllerColumnClick,
    ::testing::Values(ColumnCase{"FirstClickDescends",
                                 {0},
                                 -1,
                                 {1, 0, 0},
                                 {"unknown.exe", "tool.exe", "svchost.exe", "notepad.exe",
                                  "notepad.exe", "locked.exe", "Explorer.EXE"}},
                      ColumnCase{"SecondClickAscends",
                                 {0, 0},
                                 1,
                                 {0, 0, 0},
                                 {"Explorer.EXE", "locked.exe", "notepad.exe", "notepad.exe",
                                  "svchost.exe", "tool.exe", "unknown.exe"}},
                      // The size column is right-aligned: its sizes sort by magnitude.
                      ColumnCase{"SizesByMagnitude",
                                 {2},
                                 -3,
                                 {0, 0, 1},
                                 {"Explorer.EXE", "svchost.exe", "tool.exe", "notepad.exe",
                                  "notepad.exe", "unknown.exe", "locked.exe"}},
                      ColumnCase{"SizesAscending",
                                 {2, 2},
                                 3,
                                 {0, 0, 0},
                                 {"unknown.exe", "locked.exe", "notepad.exe", "notepad.exe",
                                  "tool.exe", "svchost.exe", "Explorer.EXE"}},
                      ColumnCase{"EachColumnKeepsItsDirection",
                                 {0, 2},
                                 -3,
                                 {1, 0, 1},
                                 {"Explorer.EXE", "svchost.exe", "tool.exe", "notepad.exe",
                                  "notepad.exe", "unknown.exe", "locked.exe"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct CopyCase {
    const char* name;
    std::optional<std::string> selected;
    bool clipboardRefuses;
    std::vector<std::u16string> clipboard;
    int beeps;
};

class WindowControllerCopy : public ControllerTest,
                             public ::testing::WithParamInterface<CopyCase> {};

TEST_P(WindowControllerCopy, PutsTheShownTextsOnTheClipboard) {
    const CopyCase& c = GetParam();
    if (c.selected)
        view_.Select(*c.selected);
    view_.clipboardRefuses = c.clipboardRefuses;
    controller_.CopySelectedRow();
    EXPECT_EQ(view_.clipboard, c.clipboard);
    EXPECT_EQ(view_.beeps, c.beeps);
}

INSTANTIATE_TEST_SUITE_P(
    WindowController, WindowControllerCopy,
    ::testing::Values(
        CopyCase{"Row",
                 "Explorer.EXE",
                 false,
                 {u"Explorer.EXE\tC:\\WINDOWS\\explorer.exe\t1.234.567 byte"},
                 0},
        CopyCase{
            "RowWithoutSize", "unknown.exe", false, {u"unknown.exe\tC:\\gone\\unknown.exe\t"}, 0},
        CopyCase{"ClipboardRefuses", "Explorer.EXE", true, {}, 1},
        CopyCase{"NothingSelected", std::nullopt, false, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace runlens
