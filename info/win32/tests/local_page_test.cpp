#include "info/win32/win32_local_page.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "app/win32/main_window.h"
#include "tests/fakes/recording_browser.h"
#include "tests/win32/test_environment.h"

namespace runlens {
namespace {

using testing::RecordingBrowser;

std::string OwnPath() {
    char path[MAX_PATH];
    return std::string(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
}

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

// Sets TMP and TEMP for one test.
class TemporaryFolder {
  public:
    explicit TemporaryFolder(const std::string& folder) {
        for (const char* name : {"TMP", "TEMP"}) {
            char value[1024];
            const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof(value));
            saved_.emplace_back(name, std::string(value, length < sizeof(value) ? length : 0));
            ::SetEnvironmentVariableA(name, folder.c_str());
        }
    }
    ~TemporaryFolder() {
        for (const auto& [name, value] : saved_)
            ::SetEnvironmentVariableA(name, value.c_str());
    }

  private:
    std::vector<std::pair<const char*, std::string>> saved_;
};

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
    const std::string own = OwnPath();
    const ProcessRow row{"runlens_win_tests.exe", own, "", 2};
    ShowLocalInfoPage(&row, system, pane);
    ShowLocalInfoPage(&row, system, pane);
    ASSERT_EQ(pane.calls.size(), 6u);
    const std::string first = AsAnsi(pane.calls[2]);
    const std::string second = AsAnsi(pane.calls[5]);
    EXPECT_NE(first, second);

    char folder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    for (const std::string& file : {first, second}) {
        EXPECT_EQ(file.rfind(std::string(folder) + "htm", 0), 0u) << file;
        EXPECT_TRUE(file.ends_with(".tmp")) << file;
        const std::string content = ReadFile(file);
        EXPECT_TRUE(content.ends_with("</html>\r\n"));
        EXPECT_NE(content.find("<title>runlens_win_tests.exe</title>"), std::string::npos);
        EXPECT_NE(content.find("res://" + own + "/GIF/file"), std::string::npos);
        ::DeleteFileA(file.c_str());
    }
    EXPECT_EQ(ReadFile(first), ReadFile(second));
}

TEST(LocalPageErrors, UnwritableTemporaryFolderShowsTheErrorBox) {
    TForm1 form(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(form.Create());
    std::vector<std::string> errors;
    form.SetErrorBox([&errors](const std::string& message) { errors.push_back(message); });
    LVITEMW select{};
    select.stateMask = LVIS_SELECTED;
    select.state = LVIS_SELECTED;
    ::SendMessageW(form.ListView(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));

    {
        TemporaryFolder unwritable("Z:\\runlens-no-such-folder\\deeper");
        form.RunHandler([&form] { form.ShowLocalInfoPage(); });
    }
    {
        TemporaryFolder tooLong("C:\\" + std::string(300, 'x'));
        form.RunHandler([&form] { form.ShowLocalInfoPage(); });
    }
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find("I/O error"), std::string::npos) << errors[0];
    EXPECT_NE(errors[1].find("too long"), std::string::npos) << errors[1];
    // The program goes on.
    EXPECT_TRUE(::IsWindow(form.Handle()));
    EXPECT_NE(form.SelectedRow(), nullptr);
}

class JapaneseLocalePage : public testing::JapaneseLocaleTest {};

TEST_F(JapaneseLocalePage, SystemTextsBecomeUtf8) {
    Win32LocalPageSystem system;
    // プロセス and 表 in code page 932; the second byte of 表 is a backslash.
    EXPECT_EQ(system.Utf8FromAnsi("\x83\x76\x83\x8D\x83\x5A\x83\x58"), "プロセス");
    EXPECT_EQ(system.Utf8FromAnsi("C:\\\x95\x5C\\"), "C:\\表\\");
    const RowValues values =
        MakeRowValues({"a.exe", "C:\\\x95\x5C\\a.exe", "", 1}, system.Rules().isLeadByte);
    EXPECT_EQ(values.folder, "C:\\\x95\x5C\\");
    EXPECT_EQ(values.fileName, "a.exe");
}

}  // namespace
}  // namespace runlens
