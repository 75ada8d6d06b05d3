#include "info/win32/win32_internet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/site.h"
#include "core/win32/code_page.h"
#include "core/win32/paths.h"
#include "info/win32/win32_site_client.h"
#include "tests/win32/reference_site.h"

namespace runlens {
namespace {

using std::chrono::steady_clock;

constexpr char kAgent[] = "runlens_win_tests.exe/1 (Windows  NT 6.1, 0409 English/United States)";

// Waiting for the thread that was given up on is the only thing past the deadline.
constexpr auto kSlack = std::chrono::milliseconds(1500);

Deadline Soon() {
    return steady_clock::now() + kLookupTimeLimit;
}

class Internet : public testing::ReferenceSite {};

TEST_F(Internet, UrlExistsOnlyForAnAnswerOf200) {
    EXPECT_TRUE(UrlExists(Local("/fairu/explorer.exe.html"), kAgent, Soon()));
    EXPECT_FALSE(UrlExists(Local("/fairu/no-such.exe.html"), kAgent, Soon()));
    // Redirects are followed to the page they lead to, a handful of them.
    EXPECT_TRUE(UrlExists(Local("/fairu/moved.exe.html"), kAgent, Soon()));
    EXPECT_TRUE(UrlExists(Local("/hostile/chain-5"), kAgent, Soon()));
    EXPECT_FALSE(UrlExists(Local("/hostile/chain-6"), kAgent, Soon()));
    // Nothing listens on port 1; the .invalid name never resolves.
    EXPECT_FALSE(UrlExists("http://127.0.0.1:1/fairu/x.exe.html", kAgent, Soon()));
    // Name resolution is tried only where no packet can leave the machine.
    if (!std::getenv("RUNLENS_NO_NETNS")) {
        EXPECT_FALSE(
            UrlExists("http://runlens-no-such-host.invalid/fairu/x.exe.html", kAgent, Soon()));
    }
}

TEST_F(Internet, FetchReadsTheWholeBodyUpToTheCap) {
    const std::string body = FetchUrlText(Local("/bytes/5000"), kAgent, Soon());
    ASSERT_EQ(body.size(), 5000u);
    EXPECT_EQ(body.substr(4990), "0123456789");
    EXPECT_EQ(FetchUrlText(Local("/bytes/200000"), kAgent, Soon()).size(), kFetchCap);
    EXPECT_EQ(FetchUrlText("http://127.0.0.1:1/x", kAgent, Soon()), "");
    // Zero bytes count as read: an endless stream of them ends at the cap.
    EXPECT_EQ(FetchUrlText(Local("/hostile/zeros"), kAgent, Soon()), "\xA7");
}

TEST_F(Internet, NothingIsAskedOnceTheDeadlineHasPassed) {
    const Deadline past = steady_clock::now();
    EXPECT_FALSE(UrlExists(Local("/fairu/late-probe.exe.html"), kAgent, past));
    EXPECT_EQ(FetchUrlText(Local("/bytes/3?late"), kAgent, past), "");
    for (const std::string& line : Requests())
        EXPECT_EQ(line.find("late"), std::string::npos) << line;
}

TEST_F(Internet, EveryRequestCarriesTheUserAgent) {
    UrlExists(Local("/fairu/agent-check.exe.html"), kAgent, Soon());
    FetchUrlText(Local("/bytes/3"), kAgent, Soon());
    const auto requests = Requests();
    for (const char* path : {"/fairu/agent-check.exe.html", "/bytes/3"}) {
        EXPECT_TRUE(std::any_of(requests.begin(), requests.end(), [&](const std::string& line) {
            return line.starts_with(RequestLine(path, kAgent));
        })) << path;
    }
}

// A server at its worst, through the proxy to the site's own host as the program reaches it:
// every request ends by its deadline with the result of a failure. The cases run side by side.
TEST_F(Internet, HostileServersCannotHoldARequestPastItsDeadline) {
    TrustSiteAuthority();
    struct Case {
        std::string address;
        bool fetch;            // the notice's request, else the page probe
        std::string expected;  // "1" for a page that exists
    };
    struct Outcome {
        std::string result;
        steady_clock::duration took{};
    };
    std::vector<Case> cases;
    for (const char* kind :
         {"silent", "drip-headers", "self-redirect", "other-host", "file", "chain-6"}) {
        cases.push_back({PageAddress(std::string("hostile-") + kind + ".exe"), false, ""});
    }
    for (const char* kind : {"silent", "drip-headers", "drip-body", "self-redirect", "file"})
        cases.push_back({SiteRootAddress() + "hostile/" + kind, true, ""});
    cases.push_back({SiteRootAddress() + "hostile/zeros", true, "\xA7"});
    // The same deadline holds for what comes after a slow answer.
    cases.push_back({PageAddress("hostile-slow-ok.exe"), false, "1"});

    std::vector<Outcome> outcomes(cases.size());
    std::vector<std::thread> running;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        running.emplace_back([&c = cases[i], &outcome = outcomes[i]] {
            const auto start = steady_clock::now();
            const Deadline deadline = start + kLookupTimeLimit;
            outcome.result = c.fetch ? FetchUrlText(c.address, kAgent, deadline)
                                     : (UrlExists(c.address, kAgent, deadline) ? "1" : "");
            outcome.took = steady_clock::now() - start;
        });
    }
    for (std::thread& thread : running)
        thread.join();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(outcomes[i].result, cases[i].expected) << cases[i].address;
        EXPECT_LE(outcomes[i].took, kLookupTimeLimit + kSlack) << cases[i].address;
    }
    for (const std::string& line : Requests())
        EXPECT_EQ(line.find("elsewhere"), std::string::npos)
            << "a redirect left the site: " << line;
}

