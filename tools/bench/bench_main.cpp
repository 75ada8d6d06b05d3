// Side-by-side timings of the program's operations against the bare system calls they must
// make, as ratios (absolute times drift on shared machines; ratios hold), and the program's
// footprint. Run by tools/bench.sh under wine64.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/sorting.h"
#include "app/win32/main_window.h"
#include "app/win32/process_list_view.h"
#include "core/win32/handles.h"
#include "core/win32/text.h"
#include "info/local_page.h"
#include "info/win32/win32_local_page.h"
#include "info/win32/win32_version.h"
#include "inventory/process_list.h"
#include "inventory/win32/win32_inventory.h"

namespace {

using namespace runlens;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kStopEvent[] = L"RunlensBenchStop";

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

// Runs the two alternately and reports their medians and ratio.
template <typename A, typename B>
double Compare(const char* name, int rounds, double target, A&& program, B&& bare) {
    std::vector<double> a, b;
    for (int i = 0; i < rounds; ++i) {
        a.push_back(Seconds(program));
        b.push_back(Seconds(bare));
    }
    const double ratio = Median(a) / Median(b);
    std::printf("%-14s program %9.3f ms   bare %9.3f ms   ratio %5.2f", name, Median(a) * 1e3,
                Median(b) * 1e3, ratio);
    if (target > 0)
        std::printf("   target <= %.2f: %s", target, ratio <= target ? "met" : "NOT met");
    std::printf("\n");
    std::fflush(stdout);
    return ratio;
}

HWND CreateList(HINSTANCE instance) {
    const HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 600, 400,
                                        nullptr, nullptr, instance, nullptr);
    for (int column = 0; column < 3; ++column) {
        LVCOLUMNW columnInfo{};
        columnInfo.mask = LVCF_WIDTH | LVCF_FMT;
        columnInfo.fmt = column == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        columnInfo.cx = 100;
        ::SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&columnInfo));
    }
    return list;
}

// ---- Sort: 10,000 rows in the list control against std::sort of the same texts.

int CALLBACK CompareAddresses(LPARAM a, LPARAM b, LPARAM descending) {
    return (a < b ? -1 : a > b) * (descending ? -1 : 1);
}

void BenchSort(HINSTANCE instance) {
    constexpr int kRows = 10000;
    const HWND list = CreateList(instance);
    auto small = CreateProcessImageList(instance, 16);
    auto large = CreateProcessImageList(instance, 32);
    Win32ProcessListView rows(list, small.get(), large.get());
    std::mt19937 random(7);
    std::vector<std::string> texts;
    for (int i = 0; i < kRows; ++i) {
        std::string name = "proc" + std::to_string(random() % 100000) + ".exe";
        if (random() % 2)
            name[0] = 'P';
        texts.push_back(name);
        rows.AppendRow({name, "C:\\x\\" + name, "", 1});
    }
    int direction = 1;
    int plainDirection = 1;
    Compare(
        "sort", 9, 1.5, [&] { SortRows(list, direction = -direction, false); },
        [&] {
            plainDirection = -plainDirection;
            std::sort(texts.begin(), texts.end(), [&](const std::string& x, const std::string& y) {
                return plainDirection > 0 ? x < y : y < x;
            });
        });
    // The list control's own share: its sort with a comparison that only compares addresses.
    std::vector<double> floor;
    for (int i = 0; i < 9; ++i) {
        floor.push_back(Seconds([&] {
            ::SendMessageW(list, LVM_SORTITEMS, static_cast<WPARAM>(i % 2),
                           reinterpret_cast<LPARAM>(&CompareAddresses));
        }));
    }
    std::printf("%-14s of which the list control's own sort, with a trivial comparison: %.3f ms\n",
                "", Median(floor) * 1e3);
    ::DestroyWindow(list);
}

