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

#include "app/agent_string.h"
#include "app/win32/main_window.h"
#include "app/win32/process_list_view.h"
#include "core/win32/code_page.h"
#include "core/win32/text.h"
#include "info/local_page.h"
#include "info/online_lookup.h"
#include "info/win32/win32_internet.h"
#include "info/win32/win32_local_page.h"
#include "inventory/process_list.h"
#include "inventory/win32/win32_inventory.h"
#include "tests/fakes/recording_browser.h"
#include "tests/win32/reference_site.h"
#include "tests/win32/resource_counts.h"
#include "tests/win32/site_lookup.h"

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
    for (int i = 0; i < 10; ++i)
        cycle();
    const testing::ResourceCounts before = testing::CurrentResourceCounts();
    const std::size_t bytesBefore = PrivateBytes();
    for (int i = 0; i < count; ++i)
        cycle();
    const testing::ResourceCounts after = testing::CurrentResourceCounts();
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
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    Win32InventorySystem inventory;
    Win32LocalPageSystem pages;
    testing::SiteLookup site("runlens-soak/1");
    testing::RecordingBrowser pane;
    const ProcessRow explorer{"explorer.exe", "C:\\windows\\explorer.exe", "", 1};
    const ProcessRow* selected = &explorer;
    const Win32CodePage ansi;
    OnlineLookup lookup(
        site, ansi, pane, [&] { return selected; },
        [&] { ShowLocalInfoPage(selected, pages, ansi, pane); });
    const ProcessRow unknown{"soak-unknown.exe", "C:\\windows\\system32\\soak-unknown.exe", "", 1};

    auto cycle = [&] {
        const HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 300,
                                            200, nullptr, nullptr, instance, nullptr);
        {
            auto small = CreateProcessImageList(instance, 16);
            auto large = CreateProcessImageList(instance, 32);
            Win32ProcessListView rows(list, small.get(), large.get());
            FillProcessList(inventory, ansi, rows);
            ::DestroyWindow(list);
        }
        selected = &explorer;
        lookup.LookupProcess();
        selected = &unknown;
        lookup.LookupProcess();  // no page: the local page
        pane.calls.clear();
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
    ExpectNoGrowth("refresh soak", SoakCycles(), [&] { form.RefreshPopupmenuClick(); });
}

}  // namespace
}  // namespace runlens