// One click: the probe finds a page after 6 s, and the notice that follows gets what is left of
// the same 10 s; the server never answers it, so its reply is empty.
class HostileClick : public testing::ReferenceSite {};

TEST_F(HostileClick, ProbeAndNoticeTogetherEndWithinTheTimeLimit) {
    Win32SiteClient site(kAgent);
    const std::atomic<bool> givenUp{false};
    const auto start = steady_clock::now();
    const Deadline deadline = start + kLookupTimeLimit;
    EXPECT_TRUE(site.PageExists(PageAddress("hostile-slow-ok.exe"), deadline, givenUp))
        << "the slow page was found";
    EXPECT_EQ(site.FetchText(Local("/hostile/silent"), deadline, givenUp), "");
    EXPECT_LE(steady_clock::now() - start, kLookupTimeLimit + kSlack);
}

// A request whose caller gives up ends then, not at its deadline, whatever the server does.
TEST_F(HostileClick, ARequestGivenUpEndsAtOnce) {
    Win32SiteClient site(kAgent);
    for (const bool fetch : {false, true}) {
        std::atomic<bool> givenUp{false};
        const auto start = steady_clock::now();
        std::thread giveUp([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            givenUp = true;
        });
        const std::string result =
            fetch ? site.FetchText(Local("/hostile/silent"), start + kLookupTimeLimit, givenUp)
                  : (site.PageExists(Local("/hostile/silent"), start + kLookupTimeLimit, givenUp)
                         ? "1"
                         : "");
        const auto took = steady_clock::now() - start;
        giveUp.join();
        EXPECT_EQ(result, "") << fetch;
        EXPECT_LT(took, std::chrono::seconds(2)) << fetch;
    }
}

// Who opened and who closed each WinInet handle, recorded around the system's own calls.
struct HandleRecord {
    DWORD openedBy = 0;
    std::vector<DWORD> closedBy;
};
std::mutex handleLock;
std::map<HINTERNET, HandleRecord> handles;

