// Side-by-side timings of the program's operations against the bare system calls they must
// make, as ratios (absolute times drift on shared machines; ratios hold), and the program's
// footprint. Run by tools/bench.sh under wine64.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/sorting.h"
#include "app/win32/main_window.h"
#include "app/win32/process_list_view.h"
#include "core/win32/code_page.h"
#include "core/win32/handles.h"
#include "core/win32/paths.h"
#include "core/win32/text.h"
#include "info/local_page.h"
#include "info/win32/win32_local_page.h"
#include "info/win32/win32_version.h"
#include "inventory/process_list.h"
#include "inventory/win32/win32_inventory.h"
#include "tools/bench/bare_fill.h"
#include "tools/bench/bench_child.h"
#include "tools/bench/timed_fill.h"

namespace {

using namespace runlens;
using Clock = std::chrono::steady_clock;

template <typename F>
double Seconds(F&& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median of the ratios of the rounds' times, round by round.
double MedianRatio(const std::vector<double>& program, const std::vector<double>& bare) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < program.size(); ++i)
        ratios.push_back(program[i] / bare[i]);
    return Median(ratios);
}

// Prints one figure: the program's time beside the bare time it is measured against, their
// ratio and, when there is one, whether the target is met.
double Report(const char* name, double program, const char* bareName, double bare, double target,
              double ratio) {
    std::printf("%-14s program %9.3f ms   %-13s %9.3f ms   ratio %5.2f", name, program * 1e3,
                bareName, bare * 1e3, ratio);
    if (target > 0)
        std::printf("   target <= %.2f: %s", target, ratio <= target ? "met" : "NOT met");
    std::printf("\n");
    std::fflush(stdout);
    return ratio;
}

// Runs the two alternately and reports their medians and, as the ratio, the median of the
// rounds' own ratios: a change of the machine's speed between rounds leaves that alone, where it
// would move the ratio of the two medians.
template <typename A, typename B>
double Compare(const char* name, const char* bareName, int rounds, double target, A&& program,
               B&& bare) {
    std::vector<double> a, b, ratios;
    for (int i = 0; i < rounds; ++i) {
        a.push_back(Seconds(program));
        b.push_back(Seconds(bare));
        ratios.push_back(a.back() / b.back());
    }
    return Report(name, Median(a), bareName, Median(b), target, Median(ratios));
}

// Runs the window's messages as the program's loop does while `more` says so, for at most
// `limit`.
template <typename More>
void PumpWhile(TForm1& form, More&& more, std::chrono::seconds limit) {
    const auto end = Clock::now() + limit;
    MSG message;
    while (more() && Clock::now() < end) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            form.HandleLoopMessage(message);
    }
}

HWND CreateList(HINSTANCE instance) {
    const HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 600, 400,
                                        nullptr, nullptr, instance, nullptr);
    bench::AddColumns(list);
    return list;
}

// ---- Sort: 10,000 rows in the list control against the control's own sort of them.

int CALLBACK CompareAddresses(LPARAM a, LPARAM b, LPARAM descending) {
    return (a < b ? -1 : a > b) * (descending ? -1 : 1);
}

int CALLBACK CompareCaptions(LPARAM a, LPARAM b, LPARAM) {
    return reinterpret_cast<const ProcessRow*>(a)->caption.text.compare(
        reinterpret_cast<const ProcessRow*>(b)->caption.text);
}

