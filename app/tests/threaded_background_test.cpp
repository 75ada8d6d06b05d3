#include "app/threaded_background.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "fake_window_view.h"

namespace runlens {
namespace {

using ::testing::ElementsAre;
using testing::FakeInventory;
using testing::FakeWindowView;
using testing::IconLedger;
using ::testing::IsEmpty;
using testing::NamedIcons;
using testing::RunningProcess;
using ::testing::UnorderedElementsAre;

// No wait of these tests lasts longer, so that a fault fails a test instead of hanging it.
constexpr std::chrono::seconds kLongestWait{5};

template <typename Done>
bool Eventually(Done done) {
    const auto limit = std::chrono::steady_clock::now() + kLongestWait;
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Holds each caller at its key until the test opens it, or until the caller's work is given
// up.
class Gate {
  public:
    // True when the caller left because its work was given up.
    bool Pass(const std::string& key, const std::atomic<bool>* givenUp) {
        std::unique_lock lock(mutex_);
        Caller& caller = callers_[key];
        caller.held = true;
        arrivals_.push_back(key);
        changed_.notify_all();
        const auto limit = std::chrono::steady_clock::now() + kLongestWait;
        while (!all_ && !open_.contains(key) && std::chrono::steady_clock::now() < limit) {
            if (givenUp && *givenUp) {
                caller.sawGivenUp = true;
                break;
            }
            changed_.wait_for(lock, std::chrono::milliseconds(1));
        }
        caller.left = true;
        changed_.notify_all();
        return caller.sawGivenUp;
    }

    void Open(const std::string& key) {
        const std::lock_guard lock(mutex_);
        open_.insert(key);
        changed_.notify_all();
    }
    void OpenAll() {
        const std::lock_guard lock(mutex_);
        all_ = true;
        changed_.notify_all();
    }

    // False when no caller came to the key, or none left it, in time.
    bool WaitUntilHeld(const std::string& key) {
        return WaitFor([&] { return callers_[key].held; });
    }
    bool WaitUntilLeft(const std::string& key) {
        return WaitFor([&] { return callers_[key].left; });
    }
    bool SawGivenUp(const std::string& key) {
        const std::lock_guard lock(mutex_);
        return callers_[key].sawGivenUp;
    }
    std::vector<std::string> Arrivals() const {
        const std::lock_guard lock(mutex_);
        return arrivals_;
    }

  private:
    struct Caller {
        bool held = false;
        bool left = false;
        bool sawGivenUp = false;
    };

    template <typename Done>
    bool WaitFor(Done done) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kLongestWait, done);
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, Caller> callers_;
    std::set<std::string> open_;
    bool all_ = false;
    std::vector<std::string> arrivals_;
};

// The site: every request waits at the gate under its address. What it answers is set before
// the requests start.
class GatedSite final : public SiteClient {
  public:
    explicit GatedSite(std::shared_ptr<Gate> gate) : gate(std::move(gate)) {}

    bool PageExists(std::string_view address, Deadline, const std::atomic<bool>& givenUp) override {
        Wait(address, givenUp);
        if (failing.contains(std::string(address)))
            throw std::runtime_error("the connection broke");
        return pages.contains(std::string(address));
    }
    std::string FetchText(std::string_view address, Deadline,
                          const std::atomic<bool>& givenUp) override {
        Wait(address, givenUp);
        const auto reply = replies.find(std::string(address));
        return reply == replies.end() ? std::string() : reply->second;
    }

    const std::shared_ptr<Gate> gate;
    std::set<std::string> pages;
    std::set<std::string> failing;
    std::map<std::string, std::string> replies;
    bool heedsGivenUp = true;  // else a request waits for the gate alone

  private:
    void Wait(std::string_view address, const std::atomic<bool>& givenUp) {
        gate->Pass(std::string(address), heedsGivenUp ? &givenUp : nullptr);
    }
};

// The files' icons; with `gate`, each extraction waits at it under the file's path.
class FakeIconSource final : public IconSource {
  public:
    FakeIconSource(std::shared_ptr<IconLedger> ledger, std::shared_ptr<Gate> gate)
        : ledger_(std::move(ledger)), gate_(std::move(gate)) {}

