// The shipping program run from a folder in which a library was saved under the name of every
// library it imports or loads, as a downloads folder may hold: it starts, fills its list and
// looks a clicked row up, and no planted library runs.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/win32/dynamic_functions.h"
#include "core/win32/handles.h"
#include "core/win32/text.h"
#include "tests/win32/idle_process.h"
#include "tests/win32/reference_site.h"

namespace runlens {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::wstring FromZ(const char* path) {
    std::wstring wide = WideFromUtf8(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}

// The whole file; empty when there is none.
std::string FileBytes(const std::wstring& file) {
    const UniqueFileHandle handle(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!handle || !::GetFileSizeEx(handle.get(), &size) || size.QuadPart > (64 << 20))
        return {};
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!::ReadFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {};
    bytes.resize(read);
    return bytes;
}

// The names of the libraries a program file imports, directly and delay-loaded, read from its
// import tables; empty when the file is no program file.
std::set<std::string> ImportedLibraries(const std::wstring& file) {
    const std::string bytes = FileBytes(file);
    auto read = [&](std::size_t at, auto& value) {
        if (at > bytes.size() || bytes.size() - at < sizeof(value))
            return false;
        std::memcpy(&value, bytes.data() + at, sizeof(value));
        return true;
    };
    IMAGE_DOS_HEADER dos{};
    IMAGE_FILE_HEADER header{};
    WORD magic = 0;
    if (!read(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE)
        return {};
    const std::size_t nt = static_cast<std::size_t>(dos.e_lfanew);
    if (!read(nt + 4, header) || !read(nt + 4 + sizeof(header), magic))
        return {};
    const std::size_t optional = nt + 4 + sizeof(header);
    const bool wide = magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    const std::size_t directories =
        optional + (wide ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                         : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory));
    const std::size_t sections = optional + header.SizeOfOptionalHeader;
    // A relative address as an offset into the file.
    auto offsetOf = [&](DWORD address) -> std::size_t {
        for (WORD i = 0; i < header.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER section{};
            if (!read(sections + i * sizeof(section), section))
                return 0;
            if (address >= section.VirtualAddress &&
                address < section.VirtualAddress + section.SizeOfRawData) {
                return address - section.VirtualAddress + section.PointerToRawData;
            }
        }
        return 0;
    };
    std::set<std::string> names;
    auto addName = [&](DWORD address) {
        const std::size_t at = offsetOf(address);
        if (at == 0 || at >= bytes.size())
            return;
        names.insert(Lower(bytes.substr(at, bytes.find('\0', at) - at)));
    };
    IMAGE_DATA_DIRECTORY imports{};
    if (read(directories + IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof(imports), imports) &&
        imports.VirtualAddress) {
        IMAGE_IMPORT_DESCRIPTOR entry{};
        for (std::size_t at = offsetOf(imports.VirtualAddress); at && read(at, entry) && entry.Name;
             at += sizeof(entry)) {
            addName(entry.Name);
        }
    }
    IMAGE_DATA_DIRECTORY delayed{};
    if (read(directories + IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT * sizeof(delayed), delayed) &&
        delayed.VirtualAddress) {
        IMAGE_DELAYLOAD_DESCRIPTOR entry{};
        for (std::size_t at = offsetOf(delayed.VirtualAddress);
             at && read(at, entry) && entry.DllNameRVA; at += sizeof(entry)) {
            addName(entry.DllNameRVA);
        }
    }
    return names;
}

std::set<std::string> AllowedImports() {
    std::set<std::string> allowed;
    std::istringstream list(RUNLENS_ALLOWED_IMPORTS);
    for (std::string name; list >> name;)
        allowed.insert(Lower(name));
    return allowed;
}

struct FoundWindow {
    DWORD process;
    HWND window;
};

BOOL CALLBACK TakeProgramWindow(HWND window, LPARAM context) {
    auto& wanted = *reinterpret_cast<FoundWindow*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (owner != wanted.process || std::wstring(name) != L"TForm1")
        return TRUE;
    wanted.window = window;
    return FALSE;
}

// The main window of the process; null until it has one.
HWND ProgramWindow(DWORD process) {
    FoundWindow found{process, nullptr};
    ::EnumWindows(&TakeProgramWindow, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

// Waits up to `seconds` for `done`, looking ten times a second.
template <typename Done>
bool WaitFor(int seconds, Done done) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (done())
            return true;
        ::Sleep(100);
    }
    return done();
}

// Wine's load order for the libraries of a program named runlens.exe, as the test sets it: the
// copy in the program's folder first, where it finds one, as Windows does for every library
// that is not one of its known DLLs. Wine takes the order from its registry when a process
// starts (WINEDLLOVERRIDES reaches no process that a Windows program starts); it goes with
// the test.
class NativeFirst {
  public:
    // Whatever an earlier run that did not end left behind goes first.
    NativeFirst() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey); }
    NativeFirst(const NativeFirst&) = delete;
    NativeFirst& operator=(const NativeFirst&) = delete;
    ~NativeFirst() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey); }

    bool Set(const std::string& library) const {
        HKEY key = nullptr;
        const std::wstring path = std::wstring(kAppKey) + L"\\DllOverrides";
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        static constexpr wchar_t kOrder[] = L"native,builtin";
        const LSTATUS set = ::RegSetValueExW(key, WideFromUtf8(library).c_str(), 0, REG_SZ,
                                             reinterpret_cast<const BYTE*>(kOrder), sizeof(kOrder));
        ::RegCloseKey(key);
        return set == ERROR_SUCCESS;
    }

  private:
    static constexpr wchar_t kAppKey[] = L"Software\\Wine\\AppDefaults\\runlens.exe";
};

