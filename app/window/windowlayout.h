#pragma once

// The resize arithmetic of the main window, in twips: from the window's outer size to
// the places of the controls that follow it. The settings column and everything not
// named here keep their creation places.
namespace WindowLayout {

inline constexpr int kMinWidth = 6615;
inline constexpr int kMinHeight = 5925;

inline constexpr int kLeftFrameWidth = 2655;
// The middle column as designed; at the minimum height it stands exactly so.
inline constexpr int kText1Left = 1440;
inline constexpr int kText1Height = 3375;
inline constexpr int kTransmitFrameTop = 3600;
inline constexpr int kTransmitFrameHeight = 1695;
inline constexpr int kText2Height = 1335;

struct Places {
    int leftFrameLeft = 0;
    int text1Width = 0;
    int text1Height = 0;
    int transmitFrameWidth = 0;
    int transmitFrameTop = 0;
    int text2Width = 0;
    int displayWidth = 0;
};

// Outer width and height already raised to the minimum.
Places placesFor(int width, int height);

} // namespace WindowLayout