void BenchSort(HINSTANCE instance) {
    constexpr int kRows = 10000;
    const HWND list = CreateList(instance);
    auto small = CreateProcessImageList(instance, 16);
    auto large = CreateProcessImageList(instance, 32);
    Win32ProcessListView rows(list, small.get(), large.get());
    std::mt19937 random(7);
    for (int i = 0; i < kRows; ++i) {
        std::string name = "proc" + std::to_string(random() % 100000) + ".exe";
        if (random() % 2)
            name[0] = 'P';
        rows.AppendRow({name, "C:\\x\\" + name, "", 1});
    }
    // The floor is the list control's own sort of the same items with a comparison that only
    // compares the items' data. Each sorts the order the other left, which is random to it.
    int direction = 1;
    int plainDirection = 1;
    Compare(
        "sort", "trivial sort", 41, 1.5, [&] { SortRows(list, direction = -direction, false); },
        [&] {
            plainDirection = -plainDirection;
            ::SendMessageW(list, LVM_SORTITEMS, static_cast<WPARAM>(plainDirection < 0),
                           reinterpret_cast<LPARAM>(&CompareAddresses));
        });
    // What any comparison of the rows' texts costs beyond that: a plain byte comparison of the
    // captions, from the same kind of order the row comparison starts from.
    std::vector<double> plain;
    for (int i = 0; i < 15; ++i) {
        ::SendMessageW(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareAddresses));
        plain.push_back(Seconds([&] {
            ::SendMessageW(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareCaptions));
        }));
    }
    std::printf("%-14s a plain byte comparison of the captions in its place: %.3f ms\n", "",
                Median(plain) * 1e3);
    ::DestroyWindow(list);
}

// The calls a version lookup of one file has to make: size, read, translation, four strings.
void BareVersionLookup(const std::string& file) {
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(file.c_str(), &handle);
    std::vector<char> block(size);
    ::GetFileVersionInfoA(file.c_str(), 0, size, block.data());
    void* value = nullptr;
    UINT length = 0;
    ::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length);
    for (const char* key : {"FileDescription", "ProductName", "CompanyName", "Comments"}) {
        const std::string path = std::string("StringFileInfo\\040904B0\\") + key;
        ::VerQueryValueA(block.data(), path.c_str(), &value, &length);
    }
}

// ---- Page: the local page up to the written file against what it cannot avoid: the version
// lookup of the file and writing the template to a new temporary file.

class NullPane : public BrowserPane {
  public:
    std::u16string last;
    void Navigate(std::u16string_view address) override { last = address; }
    void Update() override {}
    void SetTitleChangeHandler(TitleChangeHandler) override {}
    void Focus() override {}
    bool OfferKey(const KeyMessage&) override { return false; }
};

void BenchPage() {
    Win32LocalPageSystem system;
    const Win32CodePage ansi;
    NullPane pane;
    const ProcessRow row{"notepad.exe", "C:\\windows\\system32\\notepad.exe", "", 2};
    const std::string templateText = system.LoadTextResource("PROC_CN_HTML");
    std::vector<std::string> files;
    Compare(
        "page", "lookup, write", 31, 1.3, [&] { ShowLocalInfoPage(&row, system, ansi, pane); },
        [&] {
            BareVersionLookup(row.caption.text);
            char folder[MAX_PATH];
            char name[MAX_PATH];
            ::GetTempPathA(MAX_PATH, folder);
            // A prefix of its own: names the program takes are no obstacle to it.
            ::GetTempFileNameA(folder, "bar", 0, name);
            const HANDLE file = ::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr);
            const std::string content = templateText + "\r\n";
            DWORD written = 0;
            ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written,
                        nullptr);
            ::CloseHandle(file);
            files.push_back(name);
        });
    for (const std::string& file : files)
        ::DeleteFileA(file.c_str());

    // Where the page's time goes.
    std::vector<double> lookup, fill;
    PageInputs inputs{templateText,  "C:\\runlens.exe",         "www.runlens.example",
                      "notepad.exe", "C:\\windows\\system32\\", {}};
    for (int i = 0; i < 31; ++i) {
        VersionStrings strings;
        lookup.push_back(Seconds([&] { system.ReadVersionStrings("notepad.exe", strings); }));
        inputs.strings = PageStringsFrom(strings, ansi);
        fill.push_back(Seconds([&] { BuildLocalPage(inputs, ansi); }));
    }
    std::printf("%-14s of which the version strings %.3f ms, the filling %.3f ms\n", "",
                Median(lookup) * 1e3, Median(fill) * 1e3);
}

// ---- Version strings against the bare version calls.

