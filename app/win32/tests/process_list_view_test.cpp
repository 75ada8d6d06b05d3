#include "app/win32/process_list_view.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "core/win32/code_page.h"
#include "core/win32/text.h"
#include "inventory/process_list.h"
#include "inventory/win32/win32_icon_resources.h"
#include "inventory/win32/win32_inventory.h"
#include "lang/sprache_japan.h"
#include "tests/win32/resource_counts.h"
#include "tests/win32/test_environment.h"

namespace runlens {
namespace {

using testing::CurrentResourceCounts;
using testing::OwnImagePath;
using testing::ResourceCounts;

class ListViewFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        listView_ = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 600, 400,
                                      nullptr, nullptr, instance, nullptr);
        ASSERT_NE(listView_, nullptr);
        for (int column = 0; column < 3; ++column) {
            LVCOLUMNW columnInfo{};
            columnInfo.mask = LVCF_WIDTH;
            columnInfo.cx = 100;
            ::SendMessageW(listView_, LVM_INSERTCOLUMNW, column,
                           reinterpret_cast<LPARAM>(&columnInfo));
        }
        small_ = CreateProcessImageList(instance, 16);
        large_ = CreateProcessImageList(instance, 32);
        ASSERT_TRUE(small_ && large_);
        view_ = std::make_unique<Win32ProcessListView>(listView_, small_.get(), large_.get());
    }
    void TearDown() override {
        view_.reset();
        if (listView_)
            ::DestroyWindow(listView_);
    }

    std::wstring Text(int item, int subItem) const {
        wchar_t buffer[512] = {};
        LVITEMW query{};
        query.iSubItem = subItem;
        query.pszText = buffer;
        query.cchTextMax = 512;
        ::SendMessageW(listView_, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&query));
        return buffer;
    }
    int Count() const {
        return static_cast<int>(::SendMessageW(listView_, LVM_GETITEMCOUNT, 0, 0));
    }
    // The image the control shows for an item; nothing when it cannot say.
    std::optional<int> ItemImage(int item) const {
        LVITEMW query{};
        query.mask = LVIF_IMAGE;
        query.iItem = item;
        if (!::SendMessageW(listView_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)))
            return std::nullopt;
        return query.iImage;
    }

    HWND listView_ = nullptr;
    UniqueImageList small_;
    UniqueImageList large_;
    std::unique_ptr<Win32ProcessListView> view_;
};

TEST_F(ListViewFixture, StockImagesComeFirst) {
    EXPECT_EQ(::ImageList_GetImageCount(small_.get()), 2);
    EXPECT_EQ(::ImageList_GetImageCount(large_.get()), 2);
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(large_.get(), &cx, &cy);
    EXPECT_EQ(cx, 32);
}

TEST_F(ListViewFixture, RowsKeepTheirPlacesTextsAndData) {
    view_->AppendRow({"late.exe", " denied", "", kProgramImage});
    view_->InsertRow(0, {"first.exe", "C:\\first.exe", "1.000 byte", 2});
    view_->InsertRow(1, {"second.exe", "C:\\second.exe", "", kNoImage});
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(Text(0, 0), L"first.exe");
    EXPECT_EQ(Text(0, 1), L"C:\\first.exe");
    EXPECT_EQ(Text(0, 2), L"1.000 byte");
    EXPECT_EQ(Text(1, 0), L"second.exe");
    EXPECT_EQ(Text(2, 0), L"late.exe");
    EXPECT_EQ(Text(2, 1), L" denied");
    ASSERT_NE(view_->RowAt(2), nullptr);
    EXPECT_EQ(view_->RowAt(2)->caption.text, "late.exe");
    EXPECT_EQ(view_->RowAt(0)->imageIndex, 2);
    EXPECT_EQ(view_->RowAt(7), nullptr);
}

// The control reads -1 as "ask the parent"; a row without an image says "none" in its terms.
TEST_F(ListViewFixture, ItemImagesAreTheRowsOrNone) {
    view_->AppendRow({"own.exe", "C:\\own.exe", "", 2});
    view_->AppendRow({"none.exe", "C:\\none.exe", "", kNoImage});
    view_->AppendRow({"status.exe", " denied", "", kProgramImage});
    const int expected[] = {2, I_IMAGENONE, kProgramImage};
    for (int item = 0; item < 3; ++item) {
        LVITEMW query{};
        query.mask = LVIF_IMAGE;
        query.iItem = item;
        ASSERT_TRUE(::SendMessageW(listView_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)));
        EXPECT_EQ(query.iImage, expected[item]) << item;
    }
    EXPECT_EQ(view_->RowAt(1)->imageIndex, kNoImage);
}

ProcessRow PathRow(std::string path, bool administratorHint = false) {
    ProcessRow row{"x.exe", std::move(path), "", kProgramImage};
    row.administratorHint = administratorHint;
    return row;
}

TEST(PathColumn, ShowsTheAdministratorHintWhateverTheCodePage) {
    const std::string ansiHint = AnsiFromWide(WideFromUtf8(Sprache_Japan::AdministratorHint));
    const std::wstring hint = WideFromUtf8(Sprache_Japan::AdministratorHint);
    EXPECT_EQ(PathColumnText(PathRow(" Access is denied     " + ansiHint, true)),
              L" Access is denied     " + hint);
    EXPECT_EQ(PathColumnText(PathRow(" Access is denied")), L" Access is denied");
    EXPECT_EQ(PathColumnText(PathRow("C:\\x.exe")), L"C:\\x.exe");
}

