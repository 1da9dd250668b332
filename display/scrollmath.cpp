#include "scrollmath.h"

#include "displaymetrics.h"
#include "units.h"

#include <algorithm>

namespace ScrollMath {

Range rangeFor(int lineWidth, int scaleWidth)
{
    if (lineWidth <= scaleWidth)
        return Range{};
    Range range;
    range.fits = false;
    range.maximum = Units::roundHalfEven(double(lineWidth - scaleWidth) / DisplayMetrics::kCharWidth + 1);
    range.largeChange = std::max(1, Units::roundHalfEven(range.maximum / 4.0));
    return range;
}

std::optional<int> autoScrollValue(int left, int right, const View &view)
{
    double steps = 0;
    if (view.pixelOffset + view.scaleWidth - kRightMargin < right)
        steps = double(right - view.scaleWidth - view.pixelOffset + kRightMargin) / DisplayMetrics::kCharWidth;
    else if (left - view.pixelOffset < 0)
        steps = double(left - view.pixelOffset) / DisplayMetrics::kCharWidth;
    else
        return std::nullopt;
    return std::clamp(Units::roundHalfEven(steps + view.value), 0, std::max(0, view.maximum));
}

} // namespace ScrollMath
