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
    p.text1Height = d + 3375;
    p.transmitFrameTop = d + 3600;
    return p;
}

} // namespace WindowLayout
