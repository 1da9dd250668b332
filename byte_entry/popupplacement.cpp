#include "popupplacement.h"

#include "units.h"

#include <QtGlobal>

namespace PopupPlacement {

namespace {

// The distance the placement steps per picker column and per row, in twips.
constexpr double kColumnStep = 485;
constexpr double kRowStep = 245;
constexpr int kPointerInset = 16;
constexpr qint32 kModes = 5;

constexpr double kTwips = Units::kTwipsPerPixel;

} // namespace

QPoint pickerOffset(int code, double releaseX)
{
    const int column = code / 8;
    const int row = code % 8;
    const int x = Units::roundHalfEven(-(column * kColumnStep) / kTwips - kBorder);
    const int y = Units::roundHalfEven(-(row * kRowStep) / kTwips - kBorder);
    return {Units::roundHalfEven(releaseX / kTwips + x - kPointerInset), y};
}

QPoint chooserOffset(qint32 mode)
{
    const qint32 row = mode >= 0 && mode < kModes ? mode : 0;
    return {-kBorder, Units::roundHalfEven(-(row * kRowStep) / kTwips - kBorder)};
}

QPoint windowOrigin(QPoint popupPos)
{
    return {qMax(0, popupPos.x()), qMax(0, popupPos.y())};
}

bool pointerInside(const QRect &window, QPoint pointer)
{
    // Compared in twips, the window's extent counted from its corner, so the pixel
    // just past the right and bottom edges still counts as on the edge.
    const qint64 t = Units::kTwipsPerPixel;
    const qint64 x = pointer.x() * t;
    const qint64 y = pointer.y() * t;
    const qint64 left = window.x() * t;
    const qint64 top = window.y() * t;
    return x >= left && x <= left + window.width() * t && y >= top
        && y <= top + window.height() * t;
}

} // namespace PopupPlacement
