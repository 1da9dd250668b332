#include "windowlayout.h"

namespace WindowLayout {

Places placesFor(int width, int height)
{
    Places p;
    p.leftFrameLeft = width - kLeftFrameWidth - 240;
    p.text1Width = width - kLeftFrameWidth - kText1Left - 240;
    p.transmitFrameWidth = p.text1Width;
    p.text2Width = p.text1Width - 240;
    p.displayWidth = p.text2Width;
    const int d = height - kMinHeight;
    p.text1Height = d + kText1Height;
    p.transmitFrameTop = d + kTransmitFrameTop;
    return p;
}

} // namespace WindowLayout
