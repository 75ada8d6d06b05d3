// The window keeps answering while its work waits: a lookup whose server stalls, a second
// click meanwhile, closing the window, a notice whose reply comes late, and the icons, which
// come in after the window is shown.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/main_window.h"
#include "core/win32/code_page.h"
#include "core/win32/text.h"
#include "info/online_lookup.h"
#include "info/win32/win32_site_client.h"
#include "inventory/process_list.h"
#include "inventory/win32/win32_inventory.h"
#include "tests/fakes/recording_browser.h"
#include "tests/win32/idle_process.h"
#include "tests/win32/main_window_access.h"
#include "tests/win32/reference_site.h"

namespace runlens {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// A row whose page the site never answers for, and one it has.
const ProcessRow kSilentRow{"hostile-silent.exe", "C:\\x\\hostile-silent.exe", "", 1};
const ProcessRow kExplorerRow{"explorer.exe", "C:\\windows\\explorer.exe", "", 1};

// From another thread, sends the window a message every `interval` for `span`, each with
// `limit` to answer, and keeps how many it answered and the longest it took.
class Prober {
  public:
    Prober(HWND window, milliseconds interval, milliseconds span, UINT limit)
        : thread_([=, this] {
              const auto end = steady_clock::now() + span;
              while (steady_clock::now() < end) {
                  const auto start = steady_clock::now();
                  DWORD_PTR result = 0;
                  const bool answered = ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL,
                                                              limit, &result) != 0;
                  const auto took = steady_clock::now() - start;
                  ++sent_;
                  answered_ += answered ? 1 : 0;
                  longest_ = std::max<long long>(
                      longest_, std::chrono::duration_cast<milliseconds>(took).count());
                  std::this_thread::sleep_until(start + interval);
              }
              done_ = true;
          }) {}
    ~Prober() { thread_.join(); }

    // Pumps this thread's messages, as the program's loop does, until the probing ends.
    bool PumpToTheEnd(DWORD limit) {
        return PumpUntil([this] { return done_.load(); }, limit);
    }
    int Sent() const { return sent_; }
    int Answered() const { return answered_; }
    long long LongestMs() const { return longest_; }

