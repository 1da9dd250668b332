#include "caretlayout.h"

#include "units.h"

#include <QtGlobal>

namespace CaretLayout {

int caretX(const QList<double> &widths, int caretPos)
{
    int x = kTextLeft;
    const int count = qBound(0, caretPos, int(widths.size()));
    for (int i = 0; i < count; ++i)
        x = Units::roundHalfEven(x + widths[i]);
    return x;
}

int caretFromClick(const QList<double> &widths, double x)
{
    if (x <= kTextLeft)
        return 0;
    int left = kTextLeft;
    for (int i = 0; i < widths.size(); ++i) {
        const int width = Units::roundHalfEven(widths[i]);
        if (left <= x && x <= left + width)
            return i + 1;
        left += width;
    }
    return int(widths.size());
}

} // namespace CaretLayout
