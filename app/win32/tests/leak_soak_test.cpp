// A thousand cycles of what a session does — fill the list, look a process up on the site,
// show the local page — leave the handle, GDI and USER counts and the private bytes where they
// were after the first few; so do a thousand refreshes of the window. RUNLENS_SOAK_CYCLES sets
// fewer where every cycle is slow (the 32-bit machine emulates its processor).
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/win32/main_window.h"
#include "tests/fakes/recording_browser.h"
#include "tests/win32/main_window_access.h"
#include "tests/win32/reference_site.h"
#include "tests/win32/resource_counts.h"

namespace runlens {
namespace {

std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
    return std::max(memory.PrivateUsage, memory.PagefileUsage);
}

// Runs `cycle` a few times to settle, then `count` times more, and checks that the handle, GDI
// and USER counts stay where they were and the private bytes nearly so.
// A thousand, or what RUNLENS_SOAK_CYCLES says.
int SoakCycles() {
    const char* configured = std::getenv("RUNLENS_SOAK_CYCLES");
    const int cycles = configured ? std::atoi(configured) : 1000;
    return cycles > 0 ? cycles : 1000;
}

template <typename Cycle>
void ExpectNoGrowth(const char* name, int count, Cycle&& cycle) {
    // A thread of the background work that has done its last step still takes a moment to
    // end and give its handle back, and a connection the Internet library keeps open for
    // reuse goes after a while: the counts are the lowest of the next few seconds'.
    auto settled = [](const testing::ResourceCounts& limit) {
        testing::ResourceCounts counts = testing::CurrentResourceCounts();
        for (int i = 0;
             i < 30 && !(counts.handles <= limit.handles && counts.gdiObjects <= limit.gdiObjects &&
                         counts.userObjects <= limit.userObjects);
             ++i) {
            ::Sleep(100);
            counts = testing::CurrentResourceCounts();
        }
        return counts;
    };
    for (int i = 0; i < 10; ++i)
        cycle();
    ::Sleep(300);
    const testing::ResourceCounts before = testing::CurrentResourceCounts();
    const std::size_t bytesBefore = PrivateBytes();
    for (int i = 0; i < count; ++i)
        cycle();
    const testing::ResourceCounts after = settled(before);
    const std::size_t bytesAfter = PrivateBytes();
    std::printf("%s: before %s; after %d cycles %s; private bytes %zu -> %zu\n", name,
                ::testing::PrintToString(before).c_str(), count,
                ::testing::PrintToString(after).c_str(), bytesBefore, bytesAfter);
    ::testing::Test::RecordProperty(
        "privateBytesGrowth", static_cast<int>(bytesAfter - std::min(bytesAfter, bytesBefore)));
    // Nothing may grow; a pooled connection of an earlier test may close meanwhile.
    EXPECT_LE(after.handles, before.handles);
    EXPECT_LE(after.gdiObjects, before.gdiObjects);
    EXPECT_LE(after.userObjects, before.userObjects);
    // Under Wine the committed memory creeps up by about 2 KB a cycle (most of it in the list
    // control and image lists the fill creates and destroys); a leaked icon or page per cycle
    // would show as several megabytes more here. Memory leaks of the program's own code are caught
    // by the sanitizers' leak check in the native tests.
    EXPECT_LT(bytesAfter, bytesBefore + (6u << 20));
}

class LeakSoak : public testing::ReferenceSite {};

TEST_F(LeakSoak, AThousandCyclesLeaveNothingBehind) {
    testing::RecordingBrowser* pane = nullptr;
    TForm1 form(::GetModuleHandleW(nullptr), [&pane](HWND) {
        auto recording = std::make_unique<testing::RecordingBrowser>();
        pane = recording.get();
        return recording;
    });
    ASSERT_TRUE(form.Create());
    Inside(form).SetNoticeBox([](const std::wstring&) {});
    const ProcessRow explorer{"explorer.exe", "C:\\windows\\explorer.exe", "", 1};
    const ProcessRow unknown{"soak-unknown.exe", "C:\\windows\\system32\\soak-unknown.exe", "", 1};

    auto cycle = [&] {
        form.RefreshPopupmenuClick();
        ASSERT_TRUE(Inside(form).WaitForIcons());
        Inside(form).ClickRow(explorer);
        ASSERT_TRUE(Inside(form).WaitForLookup());
        Inside(form).ClickRow(unknown);  // no page: the local page
        ASSERT_TRUE(Inside(form).WaitForLookup());
        ASSERT_TRUE(Inside(form).WaitForQuietBackground());
        pane->calls.clear();
        char folder[MAX_PATH];
        ::GetTempPathA(MAX_PATH, folder);
        WIN32_FIND_DATAA found;
        const std::string pattern = std::string(folder) + "htm*.tmp";
        const HANDLE find = ::FindFirstFileA(pattern.c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                ::DeleteFileA((std::string(folder) + found.cFileName).c_str());
            } while (::FindNextFileA(find, &found));
            ::FindClose(find);
        }
    };
    ExpectNoGrowth("leak soak", SoakCycles(), cycle);
}

// The window's refresh: the old rows, their icons and the image lists go each time.
TEST(RefreshSoak, AThousandRefreshesLeaveNothingBehind) {
    TForm1 form(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(form.Create());
    // Each refresh drops the icon work of the one before; the count is taken once the last
    // fill's icons are in and every thread of the dropped ones has ended.
    ExpectNoGrowth("refresh soak", SoakCycles(), [&] {
        form.RefreshPopupmenuClick();
        ASSERT_TRUE(Inside(form).WaitForIcons());
        ASSERT_TRUE(Inside(form).WaitForQuietBackground());
    });
}

}  // namespace
}  // namespace runlens