std::vector<std::string> FilesWithVersions() {
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    const HANDLE find = ::FindFirstFileA("C:\\windows\\system32\\*.dll", &found);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do {
        const std::string path = std::string("C:\\windows\\system32\\") + found.cFileName;
        DWORD handle = 0;
        if (::GetFileVersionInfoSizeA(path.c_str(), &handle))
            files.push_back(path);
    } while (files.size() < 100 && ::FindNextFileA(find, &found));
    ::FindClose(find);
    return files;
}

void BenchVersion() {
    const std::vector<std::string> files = FilesWithVersions();
    Win32VersionApi api;
    Compare(
        "version", "bare calls", 9, 1.1,
        [&] {
            VersionStrings strings;
            for (const std::string& file : files)
                GetVersionStrings(file, api, strings);
        },
        [&] {
            for (const std::string& file : files)
                BareVersionLookup(file);
        });
}

// ---- Fill: FillProcessList against the calls it must make for the same processes.

int CountProcesses() {
    const UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry)) {
        ++count;
    }
    return count;
}

// The program's fill against the bare fill per row (the work as the program once did it) and
// the least-work floor; returns the floor's median in seconds.
double BenchFill(HINSTANCE instance) {
    // Each fill goes into a list and image lists of its own; the time is the fill's alone.
    auto inFreshList = [instance](auto fill) {
        const HWND list = CreateList(instance);
        auto small = CreateProcessImageList(instance, 16);
        auto large = CreateProcessImageList(instance, 32);
        const double seconds = Seconds([&] { fill(list, small.get(), large.get()); });
        ::DestroyWindow(list);
        return seconds;
    };
    auto programFill = [](HWND list, HIMAGELIST small, HIMAGELIST large) {
        Win32InventorySystem system;
        Win32ProcessListView rows(list, small, large);
        FillProcessList(system, Win32CodePage(), rows);
        rows.AddPendingIcons();
    };
    std::size_t distinctFiles = 0;
    auto bareFill = [&distinctFiles](bool oncePerFile) {
        return [&distinctFiles, oncePerFile](HWND list, HIMAGELIST small, HIMAGELIST large) {
            distinctFiles = bench::BareFill(list, small, large, oncePerFile);
        };
    };
    std::vector<double> program, perRow, leastWork;
    for (int i = 0; i < 7; ++i) {
        program.push_back(inFreshList(programFill));
        perRow.push_back(inFreshList(bareFill(false)));
        leastWork.push_back(inFreshList(bareFill(true)));
    }
    std::printf("fill over %d processes running %zu distinct files\n", CountProcesses(),
                distinctFiles);
    Report("fill", Median(program), "bare per row", Median(perRow), 0,
           MedianRatio(program, perRow));
    Report("fill", Median(program), "least work", Median(leastWork), 1.2,
           MedianRatio(program, leastWork));

    // Where the program's time goes: three more fills through timing stand-ins, of which the
    // middle one is shown.
    std::vector<std::pair<double, bench::FillTimes>> timed;
    for (int i = 0; i < 3; ++i) {
        inFreshList([&timed](HWND list, HIMAGELIST small, HIMAGELIST large) {
            Win32InventorySystem system;
            Win32ProcessListView rows(list, small, large);
            double total = 0;
            bench::FillTimes times = bench::TimeFill(system, Win32CodePage(), rows, total);
            timed.emplace_back(total, std::move(times));
        });
    }
    std::sort(timed.begin(), timed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::printf("%-14s where a fill's %.3f ms go:\n", "", timed[1].first * 1e3);
    timed[1].second.Print(timed[1].first);
    return Median(leastWork);
}

// ---- Refresh: the window's refresh (F5) against the calls it must make to list the same
// processes again, sorted, with a row selected: the least-work fill among them.

void BareRefresh(HINSTANCE instance, HWND list, UniqueImageList& small, UniqueImageList& large) {
    ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    small = CreateProcessImageList(instance, 16);
    large = CreateProcessImageList(instance, 32);
    ListView_SetImageList(list, small.get(), LVSIL_SMALL);
    ListView_SetImageList(list, large.get(), LVSIL_NORMAL);
    bench::BareFill(list, small.get(), large.get(), true);
    ::SendMessageW(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareAddresses));
    LVITEMW select{};
    select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    select.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
}