    void LowerThreadPriority() override { Note("lower priority"); }
    std::unique_ptr<FileIcons> Extract(const std::string& path) override {
        Note(path);
        if (gated)
            gate_->Pass(path, nullptr);
        if (unreadable.contains(path))
            throw std::runtime_error("unreadable");
        if (withoutIcon.contains(path))
            return nullptr;
        return std::make_unique<NamedIcons>(path, ledger_);
    }

    std::vector<std::string> Calls() const {
        const std::lock_guard lock(mutex_);
        return calls_;
    }

    bool gated = false;
    std::set<std::string> unreadable;
    std::set<std::string> withoutIcon;

  private:
    void Note(std::string call) {
        const std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }

    const std::shared_ptr<IconLedger> ledger_;
    const std::shared_ptr<Gate> gate_;
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
};

// The window's side of `wake`: it only counts, as the posted message would be handled later.
class Wakes {
  public:
    void Wake() {
        const std::lock_guard lock(mutex_);
        ++count_;
        changed_.notify_all();
    }
    int Count() const {
        const std::lock_guard lock(mutex_);
        return count_;
    }
    bool WaitFor(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kLongestWait, [&] { return count_ >= count; });
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int count_ = 0;
};

std::function<void()> WakeOf(const std::shared_ptr<Wakes>& wakes) {
    return [wakes] { wakes->Wake(); };
}

const char kExplorer[] = "C:\\WINDOWS\\explorer.exe";
const char kNotepad[] = "C:\\WINDOWS\\notepad.exe";
const char kTool[] = "C:\\tools\\tool.exe";

// A window whose controller runs its work on a ThreadedBackground. Its processes' files are not
// there, so that a fill starts no icon work until a test adds them.
class BackgroundTest : public ::testing::Test {
  protected:
    BackgroundTest() {
        system_.processes = {RunningProcess(1000, "Explorer.EXE", kExplorer),
                             RunningProcess(1004, "notepad.exe", kNotepad),
                             RunningProcess(1008, "tool.exe", kTool),
                             RunningProcess(1012, "unknown.exe", "C:\\gone\\unknown.exe")};
        site_->pages = {PageAddress("explorer.exe"), PageAddress("notepad.exe")};
    }
    ~BackgroundTest() override {
        siteGate_->OpenAll();
        iconGate_->OpenAll();
        EXPECT_TRUE(Eventually([&] { return background_.ThreadsRunning() == 0; }));
    }

    bool ThreadsEnd() {
        return Eventually([&] { return background_.ThreadsRunning() == 0; });
    }
    void Click(std::string_view caption) {
        view_.Select(caption);
        controller_.ListViewClick();
    }
    static Deadline Later() { return std::chrono::steady_clock::now() + kLookupTimeLimit; }

