#pragma once

#include <QPoint>
#include <QRect>

// Where the byte entry pop-ups appear and when the pointer has left them. Offsets are
// in pixels relative to the widget the pop-up is anchored to; the callers convert them
// to screen pixels. Every pop-up has a 3-pixel border around its labels.
namespace PopupPlacement {

inline constexpr int kBorder = 3;

// The picker's corner for a pick that starts from `code`, released at `releaseX`
// twips in the byte box: the label of `code` then lies over the box, about level
// with its top and starting 16 pixels left of the pointer.
QPoint pickerOffset(int code, double releaseX);

// The mode chooser's corner relative to the mode label's frame, so that the row of
// `mode` lies over the label. A mode that has no row is placed as the first one,
// rather than thousands of pixels away.
QPoint chooserOffset(qint32 mode);

// A pop-up's corner for `popupPos`: never left of or above the screen's origin; the
// right and bottom edges are not kept on screen.
QPoint windowOrigin(QPoint popupPos);

// Whether the pointer still counts as over the pop-up's window (border included);
// a pointer exactly on an edge is inside.
bool pointerInside(const QRect &window, QPoint pointer);

} // namespace PopupPlacement
