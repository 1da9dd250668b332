#include "cellpalette.h"

namespace CellPalette {

std::optional<QColor> modeColour(quint8 mode)
{
    switch (ByteMode(mode)) {
    case ByteMode::ASCII:
        return QColor(0, 0, 0);
    case ByteMode::HEX:
        return QColor(255, 0, 0);
    case ByteMode::DECIMAL:
        return QColor(0, 0, 255);
    case ByteMode::BINARY:
        return QColor(255, 0, 255);
    case ByteMode::CONTROL:
        return QColor(0, 128, 0);
    }
    return std::nullopt;
}

QColor background()
{
    return QColor(255, 255, 255);
}

QColor cursorMark()
{
    return QColor(0, 0, 0);
}

QColor defaultInk()
{
    return QColor(0, 0, 0);
}

} // namespace CellPalette