  private:
    std::atomic<int> sent_{0};
    std::atomic<int> answered_{0};
    std::atomic<long long> longest_{0};
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class ResponsiveWindow : public testing::ReferenceSite {
  protected:
    // A window with a recording pane, shown.
    std::unique_ptr<TForm1> OpenWindow(SiteClientFactory makeSite = {}) {
        auto form = std::make_unique<TForm1>(
            ::GetModuleHandleW(nullptr),
            [this](HWND) {
                auto pane = std::make_unique<testing::RecordingBrowser>();
                pane_ = pane.get();
                return pane;
            },
            std::move(makeSite));
        if (!form->Create())
            return nullptr;
        form->Show(SW_SHOWNORMAL);
        Inside(*form).SetNoticeBox([this](const std::wstring& text) { notices_.push_back(text); });
        return form;
    }

    // The pages the pane was sent to, in order; a local page goes by way of about:blank.
    std::vector<std::u16string> Navigations() const {
        std::vector<std::u16string> addresses;
        for (const std::u16string& call : pane_->calls) {
            if (call != u"<update>" && call != u"<focus>" && call != u"about:blank")
                addresses.push_back(call);
        }
        return addresses;
    }

    static std::u16string Address(const ProcessRow& row) {
        return Win32CodePage().ToUtf16(PageAddress(row.caption.text));
    }

    testing::RecordingBrowser* pane_ = nullptr;
    std::vector<std::wstring> notices_;
};

TEST_F(ResponsiveWindow, AnswersEveryMessageWhileTheServerIsSilent) {
    const auto form = OpenWindow();
    ASSERT_TRUE(form);
    ASSERT_TRUE(Inside(*form).WaitForIcons());
    Inside(*form).ClickRow(kSilentRow);
    EXPECT_TRUE(Inside(*form).BusyCursor()) << "the pointer says the window works";
    Prober prober(form->Handle(), milliseconds(300), milliseconds(8000), 500);
    ASSERT_TRUE(prober.PumpToTheEnd(20000));
    std::printf("answered %d of %d messages; the longest took %lld ms\n", prober.Answered(),
                prober.Sent(), prober.LongestMs());
    EXPECT_GE(prober.Sent(), 20);
    EXPECT_EQ(prober.Answered(), prober.Sent());
    EXPECT_TRUE(Inside(*form).Controller().Busy()) << "the probe still waits for the server";
    // At its deadline the probe gives up, and the row's local page shows.
    ASSERT_TRUE(Inside(*form).WaitForLookup());
    EXPECT_FALSE(Inside(*form).BusyCursor());
    ASSERT_EQ(Navigations().size(), 1u);
    EXPECT_NE(Navigations()[0], Address(kSilentRow));
}

TEST_F(ResponsiveWindow, ASecondClickShowsItsPageWhileTheFirstProbeStalls) {
    TrustSiteAuthority();
    const auto form = OpenWindow();
    ASSERT_TRUE(form);
    Inside(*form).ClickRow(kSilentRow);
    const auto second = steady_clock::now();
    Inside(*form).ClickRow(kExplorerRow);
    EXPECT_TRUE(PumpUntil([&] { return !Navigations().empty(); }, 3000))
        << "the second row's page within 3 s";
    EXPECT_LT(steady_clock::now() - second, std::chrono::seconds(3));
    ASSERT_TRUE(Inside(*form).WaitForLookup());
    // The first probe was given up: its thread ends, and nothing of it reaches the pane.
    ASSERT_TRUE(Inside(*form).WaitForQuietBackground(3000));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(Navigations(), std::vector<std::u16string>{Address(kExplorerRow)});
}

// The notice's reply, held up on its way, comes after a second click has shown another row's
// local page: its message still shows.
TEST_F(ResponsiveWindow, ANoticeWhoseReplyComesLateStillShowsItsMessage) {
    TrustSiteAuthority();
    class LateNotice final : public SiteClient {
      public:
        explicit LateNotice(const std::string& agent) : site_(agent) {}
        bool PageExists(std::string_view address, Deadline deadline,
                        const std::atomic<bool>& givenUp) override {
            return site_.PageExists(address, deadline, givenUp);
        }
        std::string FetchText(std::string_view address, Deadline deadline,
                              const std::atomic<bool>& givenUp) override {
            std::this_thread::sleep_for(milliseconds(1500));
            return site_.FetchText(address, deadline, givenUp);
        }

      private:
        Win32SiteClient site_;
    };
    const auto form =
        OpenWindow([](const std::string& agent) { return std::make_shared<LateNotice>(agent); });
    ASSERT_TRUE(form);
    Inside(*form).ClickRow(kExplorerRow);
    ASSERT_TRUE(PumpUntil([&] { return !Navigations().empty(); }, 10000));
    EXPECT_TRUE(notices_.empty()) << "the reply is still on its way";
    EXPECT_TRUE(Inside(*form).BusyCursor());
    Inside(*form).ClickRow({"no-page-here.exe", "C:\\x\\no-page-here.exe", "", 1});
    ASSERT_TRUE(Inside(*form).WaitForLookup());
    ASSERT_EQ(notices_.size(), 1u);
    EXPECT_NE(notices_[0].find(L"\u304A\u77E5\u3089\u305B"), std::wstring::npos) << "お知らせ";
    EXPECT_EQ(Navigations().size(), 2u) << "the site page, then the second row's local page";
}

// The window shows its rows before any icon; the icons come in afterwards, and the list ends
// as a fill that waits for every icon leaves it.
TEST_F(ResponsiveWindow, IconsComeInAfterTheRowsAndEndAsAWaitingFillLeavesThem) {
    const auto form = OpenWindow();
    ASSERT_TRUE(form);
    const auto waiting = Inside(*form).Rows().ShownRows();
    ASSERT_FALSE(waiting.empty());
    EXPECT_TRUE(std::any_of(waiting.begin(), waiting.end(),
                            [](const ProcessRow* row) { return row->iconPending; }));
    EXPECT_GT(Inside(*form).Controller().IconsPending(), 0u);
    ASSERT_TRUE(Inside(*form).WaitForIcons());

    // The same processes filled by a fill that brings every icon in at once.
    const HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 300, 200,
                                        nullptr, nullptr, nullptr, nullptr);
    auto small = CreateProcessImageList(::GetModuleHandleW(nullptr), 16);
    auto large = CreateProcessImageList(::GetModuleHandleW(nullptr), 32);
    Win32ProcessListView direct(list, small.get(), large.get());
    Win32InventorySystem system;
    FillProcessList(system, Win32CodePage(), direct);
    direct.AddPendingIcons();
    std::map<std::uint32_t, const ProcessRow*> expected;
    for (const ProcessRow* row : direct.ShownRows())
        expected[row->processId] = row;
    // An image of the window's by the file its icon came from.
    auto picture = [](const std::vector<const ProcessRow*>& rows, const ProcessRow& row) {
        if (row.imageIndex < 2)
            return std::to_string(row.imageIndex);
        for (const ProcessRow* other : rows) {
            if (other->imageIndex == row.imageIndex)
                return "icon of " + other->path.text;
        }
        return std::string("?");
    };
    const auto shown = Inside(*form).Rows().ShownRows();
    const auto directRows = direct.ShownRows();
    int compared = 0;
    for (const ProcessRow* row : shown) {
        EXPECT_FALSE(row->iconPending) << row->caption.text;
        const auto found = expected.find(row->processId);
        if (row->processId == 0 || found == expected.end() ||
            found->second->path.text != row->path.text)
            continue;  // a process that came or went between the two fills
        ++compared;
        EXPECT_EQ(picture(shown, *row), picture(directRows, *found->second)) << row->caption.text;
    }
    EXPECT_GT(compared, 0);
    for (const int which : {LVSIL_SMALL, LVSIL_NORMAL}) {
        EXPECT_EQ(::ImageList_GetImageCount(ListView_GetImageList(form->ListView(), which)),
                  ::ImageList_GetImageCount(which == LVSIL_SMALL ? small.get() : large.get()));
    }
    ::DestroyWindow(list);
}

