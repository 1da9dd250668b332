#include "transmitkey.h"

#include "codepage.h"

namespace TransmitKey {

std::optional<quint8> byteFor(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    if (key == Qt::Key_Delete)
        return std::nullopt;
    // Some platforms report the plain letter, or no text at all, with Ctrl held.
    const bool control = (modifiers & Qt::ControlModifier) && !(modifiers & (Qt::AltModifier | Qt::MetaModifier));
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z)
        return quint8(key - Qt::Key_A + 1);
    if (text.size() == 1)
        return CodePage::fromUnicode(text.front());
    return std::nullopt;
}

} // namespace TransmitKey