// ---- Page: the local page up to the written file against writing the bare template.

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
    NullPane pane;
    const ProcessRow row{"notepad.exe", "C:\\windows\\system32\\notepad.exe", "", 2};
    const std::string templateText = system.LoadTextResource("PROC_CN_HTML");
    std::vector<std::string> files;
    Compare(
        "page", 31, 1.5,
        [&] {
            ShowLocalInfoPage(&row, system, pane);
            files.push_back(AnsiFromWide(AsWide(pane.last)));
        },
        [&] {
            char folder[MAX_PATH];
            char name[MAX_PATH];
            ::GetTempPathA(MAX_PATH, folder);
            ::GetTempFileNameA(folder, "htm", 0, name);
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
        lookup.push_back(
            Seconds([&] { system.ReadVersionStrings("notepad.exe", inputs.strings); }));
        fill.push_back(Seconds([&] { BuildLocalPage(inputs, system.Rules()); }));
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
        "version", 9, 1.1,
        [&] {
            VersionStrings strings;
            for (const std::string& file : files)
                GetVersionStrings(file, api, strings);
        },
        [&] {
            for (const std::string& file : files) {
                DWORD handle = 0;
                const DWORD size = ::GetFileVersionInfoSizeA(file.c_str(), &handle);
                std::vector<char> block(size);
                ::GetFileVersionInfoA(file.c_str(), 0, size, block.data());
                void* value = nullptr;
                UINT length = 0;
                ::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length);
                for (const char* key :
                     {"FileDescription", "ProductName", "CompanyName", "Comments"}) {
                    const std::string path = std::string("StringFileInfo\\040904B0\\") + key;
                    ::VerQueryValueA(block.data(), path.c_str(), &value, &length);
                }
            }
        });
}

// ---- Fill: FillProcessList against the calls it must make for the same processes.

void BareFill(HWND list, HIMAGELIST small, HIMAGELIST large) {
    char systemDirectory[MAX_PATH];
    ::GetSystemDirectoryA(systemDirectory, MAX_PATH);
    const UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry)) {
        if (entry.th32ProcessID <= 8)
            continue;
        std::string path;
        if (const UniqueHandle process = AdoptProcessHandle(
                ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID))) {
            wchar_t buffer[MAX_PATH];
            DWORD size = MAX_PATH;
            if (::QueryFullProcessImageNameW(process.get(), 0, buffer, &size)) {
                path = AnsiFromWide({buffer, size});
            }
        }
        int image = 1;
        if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            HICON largeIcon = nullptr, smallIcon = nullptr;
            if (::ExtractIconExA(path.c_str(), 0, &largeIcon, &smallIcon, 1) && smallIcon) {
                ::ImageList_AddIcon(small, smallIcon);
                image = ::ImageList_AddIcon(large, largeIcon ? largeIcon : smallIcon);
            }
            if (largeIcon)
                ::DestroyIcon(largeIcon);
            if (smallIcon)
                ::DestroyIcon(smallIcon);
        }
        WIN32_FIND_DATAA found;
        const HANDLE find = ::FindFirstFileA(path.c_str(), &found);
        if (find != INVALID_HANDLE_VALUE)
            ::FindClose(find);
        std::wstring caption = WideFromAnsi(entry.szExeFile);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = INT_MAX;
        item.pszText = caption.data();
        item.iImage = image;
        const int index = static_cast<int>(
            ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        std::wstring text = WideFromAnsi(path);
        LVITEMW sub{};
        sub.iSubItem = 1;
        sub.pszText = text.data();
        ::SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&sub));
    }
}

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

void BenchFill(HINSTANCE instance) {
    std::printf("fill over %d processes\n", CountProcesses());
    auto run = [instance](bool program) {
        const HWND list = CreateList(instance);
        auto small = CreateProcessImageList(instance, 16);
        auto large = CreateProcessImageList(instance, 32);
        const double seconds = Seconds([&] {
            if (program) {
                Win32InventorySystem system;
                Win32ProcessListView rows(list, small.get(), large.get());
                FillProcessList(system, rows);
            } else {
                BareFill(list, small.get(), large.get());
            }
        });
        ::DestroyWindow(list);
        return seconds;
    };
    std::vector<double> a, b;
    for (int i = 0; i < 5; ++i) {
        a.push_back(run(true));
        b.push_back(run(false));
    }
    const double ratio = Median(a) / Median(b);
    std::printf("%-14s program %9.3f ms   bare %9.3f ms   ratio %5.2f   target <= 1.15: %s\n",
                "fill", Median(a) * 1e3, Median(b) * 1e3, ratio, ratio <= 1.15 ? "met" : "NOT met");
}