// The row says whether it carries the hint; a text that only ends as the hint does is shown
// as the code page holds it.
TEST(PathColumn, TextIsNotTakenForTheHint) {
    const std::string lookalike =
        " Access is denied     " + AnsiFromWide(WideFromUtf8(Sprache_Japan::AdministratorHint));
    EXPECT_EQ(PathColumnText(PathRow(lookalike)), WideFromAnsi(lookalike));
}

TEST_F(ListViewFixture, IconGoesIntoBothListsAtTheSameIndex) {
    // This test program carries the program's icons.
    EXPECT_EQ(view_->AddFileIcon(OwnImagePath()), 2);
    EXPECT_EQ(::ImageList_GetImageCount(small_.get()), 3);
    EXPECT_EQ(::ImageList_GetImageCount(large_.get()), 3);
}

TEST_F(ListViewFixture, BrokenIconDirectoryGetsNoImage) {
    char folder[MAX_PATH + 1];
    ::GetTempPathA(MAX_PATH + 1, folder);
    const std::string file = std::string(folder) + "runlens-broken.ico";
    // An icon directory that claims five images and holds none.
    std::ofstream(file, std::ios::binary) << std::string("\0\0\1\0\5\0\x10\x10\0\0", 10);
    EXPECT_EQ(view_->AddFileIcon(file), kNoImage);
    EXPECT_EQ(::ImageList_GetImageCount(small_.get()), ::ImageList_GetImageCount(large_.get()));
    ::DeleteFileA(file.c_str());
}

// Files whose icon resources lie about themselves count as files without an icon; the system's
// extraction never sees them. The same resources told truly give an icon.
TEST_F(ListViewFixture, ForgedIconFilesGetNoImageAndLeakNothing) {
    const std::string fixtures = RUNLENS_ICON_FIXTURES;
    const char* forged[] = {
        "count_65535",    "missing_icon", "entry_size_0",    "entry_size_ffffffff", "width_extreme",
        "height_extreme", "bits_extreme", "colours_extreme", "truncated",           "png_past_end"};
    auto file = [&](const char* name) { return fixtures + "/" + name + ".dll"; };
    // The first round loads what stays loaded; the second is counted.
    EXPECT_GE(view_->AddFileIcon(file("sound")), 2);
    const ResourceCounts before = CurrentResourceCounts();
    for (const char* name : forged) {
        EXPECT_FALSE(FileIconsAreSound(WideFromAnsi(file(name)))) << name;
        EXPECT_EQ(view_->AddFileIcon(file(name)), kNoImage) << name;
    }
    EXPECT_TRUE(FileIconsAreSound(WideFromAnsi(file("sound"))));
    EXPECT_EQ(CurrentResourceCounts(), before);
    EXPECT_EQ(::ImageList_GetImageCount(small_.get()), 3);
    EXPECT_EQ(::ImageList_GetImageCount(large_.get()), 3);
}

TEST_F(ListViewFixture, FileWithoutIconGetsNoImage) {
    char folder[MAX_PATH + 1];
    ::GetTempPathA(MAX_PATH + 1, folder);
    const std::string file = std::string(folder) + "runlens-no-icon.exe";
    std::ofstream(file, std::ios::binary) << "MZ not really a program";
    EXPECT_EQ(view_->AddFileIcon(file), kNoImage);
    EXPECT_EQ(view_->AddFileIcon(std::string(folder) + "runlens-missing.exe"), kNoImage);
    EXPECT_EQ(::ImageList_GetImageCount(small_.get()), 2);
    EXPECT_EQ(::ImageList_GetImageCount(large_.get()), 2);
    ::DeleteFileA(file.c_str());
}

TEST_F(ListViewFixture, FillListsThisProcessAndLeaksNothing) {
    Win32InventorySystem system;
    // The first fill loads what stays loaded.
    FillProcessList(system, Win32CodePage(), *view_);
    view_->AddPendingIcons();
    const int rows = Count();
    ASSERT_GT(rows, 0);
    bool found = false;
    for (int item = 0; item < rows; ++item) {
        const ProcessRow* row = view_->RowAt(item);
        ASSERT_NE(row, nullptr);
        if (row->caption.text == "runlens_win_tests.exe") {
            found = true;
            EXPECT_EQ(row->path.text, OwnImagePath());
            // The control shows the icon the fill found for the row.
            EXPECT_EQ(ItemImage(item), row->imageIndex);
            EXPECT_GE(row->imageIndex, 2);
            EXPECT_NE(row->sizeText, "");
        }
    }
    EXPECT_TRUE(found);

    const ResourceCounts before = CurrentResourceCounts();
    ::SendMessageW(listView_, LVM_DELETEALLITEMS, 0, 0);
    FillProcessList(system, Win32CodePage(), *view_);
    view_->AddPendingIcons();
    EXPECT_EQ(CurrentResourceCounts(), before);
    EXPECT_EQ(::ImageList_GetImageCount(small_.get()), ::ImageList_GetImageCount(large_.get()));
}

}  // namespace
}  // namespace runlens
