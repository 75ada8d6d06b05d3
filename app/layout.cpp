#include "app/layout.h"

#include <algorithm>

namespace runlens {
namespace {

constexpr int kScreenMargin = 200;
constexpr int kMinimumWidth = 635;
constexpr int kMinimumHeight = 475;

}  // namespace

WindowBounds InitialWindowBounds(int screenWidth, int screenHeight) {
    WindowBounds bounds;
    bounds.width = std::max(kMinimumWidth, screenWidth - kScreenMargin);
    bounds.height = std::max(kMinimumHeight, screenHeight - kScreenMargin);
    // Integer division rounds toward zero, also for a negative difference.
    bounds.left = (screenWidth - bounds.width) / 2;
    bounds.top = (screenHeight - bounds.height) / 2;
    return bounds;
}

ResizeLayout ApplyResizeRule(int clientWidth, int column0Width, int column2Width,
                             int scrollBarWidth, int minimumColumn1Width,
                             const ToolbarWidths& buttons, int margin, int gap) {
    ResizeLayout layout;
    // A negative width would tell the list control to size the column to its contents.
    layout.column1Width = std::max(minimumColumn1Width,
                                   clientWidth - column0Width - column2Width - 2 * scrollBarWidth);
    layout.reportLeft = clientWidth - buttons.report - margin;
    layout.smallLeft = layout.reportLeft - buttons.small - gap;
    layout.largeLeft = layout.smallLeft - buttons.large - gap;
    return layout;
}

}  // namespace runlens
