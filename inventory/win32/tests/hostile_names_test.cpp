// Processes whose names the ANSI code page cannot hold, and image paths past MAX_PATH, through
// the real inventory adapter.
#include "inventory/win32/win32_inventory.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/win32/code_page.h"
#include "core/win32/handles.h"
#include "core/win32/paths.h"
#include "core/win32/text.h"
#include "inventory/image_path.h"
#include "inventory/process_list.h"
#include "tests/win32/idle_process.h"

namespace runlens {
namespace {

using testing::CreateFolders;
using testing::IdleProcess;
using testing::TempFolder;

// Look-alikes that best-fit conversion turns into a path separator, a quote (a wildcard to
// the directory search) or "?" (another wildcard): the yen sign (a backslash in code page
// 932), the fullwidth backslash, the division slash, the fullwidth quote, and characters that
// a code page lacks (CJK in 1252, Latin in 932).
constexpr const wchar_t* kHostileCharacters[] = {L"\u00A5", L"\uFF3C", L"\u2215",
                                                 L"\uFF02", L"\u4E00", L"\u0100"};

TEST(ExactAnsi, NoCharacterBecomesAPathCharacterItIsNot) {
    for (const wchar_t* character : kHostileCharacters) {
        const std::wstring path = std::wstring(L"C:\\a") + character + L"b\\x.exe";
        const AnsiText ansi = ExactAnsiFromWide(path);
        // The system's own conversion, for comparison: what the old program listed.
        const std::string bestFit = ToNarrow(CP_ACP, path);
        if (ansi.exact) {
            EXPECT_EQ(WideFromAnsi(ansi.text), path);
            continue;
        }
        EXPECT_EQ(ansi.text.find_first_of("/\"*<>"), std::string::npos) << ansi.text;
        EXPECT_EQ(std::count(ansi.text.begin(), ansi.text.end(), '\\'), 2) << ansi.text;
        EXPECT_NE(WideFromAnsi(ansi.text), path);
        EXPECT_TRUE(ansi.text != bestFit || bestFit.find('?') != std::string::npos)
            << "a look-alike stood in for U+" << std::hex << static_cast<int>(*character);
    }
    EXPECT_EQ(ExactAnsiFromWide(L"C:\\Windows\\notepad.exe").text, "C:\\Windows\\notepad.exe");
    EXPECT_TRUE(ExactAnsiFromWide(L"C:\\Windows\\notepad.exe").exact);
}

std::uint64_t SizeOf(const std::wstring& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

void WriteBytes(const std::wstring& file, std::size_t count) {
    const UniqueFileHandle out(
        ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(out);
    const std::string bytes(count, 'd');
    DWORD written = 0;
    ::WriteFile(out.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Records the rows; the icon work would be asked for the files they wait for.
class RecordingRows : public ProcessListView {
  public:
    std::vector<ProcessRow> rows;
    void InsertRow(std::size_t, ProcessRow row) override { rows.push_back(std::move(row)); }
    void AppendRow(ProcessRow row) override { rows.push_back(std::move(row)); }
    std::vector<std::string> IconsAsked() const {
        std::vector<const ProcessRow*> shown;
        for (const ProcessRow& row : rows)
            shown.push_back(&row);
        return PendingIconFiles(shown);
    }
};

// A program whose file name holds a hostile character, and beside it the file that the
// name's look-alike would name (for "?", a file the wildcard matches), with another size. The
// row must never show that other file's size, nor ask for its icon.
TEST(HostileNames, LookAlikeNamesNeverReachAnotherFile) {
    const std::wstring base = TempFolder() + L"runlens-names\\";
    for (std::size_t i = 0; i < std::size(kHostileCharacters); ++i) {
        const std::wstring folder = base + std::to_wstring(i) + L"\\";
        const std::wstring program = folder + L"x" + kHostileCharacters[i] + L"y.exe";
        const AnsiText exact = ExactAnsiFromWide(program);
        // The file the old, best-fit conversion reached: "/" separates folders, and the
        // directory search reads "?" as any character and a quote as a dot.
        std::wstring decoy = WideFromAnsi(ToNarrow(CP_ACP, program));
        std::replace(decoy.begin(), decoy.end(), L'/', L'\\');
        std::replace(decoy.begin(), decoy.end(), L'?', L'Z');
        std::replace(decoy.begin(), decoy.end(), L'"', L'.');
        if (decoy != program) {
            CreateFolders(decoy);
            WriteBytes(decoy, 777);
        }
        const IdleProcess process(program);
        ASSERT_NE(process.Id(), 0u) << "cannot start " << exact.text;

        Win32InventorySystem system;
        const ImagePathText image = GetProcessImagePath(process.Id(), system, Win32CodePage());
        EXPECT_EQ(image.text.text, exact.text);
        EXPECT_EQ(image.text.exact, exact.exact);

        RecordingRows list;
        FillProcessList(system, Win32CodePage(), list);
        const auto row = std::find_if(list.rows.begin(), list.rows.end(), [&](const ProcessRow& r) {
            return r.path.text == exact.text;
        });
        ASSERT_NE(row, list.rows.end()) << exact.text;
        const std::string fileName = exact.text.substr(exact.text.rfind('\\') + 1);
        EXPECT_EQ(row->caption.text, fileName);
        EXPECT_EQ(row->caption.exact, exact.exact);
        EXPECT_EQ(row->path.exact, exact.exact);
        if (exact.exact) {
            // A character the code page holds: the file's own size.
            EXPECT_EQ(row->sizeText, MakeSizeText(SizeOf(program))) << exact.text;
        } else {
            EXPECT_EQ(row->sizeText, "") << exact.text << " shows another file's size";
            EXPECT_EQ(row->imageIndex, kProgramImage);
            const std::vector<std::string> asked = list.IconsAsked();
            EXPECT_EQ(std::count(asked.begin(), asked.end(), exact.text), 0);
        }
    }
}

// A path the size search reads as a pattern matches only the file the path names.
TEST(HostileNames, SizeSearchTakesNoWildcards) {
    Win32InventorySystem system;
    const std::wstring folder = TempFolder() + L"runlens-wildcards\\";
    CreateFolders(folder);
    WriteBytes(folder + L"axb.exe", 4321);
    const std::string ansiFolder = AnsiFromWide(folder);
    EXPECT_EQ(system.GetFileSizeOf(ansiFolder + "axb.exe"), 4321u);
    for (const char* pattern : {"a?b.exe", "a*", "*.exe", "a<", "a>b.exe", "axb\"exe"}) {
        EXPECT_EQ(system.GetFileSizeOf(ansiFolder + pattern), 0u) << pattern;
        EXPECT_FALSE(system.FileExists(ansiFolder + pattern)) << pattern;
    }
}

// The image-name queries as the system answers them for a path longer than the buffer: the
// full image name fails with ERROR_INSUFFICIENT_BUFFER, the module name is cut, ends in a zero
// in the buffer's last place and reports the buffer's size.
std::wstring g_longImage;

BOOL WINAPI FullImageName(HANDLE, DWORD, LPWSTR buffer, PDWORD size) {
    if (*size <= g_longImage.size()) {
        ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::copy(g_longImage.begin(), g_longImage.end(), buffer);
    buffer[g_longImage.size()] = L'\0';
    *size = static_cast<DWORD>(g_longImage.size());
    return TRUE;
}

DWORD WINAPI ModuleFileName(HANDLE, HMODULE, LPWSTR buffer, DWORD size) {
    const std::size_t copied = std::min<std::size_t>(g_longImage.size(), size - 1);
    std::copy_n(g_longImage.begin(), copied, buffer);
    buffer[copied] = L'\0';
    return copied < g_longImage.size() ? size : static_cast<DWORD>(copied);
}

TEST(LongImagePaths, BothQueryMethodsGiveTheWholePath) {
    for (const std::size_t length : {259u, 260u, 300u, 1000u}) {
        g_longImage = L"C:\\" + std::wstring(length - 9, L'd') + L"\\x.exe";
        ASSERT_EQ(g_longImage.size(), length);
        const std::string expected = AnsiFromWide(g_longImage);
        const std::uint32_t self = ::GetCurrentProcessId();

        Win32InventorySystem both({&FullImageName, &ModuleFileName});
        EXPECT_EQ(both.QueryFullImageName(self).path.text, expected) << length;
        Win32InventorySystem moduleOnly({nullptr, &ModuleFileName});
        const ImagePathText text = GetProcessImagePath(self, moduleOnly, Win32CodePage());
        EXPECT_EQ(text.text.text, expected) << length;
        EXPECT_EQ(text.text.text.find('\0'), std::string::npos);
    }
}

TEST(LongImagePaths, ProgramPathGrowsItsBuffer) {
    const std::wstring whole = ModuleFilePath(nullptr);
    ASSERT_GT(whole.size(), 8u);
    EXPECT_EQ(ModuleFilePath(nullptr, 8), whole);
    EXPECT_EQ(whole.find(L'\0'), std::wstring::npos);
    EXPECT_EQ(FileSystemPath(L"C:\\x.exe"), L"C:\\x.exe");
    const std::wstring deep = L"C:\\" + std::wstring(300, L'd') + L"\\x.exe";
    EXPECT_EQ(FileSystemPath(deep), L"\\\\?\\" + deep);
    const std::wstring share = L"\\\\server\\share\\" + std::wstring(300, L'd');
    EXPECT_EQ(FileSystemPath(share), L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'd'));
}

// A file past MAX_PATH is found and measured through the long form of its path.
TEST(LongImagePaths, FilesPastMaxPathHaveTheirSize) {
    Win32InventorySystem system;
    const std::wstring file = TempFolder() + L"runlens-deep\\" + std::wstring(120, L'd') + L"\\" +
                              std::wstring(120, L'e') + L"\\deep.exe";
    ASSERT_GT(file.size(), static_cast<std::size_t>(MAX_PATH));
    CreateFolders(FileSystemPath(file));
    WriteBytes(FileSystemPath(file), 5000);
    const std::string path = AnsiFromWide(file);
    EXPECT_TRUE(system.FileExists(path));
    EXPECT_EQ(system.GetFileSizeOf(path), 5000u);
}

}  // namespace
}  // namespace runlens
