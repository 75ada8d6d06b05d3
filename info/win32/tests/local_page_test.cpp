#include "info/win32/win32_local_page.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/win32/code_page.h"
#include "core/win32/handles.h"
#include "tests/fakes/recording_browser.h"
#include "tests/win32/page_files.h"
#include "tests/win32/test_environment.h"

namespace runlens {
namespace {

using testing::FreshFolder;
using testing::ReadWide;
using testing::RecordingBrowser;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string AsAnsi(std::u16string_view text) {
    std::string out;
    for (const char16_t c : text)
        out += static_cast<char>(c);
    return out;
}

TEST(Win32LocalPage, LoadsTheTemplateResource) {
    Win32LocalPageSystem system;
    const std::string page = system.LoadTextResource("PROC_CN_HTML");
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html"));
    EXPECT_TRUE(page.ends_with("</html>"));
    EXPECT_EQ(system.LoadTextResource("NO_SUCH_RESOURCE"), "");
}

TEST(Win32LocalPage, EachShowingWritesANewTemporaryPage) {
    Win32LocalPageSystem system;
    RecordingBrowser pane;
    const std::string own = testing::OwnImagePath();
    const ProcessRow row{"runlens_win_tests.exe", own, "", 2};
    char folder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    std::vector<std::string> contents;
    for (int i = 0; i < 2; ++i) {
        ShowLocalInfoPage(&row, system, Win32CodePage(), pane);
        const std::string file = AsAnsi(pane.calls.back());
        EXPECT_EQ(file.rfind(std::string(folder) + "htm", 0), 0u) << file;
        EXPECT_TRUE(file.ends_with(".tmp")) << file;
        contents.push_back(ReadFile(file));
        const std::string& content = contents.back();
        EXPECT_TRUE(content.ends_with("</html>\r\n"));
        EXPECT_NE(content.find("<title>runlens_win_tests.exe</title>"), std::string::npos);
        EXPECT_NE(content.find("res://" + own + "/GIF/file"), std::string::npos);
    }
    ASSERT_EQ(pane.calls.size(), 6u);
    const std::string first = AsAnsi(pane.calls[2]);
    const std::string second = AsAnsi(pane.calls[5]);
    EXPECT_NE(first, second);
    EXPECT_EQ(contents[0], contents[1]);
    EXPECT_EQ(::GetFileAttributesA(first.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the newer page replaced it";
}

std::wstring TemporaryName(const std::wstring& folder, unsigned number) {
    wchar_t name[MAX_PATH];
    ::GetTempFileNameW(folder.c_str(), L"htm", number, name);
    return name;
}

// A link planted under the name a page would take is passed over, never written through.
TEST(TemporaryPages, PlantedLinkIsNeverFollowed) {
    const std::wstring folder = FreshFolder(L"runlens-planted");
    const std::wstring victim = folder + L"victim.txt";
    {
        const UniqueFileHandle out(
            ::CreateFileW(victim.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(out.get(), "precious", 8, &written, nullptr));
    }
    // The last number wraps round to the first.
    for (const unsigned first : {0x1234u, 0xFFFFu}) {
        const std::wstring planted = TemporaryName(folder, first);
        ASSERT_TRUE(::CreateHardLinkW(planted.c_str(), victim.c_str(), nullptr));
        NewFile file = CreateNewTemporaryFile(folder, L"htm", first);
        EXPECT_EQ(file.path, TemporaryName(folder, first % 0xFFFF + 1));
        DWORD written = 0;
        EXPECT_TRUE(::WriteFile(file.handle.get(), "page", 4, &written, nullptr));
        file.handle.reset();
        EXPECT_EQ(ReadWide(file.path), "page");
        EXPECT_EQ(ReadWide(victim), "precious");
        ::DeleteFileW(file.path.c_str());
        ::DeleteFileW(planted.c_str());
    }
}

class JapaneseLocalePage : public testing::JapaneseLocaleTest {};

TEST_F(JapaneseLocalePage, SystemTextsBecomeUtf8) {
    const Win32CodePage ansi;
    // プロセス and 表 in code page 932; the second byte of 表 is a backslash.
    EXPECT_EQ(Utf8FromAnsi(ansi, "\x83\x76\x83\x8D\x83\x5A\x83\x58"), "プロセス");
    EXPECT_EQ(Utf8FromAnsi(ansi, "C:\\\x95\x5C\\"), "C:\\表\\");
    const RowValues values = MakeRowValues({"a.exe", "C:\\\x95\x5C\\a.exe", "", 1}, ansi);
    EXPECT_EQ(values.folder, "C:\\\x95\x5C\\");
    EXPECT_EQ(values.fileName.text, "a.exe");
}

}  // namespace
}  // namespace runlens
