#include "info/win32/win32_local_page.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/win32/main_window.h"
#include "core/win32/handles.h"
#include "core/win32/text.h"
#include "tests/fakes/recording_browser.h"
#include "tests/win32/main_window_access.h"
#include "tests/win32/test_environment.h"

namespace runlens {
namespace {

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
    const std::string own = testing::OwnImagePath();
    const ProcessRow row{"runlens_win_tests.exe", own, "", 2};
    char folder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    std::vector<std::string> contents;
    for (int i = 0; i < 2; ++i) {
        ShowLocalInfoPage(&row, system, pane);
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

// The program's window with its first row selected, and the error box's messages.
class PageWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        form_ = std::make_unique<TForm1>(::GetModuleHandleW(nullptr));
        ASSERT_TRUE(form_->Create());
        Inside(*form_).SetErrorBox(
            [this](const std::string& message) { errors_.push_back(message); });
        LVITEMW select{};
        select.stateMask = LVIS_SELECTED;
        select.state = LVIS_SELECTED;
        ::SendMessageW(form_->ListView(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
    }
    void ShowLocalInfoPage() {
        form_->RunHandler([this] { form_->ShowSelectedRowsLocalPage(); });
    }

    std::unique_ptr<TForm1> form_;
    std::vector<std::string> errors_;
};

TEST_F(PageWindow, UnwritableTemporaryFolderShowsTheErrorBox) {
    {
        TemporaryFolder unwritable("Z:\\runlens-no-such-folder\\deeper");
        ShowLocalInfoPage();
    }
    {
        TemporaryFolder tooLong("C:\\" + std::string(300, 'x'));
        ShowLocalInfoPage();
    }
    ASSERT_EQ(errors_.size(), 2u);
    EXPECT_NE(errors_[0].find("I/O error"), std::string::npos) << errors_[0];
    EXPECT_NE(errors_[1].find("too long"), std::string::npos) << errors_[1];
    // The program goes on.
    EXPECT_TRUE(::IsWindow(form_->Handle()));
    EXPECT_NE(Inside(*form_).SelectedRow(), nullptr);
}

// The page files in a folder, by name.
std::vector<std::wstring> PagesIn(const std::wstring& folder) {
    std::vector<std::wstring> pages;
    WIN32_FIND_DATAW found;
    const UniqueFind find(::FindFirstFileW((folder + L"htm*.tmp").c_str(), &found));
    if (!find)
        return pages;
    do {
        pages.push_back(found.cFileName);
    } while (::FindNextFileW(find.get(), &found));
    return pages;
}

std::wstring FreshFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    const std::wstring folder = std::wstring(temp, ::GetTempPathW(MAX_PATH, temp)) + name + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (const std::wstring& page : PagesIn(folder))
        ::DeleteFileW((folder + page).c_str());
    return folder;
}

std::wstring TemporaryName(const std::wstring& folder, unsigned number) {
    wchar_t name[MAX_PATH];
    ::GetTempFileNameW(folder.c_str(), L"htm", number, name);
    return name;
}

std::string ReadWide(const std::wstring& file) {
    const UniqueFileHandle in(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    char buffer[64];
    DWORD read = 0;
    if (!in || !::ReadFile(in.get(), buffer, sizeof(buffer), &read, nullptr))
        return {};
    return std::string(buffer, read);
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

// A folder in which every name is a link to one file (made by the test run): no page can be
// made, the error box says so, and the file the links lead to stays as it was.
TEST_F(PageWindow, NoFreeTemporaryNameShowsTheErrorBox) {
    const char* taken = std::getenv("RUNLENS_TAKEN_TEMP");
    if (!taken)
        GTEST_SKIP() << "the test run makes the folder (RUNLENS_TAKEN_TEMP)";
    {
        TemporaryFolder full(taken);
        ShowLocalInfoPage();
    }
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_NE(errors_[0].find("No temporary file can be made"), std::string::npos) << errors_[0];
    EXPECT_EQ(ReadWide(WideFromUtf8(std::string(taken) + "\\victim.txt")), "precious");
}

// Each new page replaces the one before, and the last goes when the window closes.
TEST_F(PageWindow, OnlyTheNewestPageStaysAndNoneOutlivesTheWindow) {
    const std::wstring folder = FreshFolder(L"runlens-pages");
    TemporaryFolder pages(ToNarrow(CP_ACP, folder));
    ShowLocalInfoPage();
    const std::vector<std::wstring> first = PagesIn(folder);
    ASSERT_EQ(first.size(), 1u);
    ShowLocalInfoPage();
    const std::vector<std::wstring> second = PagesIn(folder);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_NE(second[0], first[0]);
    form_.reset();
    EXPECT_TRUE(PagesIn(folder).empty());
    EXPECT_TRUE(errors_.empty());
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
