#pragma once

#include <optional>

// Scroll arithmetic of the message display, in scroll steps of one character
// (8 pixels): the bar's range for a line, and the scroll that brings a cursor cell
// into view. Fractions round to nearest, an exact half to even.
namespace ScrollMath {

// Space kept free right of a cursor cell that is scrolled into view.
inline constexpr int kRightMargin = 16;

struct Range {
    bool fits = true;
    int maximum = 0;
    int largeChange = 0;
};

// The range for a line `lineWidth` pixels wide in a view `scaleWidth` wide. A line
// exactly as wide as the view fits; otherwise largeChange is at least 1.
Range rangeFor(int lineWidth, int scaleWidth);

struct View {
    int pixelOffset = 0;
    int scaleWidth = 0;
    int value = 0;
    int maximum = 0;
};

// The Value that scrolls the cell from `left` to `right` (line pixels) into `view`:
// the right end within kRightMargin of the border is scrolled left, a start left of
// the view is scrolled right. Clamped to 0 to view.maximum; nothing when no scroll is due.
std::optional<int> autoScrollValue(int left, int right, const View &view);

} // namespace ScrollMath
