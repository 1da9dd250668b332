#include "commport.h"

#include "codepage.h"
#include "transmitkey.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

void CommPort::Text2_KeyPress(const QKeyEvent &key)
{
    send(TransmitKey::byteFor(key.key(), key.modifiers(), key.text()));
}

// Characters composed by an input method (dead keys, compose, ibus) come without a key
// press of their own; each goes out as the key press of a plain character would.
void CommPort::sendComposed(const QInputMethodEvent &input)
{
    for (const QChar c : input.commitString())
        send(CodePage::fromUnicode(c));
}

void CommPort::send(std::optional<quint8> byte)
{
    if (!byte || !MSComm1.PortOpen())
        return;
    const char out = char(*byte);
    MSComm1.Output(QByteArrayView(&out, 1));
}
