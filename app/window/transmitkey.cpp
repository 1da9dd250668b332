#include "transmitkey.h"

#include "codepage.h"

namespace TransmitKey {

bool isMenuKey(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier);
}

std::optional<quint8> byteFor(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    // Tab and Shift+Tab move the focus; Ctrl+I is the way to send 9.
    if (key == Qt::Key_Delete || key == Qt::Key_Tab || key == Qt::Key_Backtab || isMenuKey(modifiers))
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
