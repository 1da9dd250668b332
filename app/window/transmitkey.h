#pragma once

#include <QString>

#include <optional>

// The byte a key press in the transmit box sends: the code-page byte of the one
// character the key produces. Control combinations give 1 to 26 even where the
// platform reports no text for them; keys that produce no character (arrows,
// function keys, Delete), Tab, Alt combinations and characters outside the code
// page give nothing.
namespace TransmitKey {

// Alt with a key makes no character on Windows: it belongs to menus, not the box.
bool isMenuKey(Qt::KeyboardModifiers modifiers);

std::optional<quint8> byteFor(int key, Qt::KeyboardModifiers modifiers, const QString &text);

} // namespace TransmitKey