HINTERNET Opened(HINTERNET handle) {
    if (handle) {
        const std::lock_guard<std::mutex> hold(handleLock);
        handles[handle] = {::GetCurrentThreadId(), {}};
    }
    return handle;
}
HINTERNET WINAPI RecordedOpen(LPCSTR agent, DWORD access, LPCSTR proxy, LPCSTR bypass,
                              DWORD flags) {
    return Opened(DynamicFunctions::Internet().internetOpenA(agent, access, proxy, bypass, flags));
}
HINTERNET WINAPI RecordedOpenUrl(HINTERNET root, LPCSTR address, LPCSTR headers, DWORD length,
                                 DWORD flags, DWORD_PTR context) {
    return Opened(DynamicFunctions::Internet().internetOpenUrlA(root, address, headers, length,
                                                                flags, context));
}
BOOL WINAPI RecordedClose(HINTERNET handle) {
    {
        const std::lock_guard<std::mutex> hold(handleLock);
        handles[handle].closedBy.push_back(::GetCurrentThreadId());
    }
    return DynamicFunctions::Internet().internetCloseHandle(handle);
}

// A request the caller gave up on at its deadline: every handle of it is closed once, by the
// thread that opened it, never by the caller. A handle that another thread closes may meanwhile
// have been given to another request, which the request's own thread would then use.
TEST_F(Internet, ARequestGivenUpOnKeepsItsHandlesToItsOwnThread) {
    InternetFunctions recording = DynamicFunctions::Internet();
    recording.internetOpenA = &RecordedOpen;
    recording.internetOpenUrlA = &RecordedOpenUrl;
    recording.internetCloseHandle = &RecordedClose;
    // A body that comes a byte at a time: the thread is still reading when the caller gives up.
    const auto start = steady_clock::now();
    EXPECT_EQ(FetchUrlText(Local("/hostile/drip-body"), kAgent,
                           start + std::chrono::milliseconds(1500), recording),
              "");
    EXPECT_LE(steady_clock::now() - start, std::chrono::milliseconds(1500) + kSlack);
    // The thread sees that before its next read, and closes what it opened.
    auto allClosed = [] {
        const std::lock_guard<std::mutex> hold(handleLock);
        return !handles.empty() &&
               std::all_of(handles.begin(), handles.end(),
                           [](const auto& entry) { return !entry.second.closedBy.empty(); });
    };
    for (int i = 0; i < 200 && !allClosed(); ++i)
        ::Sleep(50);
    const std::lock_guard<std::mutex> hold(handleLock);
    EXPECT_FALSE(handles.empty());
    for (const auto& [handle, record] : handles) {
        EXPECT_NE(record.openedBy, 0u) << "a handle closed that the request never opened";
        ASSERT_EQ(record.closedBy.size(), 1u) << "each handle is closed exactly once";
        EXPECT_EQ(record.closedBy[0], record.openedBy);
        EXPECT_NE(record.closedBy[0], ::GetCurrentThreadId()) << "closed by the caller";
    }
    handles.clear();
}

// Checked against what an open file of the system folder reports of its volume. (Wine makes up
// a serial for a drive mapped to a Unix folder, such as Z:, where a file on it reports 0.)
TEST(VolumeSerial, IsTheOneAFileReportsOfItsVolume) {
    wchar_t system[MAX_PATH];
    ASSERT_GT(::GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::wstring kernel = std::wstring(system) + L"\\kernel32.dll";
    const HANDLE file = ::CreateFileW(kernel.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    BY_HANDLE_FILE_INFORMATION information{};
    const BOOL known = ::GetFileInformationByHandle(file, &information);
    ::CloseHandle(file);
    ASSERT_TRUE(known);
    EXPECT_EQ(VolumeSerialOf(kernel), information.dwVolumeSerialNumber);
    EXPECT_EQ(GetVolumeSerial(), VolumeSerialOf(ModuleFilePath(nullptr)));
    std::printf("volume serial of the system folder's drive: %08lX\n",
                static_cast<unsigned long>(information.dwVolumeSerialNumber));
}

// Through the system's code page: in Japanese, a site that answers in code page 932.
TEST(NoticeMessage, DecodedAsUtf8OrTheSystemsAnsiCodePage) {
    const Win32CodePage ansi;
    EXPECT_EQ(DecodeNoticeMessage("\xE3\x81\x8A\xE7\x9F\xA5", ansi), u"\u304A\u77E5");
    EXPECT_EQ(DecodeNoticeMessage("\x82\xA8\x92\x6D", ansi),
              ::GetACP() == 932 ? u"\u304A\u77E5" : u"\u201A\u00A8\u2019m");
}

}  // namespace
}  // namespace runlens
