#pragma once

// The display font's fixed cell: every character is drawn on an 8-pixel grid and a
// line of text is 15 pixels high, so widths are counted, never measured.
namespace DisplayMetrics {

inline constexpr int kCharWidth = 8;
inline constexpr int kLineHeight = 15;

} // namespace DisplayMetrics