class PlantedLibraries : public testing::ReferenceSite {};

TEST_F(PlantedLibraries, NoneRunsWhileTheProgramStartsFillsAndLooksUp) {
    // The shipping program where the run names it (the 32-bit machine), else this build's.
    const char* shipped = std::getenv("RUNLENS_PROGRAM");
    const std::wstring program = FromZ(shipped ? shipped : RUNLENS_PROGRAM);
    const std::wstring marker = FromZ(RUNLENS_PLANTED_MARKER);

    // Every library the program file imports, and every one it loads at run time.
    const std::set<std::string> imported = ImportedLibraries(program);
    ASSERT_FALSE(imported.empty()) << ToNarrow(CP_UTF8, program);
    std::set<std::string> names = imported;
    for (const wchar_t* library : kRunTimeLibraries)
        names.insert(Lower(ToNarrow(CP_UTF8, library)));

    const std::wstring folder = testing::TempFolder() + L"runlens-planted-" +
                                std::to_wstring(::GetCurrentProcessId()) + L"\\";
    testing::CreateFolders(folder + L"x");
    const std::wstring planted = folder + L"planted.txt";
    ::DeleteFileW(planted.c_str());
    ASSERT_TRUE(::CopyFileW(program.c_str(), (folder + L"runlens.exe").c_str(), FALSE));
    // The native-first names: every name but the known DLLs, which Windows maps from its
    // KnownDlls section whatever lies beside a program (Wine's loader does not model that, so
    // a planted kernel32 would only show Wine's behaviour), and version.dll, which Wine's own
    // user32 imports as every process starts (Windows' user32 does not): native-first, the
    // planted copy stands in for the system's before the program's first instruction. The
    // common controls are native-first too: the manifest binds them to the system's copy. The
    // build checks that the program file imports no other library than these.
    const std::set<std::string> known = AllowedImports();
    const NativeFirst overrides;
    std::string nativeFirst;
    for (const std::string& name : names) {
        ASSERT_TRUE(::CopyFileW(marker.c_str(), (folder + WideFromUtf8(name)).c_str(), FALSE));
        if ((known.contains(name) && name != "comctl32.dll") || name == "version.dll")
            continue;
        ASSERT_TRUE(overrides.Set(name.substr(0, name.size() - 4)));
        nativeFirst += name + " ";
    }
    ASSERT_NE(nativeFirst.find("wininet"), std::string::npos) << nativeFirst;

    const std::size_t before = Requests().size();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    std::wstring commandLine = L"\"" + folder + L"runlens.exe\"";
    // Started from the planted folder as its current folder too.
    const BOOL ran = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                      nullptr, folder.c_str(), &startup, &started);
    ASSERT_TRUE(ran) << ::GetLastError();
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);

    HWND window = nullptr;
    HWND list = nullptr;
    int rows = 0;
    const bool filled = WaitFor(60, [&] {
        if (::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0)
            return true;  // ended: nothing more to wait for
        window = window ? window : ProgramWindow(started.dwProcessId);
        list = window ? ::FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
        rows = list ? static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
        return rows > 0;
    });
    EXPECT_TRUE(filled && rows > 0) << "the window shows no filled list";

    bool lookedUp = false;
    if (rows > 0) {
        // A click on the first row: below the header, near the left edge.
        RECT header{};
        ::GetWindowRect(::FindWindowExW(list, nullptr, WC_HEADERW, nullptr), &header);
        const LPARAM at = MAKELPARAM(24, header.bottom - header.top + 6);
        ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(list, WM_LBUTTONUP, 0, at);
        // The page probe of the row, with the program's user agent.
        lookedUp = WaitFor(60, [&] {
            const auto lines = Requests();
            return std::any_of(lines.begin() + static_cast<long>(std::min(before, lines.size())),
                               lines.end(), [](const std::string& line) {
                                   return line.starts_with("{\"path\": \"/fairu/") &&
                                          line.find("\"agent\": \"runlens.exe/") !=
                                              std::string::npos;
                               });
        });
        EXPECT_TRUE(lookedUp) << "no page probe reached the site";
        // The notice that follows the first lookup loads nothing new; a moment for it.
        ::Sleep(2000);
    }

    if (window)
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
    }

    EXPECT_EQ(FileBytes(planted), "")
        << "planted libraries ran (native-first: " << nativeFirst << ")";

    for (const std::string& name : names)
        ::DeleteFileW((folder + WideFromUtf8(name)).c_str());
    ::DeleteFileW((folder + L"runlens.exe").c_str());
    ::DeleteFileW(planted.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace runlens