void BenchRefresh(HINSTANCE instance) {
    TForm1 form(instance);
    if (!form.Create())
        return;
    // Sorted by name with a row selected, as a user leaves the list before pressing F5.
    form.ListViewColumnClick(0);
    LVITEMW select{};
    select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    select.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(form.ListView(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
    const HWND list = CreateList(instance);
    UniqueImageList small;
    UniqueImageList large;
    // The program's refresh until its last icon is in, as the floor's.
    auto refreshed = [&] {
        form.RefreshPopupmenuClick();
        PumpWhile(
            form, [&] { return form.IconsPending() > 0; }, std::chrono::seconds(30));
    };
    Compare("refresh", "bare refresh", 5, 1.15, refreshed,
            [&] { BareRefresh(instance, list, small, large); });
    ::DestroyWindow(list);
}

// ---- Start-up: from process start to the filled window on screen.

struct Started {
    double seconds = 0;
    SIZE_T privateBytes = 0;
};

bool Launch(const std::wstring& program, const std::wstring& arguments, PROCESS_INFORMATION& info) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    return ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &info) != FALSE;
}

// Until the program's window of the class is visible and, with a list id, that list has rows.
Started StartAndWait(const std::wstring& program, const std::wstring& arguments,
                     const wchar_t* windowClass, int listId) {
    PROCESS_INFORMATION info{};
    Started started;
    const auto begin = Clock::now();
    if (!Launch(program, arguments, info))
        return started;
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    for (;;) {
        const HWND window = ::FindWindowW(windowClass, nullptr);
        if (window && ::IsWindowVisible(window)) {
            const HWND list = listId ? ::GetDlgItem(window, listId) : nullptr;
            if (!listId || (list && ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0))
                break;
        }
        if (std::chrono::duration<double>(Clock::now() - begin).count() > 60)
            break;
        ::Sleep(1);
    }
    started.seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (::GetProcessMemoryInfo(info.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof(memory))) {
        // Wine leaves PrivateUsage at 0; the page-file usage is the same figure on Windows.
        started.privateBytes = std::max(memory.PrivateUsage, memory.PagefileUsage);
    }
    ::TerminateProcess(info.hProcess, 0);
    ::WaitForSingleObject(info.hProcess, 10000);
    return started;
}

// The longest time the window took to answer one of the messages sent to it, every 5 ms, from
// another thread.
class LatencyProbe {
  public:
    explicit LatencyProbe(HWND window)
        : thread_([this, window] {
              while (!stop_) {
                  const auto start = Clock::now();
                  DWORD_PTR result = 0;
                  ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
                  const double took = std::chrono::duration<double>(Clock::now() - start).count();
                  longest_ = std::max(longest_.load(), took);
                  std::this_thread::sleep_until(start + std::chrono::milliseconds(5));
              }
          }) {}
    ~LatencyProbe() { Stop(); }
    double Stop() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        return longest_;
    }

  private:
    std::atomic<bool> stop_{false};
    std::atomic<double> longest_{0};
    std::thread thread_;
};

void ReportLatency(const char* name, const char* during, double seconds) {
    std::printf("%-14s longest answer to a message %s: %.1f ms   target <= 100 ms: %s\n", name,
                during, seconds * 1e3, seconds <= 0.1 ? "met" : "NOT met");
    std::fflush(stdout);
}

