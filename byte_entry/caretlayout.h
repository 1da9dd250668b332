#pragma once

#include <QList>

// Where the byte box's text and caret sit, in twips, given the width of each shown
// character measured by itself. Positions are brought to whole twips the way the box
// draws them, so a click lands the caret where it is drawn.
namespace CaretLayout {

// The text starts this far from the box's left edge.
inline constexpr int kTextLeft = 30;

// Caret x for `caretPos` characters in front of it; the running sum is rounded after
// each character. A caretPos past the text stops at its end.
int caretX(const QList<double> &widths, int caretPos);

// The caret position a click at `x` asks for: 0 up to the text's left edge, behind
// the character that was hit, and the end of the text when none was.
int caretFromClick(const QList<double> &widths, double x);

} // namespace CaretLayout
