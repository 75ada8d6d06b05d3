// The main window's geometry rules, at 96 dots per inch; Scale converts to the monitor's DPI.
#pragma once

namespace runlens {

inline constexpr int kDesignDpi = 96;

// Rounds to the nearest pixel.
constexpr int Scale(int pixels, int dpi) {
    const long long product = static_cast<long long>(pixels) * dpi;
    const long long half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi
                                         : (product - half) / kDesignDpi);
}

struct WindowBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The window takes the screen less 200 pixels each way, at least 635 x 475, centred (on a
// screen narrower than the window the left edge is negative).
WindowBounds InitialWindowBounds(int screenWidth, int screenHeight);

struct ToolbarWidths {
    int large = 0;
    int small = 0;
    int report = 0;
};

struct ResizeLayout {
    int column1Width = 0;
    int reportLeft = 0;
    int smallLeft = 0;
    int largeLeft = 0;
};

// The middle column takes what the outer columns leave, less room for a vertical scroll bar
// twice over; never less than minimumColumn1Width. The three view buttons sit right-aligned,
// one pixel apart, `margin` pixels from the right edge.
ResizeLayout ApplyResizeRule(int clientWidth, int column0Width, int column2Width,
                             int scrollBarWidth, int minimumColumn1Width,
                             const ToolbarWidths& buttons, int margin, int gap);

}  // namespace runlens