// The program that says when its icons are in: from its start until then, and the longest the
// window took meanwhile to answer a message.
Started StartUntilIconsIn(const std::wstring& probe, double& longestAnswer) {
    Started started;
    const UniqueHandle iconsIn(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    static int round = 0;
    const std::wstring name = L"runlens-bench-icons-" + std::to_wstring(::GetCurrentProcessId()) +
                              L"-" + std::to_wstring(++round);
    const UniqueHandle named(::CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    PROCESS_INFORMATION info{};
    const auto begin = Clock::now();
    if (!named || !Launch(probe, name, info))
        return started;
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    std::unique_ptr<LatencyProbe> latency;
    while (::WaitForSingleObject(named.get(), 1) != WAIT_OBJECT_0) {
        if (!latency) {
            const HWND window = ::FindWindowW(L"TForm1", nullptr);
            if (window && ::IsWindowVisible(window))
                latency = std::make_unique<LatencyProbe>(window);
        }
        if (std::chrono::duration<double>(Clock::now() - begin).count() > 60)
            break;
    }
    started.seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    longestAnswer = std::max(longestAnswer, latency ? latency->Stop() : 0.0);
    ::TerminateProcess(info.hProcess, 0);
    ::WaitForSingleObject(info.hProcess, 10000);
    return started;
}

// The program's start-up against an empty window, and against a window that holds a list
// filled by the least work, in a program of its own: what a filled window cannot do without,
// icons included. The program shows its rows' texts first and its icons after them.
void BenchStartup(const std::wstring& folder, double leastWorkFill) {
    const std::wstring bareWindow = folder + L"\\runlens_bare_window.exe";
    std::vector<double> program, iconsIn, bare, filled;
    SIZE_T privateBytes = 0;
    double longestAnswer = 0;
    for (int i = 0; i < 7; ++i) {
        const Started started =
            StartAndWait(folder + L"\\runlens.exe", L"", L"TForm1", kListViewId);
        program.push_back(started.seconds);
        privateBytes = std::max(privateBytes, started.privateBytes);
        iconsIn.push_back(
            StartUntilIconsIn(folder + L"\\runlens_icons_probe.exe", longestAnswer).seconds);
        bare.push_back(StartAndWait(bareWindow, L"", L"RunlensBareWindow", 0).seconds);
        filled.push_back(
            StartAndWait(bareWindow, L"--fill", L"RunlensBareWindow", bench::kBareListId).seconds);
    }
    Report("start-up", Median(program), "bare window", Median(bare), 0, MedianRatio(program, bare));
    Report("start-up", Median(program), "window + fill", Median(filled), 0.6,
           MedianRatio(program, filled));
    Report("icons in", Median(iconsIn), "window + fill", Median(filled), 1.15,
           MedianRatio(iconsIn, filled));
    ReportLatency("icons in", "while the icons came in", longestAnswer);
    std::printf(
        "%-14s beyond the window filled by the least work: %.3f ms to the texts, %.3f ms to the"
        " icons (the empty window and the least-work fill above add up to %.3f ms)\n",
        "", (Median(program) - Median(filled)) * 1e3, (Median(iconsIn) - Median(filled)) * 1e3,
        (Median(bare) + leastWorkFill) * 1e3);
    std::printf("%-14s private bytes after start-up with %d processes listed: %.1f MiB\n",
                "footprint", CountProcesses(), static_cast<double>(privateBytes) / (1 << 20));
}

// ---- A lookup whose server stalls: the window's longest answer to a message meanwhile.

class StalledSite final : public SiteClient {
  public:
    bool PageExists(std::string_view, Deadline deadline,
                    const std::atomic<bool>& givenUp) override {
        Stall(deadline, givenUp);
        return false;
    }
    std::string FetchText(std::string_view, Deadline deadline,
                          const std::atomic<bool>& givenUp) override {
        Stall(deadline, givenUp);
        return {};
    }

  private:
    static void Stall(Deadline deadline, const std::atomic<bool>& givenUp) {
        while (!givenUp && std::chrono::steady_clock::now() < deadline)
            ::Sleep(10);
    }
};

void BenchStalledLookup(HINSTANCE instance) {
    TForm1 form(
        instance, [](HWND) { return std::make_unique<NullPane>(); },
        [](const std::string&) { return std::make_shared<StalledSite>(); });
    if (!form.Create())
        return;
    form.Show(SW_SHOWNORMAL);
    const HWND list = form.ListView();
    // The icons first: only the lookup is measured here.
    PumpWhile(
        form, [&] { return form.IconsPending() > 0; }, std::chrono::seconds(30));
    double longest = 0;
    for (int round = 0; round < 5; ++round) {
        LVITEMW select{};
        select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        select.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(list, LVM_SETITEMSTATE, round, reinterpret_cast<LPARAM>(&select));
        LatencyProbe latency(form.Handle());
        NMITEMACTIVATE click{};
        click.hdr = {list, static_cast<UINT_PTR>(kListViewId), static_cast<UINT>(NM_CLICK)};
        click.iItem = round;
        ::SendMessageW(form.Handle(), WM_NOTIFY, kListViewId, reinterpret_cast<LPARAM>(&click));
        PumpWhile(
            form, [] { return true; }, std::chrono::seconds(1));
        longest = std::max(longest, latency.Stop());
    }
    ReportLatency("stalled lookup", "while the probe stalled", longest);
}

// The processes of a busy machine: live processes running a few dozen executables, copies of
// the child program under names of their own in a temporary folder. The processes end, and
// their files go, with the object.
class BusyMachine {
  public:
    BusyMachine(const std::wstring& child, int files, int processes)
        : stop_(::CreateEventW(nullptr, TRUE, FALSE, kBenchStopEvent)) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = temp + (L"runlens-bench-" + std::to_wstring(::GetCurrentProcessId()));
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        for (int i = 0; i < files; ++i) {
            std::wstring file = folder_ + L"\\app" + std::to_wstring(100 + i) + L".exe";
            if (::CopyFileW(child.c_str(), file.c_str(), FALSE))
                files_.push_back(std::move(file));
        }
        for (int i = 0; i < processes && !files_.empty(); ++i)
            Start(files_[static_cast<std::size_t>(i) % files_.size()]);
        // Until every child has come up and waits.
        ::Sleep(2000);
    }
    BusyMachine(const BusyMachine&) = delete;
    BusyMachine& operator=(const BusyMachine&) = delete;
    ~BusyMachine() {
        ::SetEvent(stop_.get());
        for (const UniqueHandle& process : processes_)
            ::WaitForSingleObject(process.get(), 5000);
        for (const std::wstring& file : files_)
            ::DeleteFileW(file.c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }

  private:
    void Start(const std::wstring& file) {
        PROCESS_INFORMATION info{};
        if (Launch(file, L"", info)) {
            ::CloseHandle(info.hThread);
            processes_.emplace_back(info.hProcess);
        }
    }

    UniqueHandle stop_;
    std::wstring folder_;
    std::vector<std::wstring> files_;
    std::vector<UniqueHandle> processes_;
};

std::wstring OwnFolder() {
    const std::wstring program = ProgramFilePath();
    return program.substr(0, program.find_last_of(L'\\'));
}

}  // namespace

// With names of figures (sort, page, version, fill, refresh, start-up) as arguments, only those;
// the fill is measured whenever one of the last three is.
int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> chosen(argv + 1, argv + argc);
    auto wanted = [&chosen](const wchar_t* figure) {
        return chosen.empty() || std::find(chosen.begin(), chosen.end(), figure) != chosen.end();
    };
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    if (wanted(L"sort"))
        BenchSort(instance);
    if (wanted(L"page"))
        BenchPage();
    if (wanted(L"version"))
        BenchVersion();
    if (!wanted(L"fill") && !wanted(L"refresh") && !wanted(L"start-up"))
        return 0;

    // About 200 live processes running about 70 executables, besides the system's own.
    const BusyMachine machine(OwnFolder() + L"\\runlens_bench_child.exe", 70, 200);
    const double leastWorkFill = BenchFill(instance);
    if (wanted(L"refresh"))
        BenchRefresh(instance);
    if (wanted(L"start-up")) {
        BenchStartup(OwnFolder(), leastWorkFill);
        BenchStalledLookup(instance);
    }
    return 0;
}
