// The program's windows need the common controls, and the browser pane a single-threaded OLE
// apartment, for the whole test run, as the program's entry sets them up.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

namespace {

class WindowingEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        ASSERT_TRUE(::InitCommonControlsEx(&controls));
    }
    void TearDown() override { ::OleUninitialize(); }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new WindowingEnvironment);

}  // namespace
