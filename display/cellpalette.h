#pragma once

#include "serialstring.h"

#include <QColor>

#include <optional>

// Colours of the message display: one ink per byte notation on a white ground, and
// the black outline of the cursor mark.
namespace CellPalette {

// The ink of `mode`; nothing for a stored mode value that names no notation.
std::optional<QColor> modeColour(quint8 mode);

QColor background();
QColor cursorMark();
// Ink of a cell that has nothing to inherit (a first byte with an unknown mode).
QColor defaultInk();

} // namespace CellPalette
