// A running program whose icon resources are forged, listed by the real window.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/win32/main_window.h"
#include "core/win32/text.h"
#include "tests/fakes/recording_browser.h"
#include "tests/win32/idle_process.h"
#include "tests/win32/main_window_access.h"
#include "tests/win32/test_environment.h"

namespace runlens {
namespace {

// Its icon group claims 65,535 entries and holds two: the system's extraction reads far past
// it. The fill lists it like any program without an icon, and every other row as before.
TEST(ForgedIconWindow, ARunningProgramWithAForgedIconLeavesTheListFull) {
    const std::wstring file = testing::TempFolder() + L"runlens-forged-icon\\forged-icon.exe";
    testing::IdleProcess forged(file, L"" RUNLENS_FORGED_ICON_CHILD);
    ASSERT_NE(forged.Id(), 0u);

    TForm1 form(::GetModuleHandleW(nullptr),
                [](HWND) { return std::make_unique<testing::RecordingBrowser>(); });
    ASSERT_TRUE(form.Create());
    ASSERT_TRUE(Inside(form).WaitForIcons());
    const ProcessRow* forgedRow = nullptr;
    const ProcessRow* ownRow = nullptr;
    const auto rows = Inside(form).Rows().ShownRows();
    for (const ProcessRow* row : rows) {
        if (row->processId == forged.Id())
            forgedRow = row;
        if (row->processId == ::GetCurrentProcessId())
            ownRow = row;
    }
    ASSERT_NE(forgedRow, nullptr) << rows.size() << " rows";
    EXPECT_EQ(forgedRow->caption.text, "forged-icon.exe");
    EXPECT_EQ(forgedRow->path.text, AnsiFromWide(file));
    EXPECT_EQ(forgedRow->imageIndex, kNoImage);
    EXPECT_NE(forgedRow->sizeText, "");
    // The rows around it keep their icons: this test program carries the program's.
    ASSERT_NE(ownRow, nullptr);
    EXPECT_GE(ownRow->imageIndex, 2);
    EXPECT_GT(rows.size(), 2u);
}

}  // namespace
}  // namespace runlens