// ---- Refresh: the window's refresh (F5) against the calls it must make to list the same
// processes again, sorted, with a row selected.

void BareRefresh(HINSTANCE instance, HWND list, UniqueImageList& small, UniqueImageList& large) {
    ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    small = CreateProcessImageList(instance, 16);
    large = CreateProcessImageList(instance, 32);
    ListView_SetImageList(list, small.get(), LVSIL_SMALL);
    ListView_SetImageList(list, large.get(), LVSIL_NORMAL);
    BareFill(list, small.get(), large.get());
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
    Compare(
        "refresh", 5, 1.15, [&] { form.RefreshPopupmenuClick(); },
        [&] { BareRefresh(instance, list, small, large); });
    ::DestroyWindow(list);
}

// ---- Start-up: from process start to the filled window on screen.

struct Started {
    double seconds = 0;
    SIZE_T privateBytes = 0;
};

Started StartAndWait(const std::wstring& program, const wchar_t* windowClass, bool needsRows) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + program + L"\"";
    Started started;
    const auto begin = Clock::now();
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info)) {
        return started;
    }
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    for (;;) {
        const HWND window = ::FindWindowW(windowClass, nullptr);
        if (window && ::IsWindowVisible(window)) {
            const HWND list = ::GetDlgItem(window, kListViewId);
            if (!needsRows || (list && ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0))
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

void BenchStartup(const std::wstring& folder) {
    std::vector<double> a, b;
    SIZE_T privateBytes = 0;
    for (int i = 0; i < 5; ++i) {
        const Started program = StartAndWait(folder + L"\\runlens.exe", L"TForm1", true);
        a.push_back(program.seconds);
        privateBytes = std::max(privateBytes, program.privateBytes);
        b.push_back(StartAndWait(folder + L"\\runlens_bare_window.exe", L"RunlensBareWindow", false)
                        .seconds);
    }
    std::printf(
        "%-14s program %9.3f ms   bare window %9.3f ms   ratio %5.2f"
        "   (the bare fill loop above is the rest)\n",
        "start-up", Median(a) * 1e3, Median(b) * 1e3, Median(a) / Median(b));
    std::printf("%-14s private bytes after start-up with %d processes listed: %.1f MiB\n",
                "footprint", CountProcesses(), static_cast<double>(privateBytes) / (1 << 20));
}

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH];
    std::wstring folder(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
    return folder.substr(0, folder.find_last_of(L'\\'));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wcscmp(argv[1], L"--idle") == 0) {
        const HANDLE stop = ::OpenEventW(SYNCHRONIZE, FALSE, kStopEvent);
        ::WaitForSingleObject(stop, 600000);
        return 0;
    }
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    BenchSort(instance);
    BenchPage();
    BenchVersion();

    // At least 200 live processes: idle children of this program.
    const UniqueHandle stop(::CreateEventW(nullptr, TRUE, FALSE, kStopEvent));
    const std::wstring self = OwnFolder() + L"\\runlens_bench.exe";
    std::vector<UniqueHandle> children;
    while (CountProcesses() < 210 && children.size() < 250) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        std::wstring commandLine = L"\"" + self + L"\" --idle";
        if (!::CreateProcessW(self.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info)) {
            break;
        }
        ::CloseHandle(info.hThread);
        children.emplace_back(info.hProcess);
    }
    ::Sleep(2000);
    BenchFill(instance);
    BenchRefresh(instance);
    BenchStartup(OwnFolder());
    ::SetEvent(stop.get());
    for (const UniqueHandle& child : children)
        ::WaitForSingleObject(child.get(), 5000);
    return 0;
}
