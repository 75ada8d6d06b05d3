// The window's side of the local page: the error box when no page can be written, and the
// page files it leaves behind.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/win32/main_window.h"
#include "core/win32/text.h"
#include "tests/win32/main_window_access.h"
#include "tests/win32/page_files.h"

namespace runlens {
namespace {

using testing::FreshFolder;
using testing::PagesIn;
using testing::ReadWide;

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

}  // namespace
}  // namespace runlens
