#pragma once

#include <QRect>

#include <cmath>

// Layout values are written in twips; the screen has 15 twips to a pixel.
// Fractions become integers by rounding to nearest, an exact half to even.
namespace Units {

inline constexpr int kTwipsPerPixel = 15;

inline int roundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

inline int toPixels(int twips)
{
    return roundHalfEven(double(twips) / kTwipsPerPixel);
}

inline int toTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace Units