// Closing the program's window while a probe waits for a silent server ends the process at
// once: the request is given up, and nothing it owns outlives the process.
TEST_F(ResponsiveWindow, ClosingDuringAStalledProbeEndsTheProgramAtOnce) {
    const char* shipped = std::getenv("RUNLENS_PROGRAM");
    std::wstring program = WideFromUtf8(shipped ? shipped : RUNLENS_PROGRAM);
    std::replace(program.begin(), program.end(), L'/', L'\\');
    // A running program whose name sorts after every letter, so that the first click on the
    // name column puts it first.
    const testing::IdleProcess silent(testing::TempFolder() +
                                      L"runlens-responsive\\_hostile-silent.exe");
    ASSERT_NE(silent.Id(), 0u);

    const std::size_t before = Requests().size();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    std::wstring commandLine = L"\"" + program + L"\"";
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &started))
        << ::GetLastError();
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    HWND window = nullptr;
    HWND list = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            window = ::FindWindowW(L"TForm1", nullptr);
            DWORD owner = 0;
            if (window)
                ::GetWindowThreadProcessId(window, &owner);
            if (owner != started.dwProcessId)
                return false;
            list = ::GetDlgItem(window, kListViewId);
            return list && ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0;
        },
        60000));

    // The name column's header, clicked once (descending), then the first row.
    const HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT headerRect{};
    ::GetClientRect(header, &headerRect);
    const LPARAM onName = MAKELPARAM(20, headerRect.bottom / 2);
    ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, onName);
    ::PostMessageW(header, WM_LBUTTONUP, 0, onName);
    ::Sleep(500);
    const LPARAM onRow = MAKELPARAM(24, headerRect.bottom + 6);
    ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, onRow);
    ::PostMessageW(list, WM_LBUTTONUP, 0, onRow);
    const bool probing = PumpUntil(
        [&] {
            const auto lines = Requests();
            return std::any_of(
                lines.begin() + static_cast<long>(std::min(before, lines.size())), lines.end(),
                [](const std::string& line) {
                    return line.starts_with("{\"path\": \"/fairu/_hostile-silent.exe.html\"");
                });
        },
        20000);
    EXPECT_TRUE(probing) << "the click's probe never reached the site";

    const auto closing = steady_clock::now();
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    const bool ended = ::WaitForSingleObject(process.get(), 3000) == WAIT_OBJECT_0;
    const auto took = std::chrono::duration_cast<milliseconds>(steady_clock::now() - closing);
    EXPECT_TRUE(ended) << "still running 3 s after its window was closed";
    std::printf("the program ended %lld ms after its window was closed\n",
                static_cast<long long>(took.count()));
    if (!ended) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
    }
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u) << "an orderly end, with no fault on the way out";
}

}  // namespace
}  // namespace runlens
