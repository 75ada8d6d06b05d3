#include "app/layout.h"

#include <gtest/gtest.h>

namespace runlens {
namespace {

struct ScreenCase {
    int screenWidth;
    int screenHeight;
    WindowBounds expected;
};

class WindowPlacement : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(WindowPlacement, FollowsTheScreen) {
    const ScreenCase& c = GetParam();
    const WindowBounds bounds = InitialWindowBounds(c.screenWidth, c.screenHeight);
    EXPECT_EQ(bounds.left, c.expected.left);
    EXPECT_EQ(bounds.top, c.expected.top);
    EXPECT_EQ(bounds.width, c.expected.width);
    EXPECT_EQ(bounds.height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowPlacement,
                         ::testing::Values(ScreenCase{1920, 1080, {100, 100, 1720, 880}},
                                           ScreenCase{800, 600, {82, 62, 635, 475}},
                                           // Narrower than the window: the left edge is
                                           // negative, rounded toward zero.
                                           ScreenCase{600, 400, {-17, -37, 635, 475}}));

constexpr ToolbarWidths kButtons{28, 29, 28};

TEST(ResizeRule, MiddleColumnTakesTheRestAndButtonsHugTheRight) {
    const ResizeLayout layout = ApplyResizeRule(784, 122, 122, 17, 0, kButtons, 10, 1);
    EXPECT_EQ(layout.column1Width, 784 - 122 - 122 - 34);
    EXPECT_EQ(layout.reportLeft, 784 - 28 - 10);
    EXPECT_EQ(layout.smallLeft, layout.reportLeft - 29 - 1);
    EXPECT_EQ(layout.largeLeft, layout.smallLeft - 28 - 1);
}

TEST(ResizeRule, TooNarrowKeepsTheColumnAtItsMinimumAndTheButtonOrder) {
    for (const int minimum : {0, 1}) {
        const ResizeLayout layout = ApplyResizeRule(100, 122, 122, 17, minimum, kButtons, 10, 1);
        EXPECT_EQ(layout.column1Width, minimum);
        EXPECT_EQ(layout.reportLeft, 62);
        EXPECT_EQ(layout.smallLeft, 32);
        EXPECT_EQ(layout.largeLeft, 3);
    }
    EXPECT_EQ(ApplyResizeRule(278, 122, 122, 17, 1, kButtons, 10, 1).column1Width, 1);
}

TEST(Scale, RoundsToTheNearestPixel) {
    EXPECT_EQ(Scale(23, 96), 23);
    EXPECT_EQ(Scale(23, 144), 35);  // 34.5
    EXPECT_EQ(Scale(19, 192), 38);
    EXPECT_EQ(Scale(-17, 144), -26);  // -25.5
}

}  // namespace
}  // namespace runlens