    const std::shared_ptr<Gate> siteGate_ = std::make_shared<Gate>();
    const std::shared_ptr<Gate> iconGate_ = std::make_shared<Gate>();
    const std::shared_ptr<IconLedger> ledger_ = std::make_shared<IconLedger>();
    const std::shared_ptr<GatedSite> site_ = std::make_shared<GatedSite>(siteGate_);
    const std::shared_ptr<FakeIconSource> icons_ =
        std::make_shared<FakeIconSource>(ledger_, iconGate_);
    const std::shared_ptr<Wakes> wakes_ = std::make_shared<Wakes>();
    FakeInventory system_;
    FakeWindowView view_;
    const testing::FakeCodePage ansi_;
    ThreadedBackground background_{site_, icons_, WakeOf(wakes_)};
    WindowController controller_{{view_, background_,
                                  [this] { return std::make_unique<FakeInventory>(system_); },
                                  ansi_, [] { return NoticeAddress(0x0411, 0x1234ABCD); }}};
};

class ThreadedBackgroundLookup : public BackgroundTest {};

TEST_F(ThreadedBackgroundLookup, ResultsReachTheWindowOnlyThroughDeliver) {
    const std::string notice = NoticeAddress(0x0411, 0x1234ABCD);
    site_->replies[notice] = "\xA7Hello";
    controller_.FormCreate();
    Click("Explorer.EXE");
    const std::string page = PageAddress("explorer.exe");
    ASSERT_TRUE(siteGate_->WaitUntilHeld(page));
    siteGate_->Open(page);
    ASSERT_TRUE(wakes_->WaitFor(1));
    EXPECT_THAT(view_.pane.calls, IsEmpty());
    EXPECT_THAT(view_.statusLines, IsEmpty());

    background_.Deliver(controller_);
    EXPECT_THAT(view_.pane.calls, ElementsAre(ansi_.ToUtf16(page)));
    EXPECT_TRUE(view_.ShowsBusyCursor()) << "the notice is under way";
    ASSERT_TRUE(siteGate_->WaitUntilHeld(notice));
    siteGate_->Open(notice);
    ASSERT_TRUE(wakes_->WaitFor(2));
    EXPECT_THAT(view_.noticeBoxes, IsEmpty());

    background_.Deliver(controller_);
    EXPECT_THAT(view_.noticeBoxes, ElementsAre(u"Hello"));
    EXPECT_FALSE(view_.ShowsBusyCursor());
}

TEST_F(ThreadedBackgroundLookup, WakesForTheFirstResultOfAnEmptyQueueOnly) {
    siteGate_->OpenAll();
    background_.StartProbe(1, "a", Later());
    background_.StartProbe(2, "b", Later());
    background_.StartNotice(3, "c", Later());
    ASSERT_TRUE(ThreadsEnd());
    EXPECT_EQ(wakes_->Count(), 1);

    background_.Deliver(controller_);
    background_.StartProbe(4, "d", Later());
    ASSERT_TRUE(ThreadsEnd());
    EXPECT_EQ(wakes_->Count(), 2) << "the queue was empty again";
}

TEST_F(ThreadedBackgroundLookup, GivenUpRequestReturnsAndIsNeverDelivered) {
    controller_.FormCreate();
    Click("Explorer.EXE");
    const std::string first = PageAddress("explorer.exe");
    ASSERT_TRUE(siteGate_->WaitUntilHeld(first));
    Click("unknown.exe");  // gives the first lookup up
    ASSERT_TRUE(siteGate_->WaitUntilLeft(first));
    EXPECT_TRUE(siteGate_->SawGivenUp(first));
    ASSERT_TRUE(Eventually([&] { return background_.ThreadsRunning() == 1; }));
    EXPECT_EQ(wakes_->Count(), 0) << "nothing was queued";

    siteGate_->Open(PageAddress("unknown.exe"));
    ASSERT_TRUE(wakes_->WaitFor(1));
    background_.Deliver(controller_);
    EXPECT_THAT(view_.localPages, ElementsAre("unknown.exe"));
    EXPECT_THAT(view_.pane.calls, IsEmpty());
    EXPECT_FALSE(view_.ShowsBusyCursor());
}

TEST_F(ThreadedBackgroundLookup, FailedRequestFindsNoPage) {
    site_->failing.insert(PageAddress("explorer.exe"));
    siteGate_->OpenAll();
    controller_.FormCreate();
    Click("Explorer.EXE");
    ASSERT_TRUE(wakes_->WaitFor(1));
    background_.Deliver(controller_);
    EXPECT_THAT(view_.localPages, ElementsAre("Explorer.EXE"));
    EXPECT_FALSE(view_.ShowsBusyCursor());
}

class ThreadedBackgroundIcons : public BackgroundTest {
  protected:
    ThreadedBackgroundIcons() { system_.files = {{kExplorer, 100}, {kNotepad, 100}, {kTool, 100}}; }
};

TEST_F(ThreadedBackgroundIcons, IconsReachTheRowsThroughDeliver) {
    icons_->unreadable.insert(kTool);
    controller_.FormCreate();
    ASSERT_TRUE(ThreadsEnd());
    EXPECT_THAT(icons_->Calls(), ElementsAre("lower priority", kExplorer, kNotepad, kTool));
    EXPECT_EQ(wakes_->Count(), 1);
    EXPECT_THAT(view_.itemImages, IsEmpty());

    background_.Deliver(controller_);
    EXPECT_EQ(view_.ImageOf("Explorer.EXE"), 2);
    EXPECT_EQ(view_.ImageOf("notepad.exe"), 3);
    EXPECT_EQ(view_.ImageOf("tool.exe"), kNoImage) << "a file whose icon cannot be read has none";
    EXPECT_EQ(controller_.IconsPending(), 0u);
}

TEST_F(ThreadedBackgroundIcons, IconsComeBeforeTheLookups) {
    controller_.FormCreate();
    Click("unknown.exe");
    siteGate_->OpenAll();
    ASSERT_TRUE(ThreadsEnd());
    background_.Deliver(controller_);
    EXPECT_THAT(view_.seen, ElementsAre("image", "image", "image", "local page"));
}

// A message hands the window only a few icons, so that it answers its other messages between
// them; it is woken again while icons are left.
TEST_F(ThreadedBackgroundIcons, ManyIconsComeAFewAMessage) {
    std::vector<std::string> files;
    for (int i = 0; i < 20; ++i)
        files.push_back("file" + std::to_string(i));
    background_.StartIcons(7, files);  // a fill the window never made: each result goes unused
    ASSERT_TRUE(ThreadsEnd());
    EXPECT_EQ(wakes_->Count(), 1);
    std::vector<std::size_t> handed;
    for (int message = 0; message < 5 && ledger_->Destroyed().size() < files.size(); ++message) {
        background_.Deliver(controller_);
        handed.push_back(ledger_->Destroyed().size());
    }
    EXPECT_THAT(handed, ElementsAre(8u, 16u, 20u));
    EXPECT_EQ(wakes_->Count(), 3) << "woken again while icons were left";
}

TEST_F(ThreadedBackgroundIcons, DroppedIconWorkStopsBeforeTheRemainingFiles) {
    icons_->gated = true;
    background_.StartIcons(1, {"a", "b", "c"});
    ASSERT_TRUE(iconGate_->WaitUntilHeld("a"));
    background_.DropIcons(1);
    iconGate_->OpenAll();
    ASSERT_TRUE(ThreadsEnd());
    EXPECT_THAT(icons_->Calls(), ElementsAre("lower priority", "a"));
    EXPECT_EQ(wakes_->Count(), 0) << "the icons extracted last went with their result";
    EXPECT_THAT(ledger_->Destroyed(), ElementsAre("a"));
}

// The threads outlive the background. The site and the icon source go with the last of them,
// which tells the test that they have ended.
TEST(ThreadedBackgroundLifetime, DestroyedWhileItsWorkWaits) {
    const auto gate = std::make_shared<Gate>();
    const auto ledger = std::make_shared<IconLedger>();
    const auto wakes = std::make_shared<Wakes>();
    auto site = std::make_shared<GatedSite>(gate);
    site->heedsGivenUp = false;
    auto icons = std::make_shared<FakeIconSource>(ledger, gate);
    icons->gated = true;
    const std::weak_ptr<GatedSite> siteLeft = site;
    const std::weak_ptr<FakeIconSource> iconsLeft = icons;
    auto background = std::make_unique<ThreadedBackground>(site, icons, WakeOf(wakes));
    site.reset();
    icons.reset();

    background->StartProbe(1, "page", std::chrono::steady_clock::now() + kLookupTimeLimit);
    background->StartIcons(1, {"a", "b"});
    ASSERT_TRUE(gate->WaitUntilHeld("page"));
    ASSERT_TRUE(gate->WaitUntilHeld("a"));
    background.reset();

    gate->OpenAll();
    ASSERT_TRUE(Eventually([&] { return siteLeft.expired() && iconsLeft.expired(); }));
    EXPECT_EQ(wakes->Count(), 0);
    EXPECT_THAT(gate->Arrivals(), UnorderedElementsAre("page", "a")) << "b was never extracted";
    EXPECT_THAT(ledger->Destroyed(), ElementsAre("a"));
}

}  // namespace
}  // namespace runlens
