#include "bytetext.h"

#include "codepage.h"
#include "globals.h"
#include "serialstring.h"

#include <QtGlobal>

#include <optional>

namespace {

constexpr int kByteMax = 255;

bool isMode(qint32 mode, ByteMode which)
{
    return mode == qint32(which);
}

bool isDigitMode(qint32 mode)
{
    return isMode(mode, ByteMode::HEX) || isMode(mode, ByteMode::DECIMAL)
        || isMode(mode, ByteMode::BINARY);
}

// ASCII values that have no printable face in the box.
bool isInvisible(int value)
{
    return value < 32 || value == 127 || (value >= 129 && value <= 144)
        || (value >= 147 && value <= 160);
}

bool isAccepted(qint32 mode, QChar upper)
{
    const char16_t u = upper.unicode();
    const bool decimal = u >= u'0' && u <= u'9';
    if (isMode(mode, ByteMode::HEX))
        return decimal || (u >= u'A' && u <= u'F');
    if (isMode(mode, ByteMode::DECIMAL))
        return decimal;
    return u == u'0' || u == u'1';
}

int fullLength(qint32 mode)
{
    if (isMode(mode, ByteMode::HEX))
        return 2;
    if (isMode(mode, ByteMode::DECIMAL))
        return 3;
    return 8;
}

} // namespace

void ByteText::setMode(qint32 mode)
{
    m_mode = mode;
    UpdateText();
    m_caretPos = 0;
}

quint8 ByteText::value() const
{
    return quint8(qBound(0, int(m_value), kByteMax));
}

void ByteText::setValue(quint8 value)
{
    m_value = value;
    UpdateText();
    m_caretPos = 0;
}

void ByteText::setCaretPos(int caretPos)
{
    m_caretPos = qBound(0, caretPos, int(m_text.size()));
}

void ByteText::UpdateText()
{
    const int v = m_value;
    const bool inByte = v <= kByteMax;
    switch (ByteMode(m_mode)) {
    case ByteMode::ASCII:
        // Above 255 (only a decimal entry stores that) there is no character to show:
        // the digits stay visible, in red.
        m_error = !inByte || isInvisible(v);
        if (!inByte)
            m_text = QString::number(v);
        else if (v == 32)
            m_text = QStringLiteral("Space");
        else
            m_text = m_error ? QStringLiteral("Invisible")
                             : QString(CodePage::toUnicode(quint8(v)));
        break;
    case ByteMode::HEX:
        m_error = !inByte;
        m_text = QString::number(v, 16).toUpper().rightJustified(2, u'0');
        break;
    case ByteMode::DECIMAL:
        m_error = !inByte;
        m_text = QString::number(v);
        break;
    case ByteMode::BINARY:
        m_error = !inByte;
        m_text = inByte ? Globals::ByteToBinaryText(quint8(v)).rightJustified(8, u'0')
                        : QStringLiteral("11111111");
        break;
    case ByteMode::CONTROL:
        m_error = v >= Globals::kControlCodes;
        m_text = m_error ? QStringLiteral("Error") : Globals::ControlCodeNames[v];
        break;
    default:
        break;
    }
}

ByteText::KeyResult ByteText::pressKey(Key key)
{
    if (!isDigitMode(m_mode))
        return {};
    const int length = int(m_text.size());
    bool edited = false;
    switch (key) {
    case Key::Left:
        if (m_caretPos > 0)
            --m_caretPos;
        break;
    case Key::Right:
        if (m_caretPos < length)
            ++m_caretPos;
        break;
    case Key::Backspace:
        if (m_caretPos > 0) {
            m_text.remove(--m_caretPos, 1);
            edited = true;
        }
        break;
    case Key::End:
        m_caretPos = length;
        break;
    case Key::Home:
        m_caretPos = 0;
        break;
    case Key::Delete:
        if (m_caretPos < length) {
            m_text.remove(m_caretPos, 1);
            edited = true;
        }
        break;
    }
    // The shortened text is what the host reads from now on, as after a typed digit.
    if (edited)
        takeValueFromText();
    return {true, edited};
}

bool ByteText::typeCharacter(QChar c)
{
    if (c.unicode() < 32)
        return false;
    if (isMode(m_mode, ByteMode::ASCII))
        return typeAscii(c);
    if (isDigitMode(m_mode))
        return insertDigit(c);
    return false;
}

bool ByteText::typeAscii(QChar c)
{
    // A character the code page cannot hold has no byte to become.
    const std::optional<quint8> code = CodePage::fromUnicode(c);
    if (!code)
        return false;
    m_value = *code;
    UpdateText();
    return true;
}

bool ByteText::insertDigit(QChar c)
{
    const QChar upper = c.toUpper();
    if (!isAccepted(m_mode, upper))
        return false;
    if (m_text.size() >= fullLength(m_mode)) {
        // A full field takes a digit only by dropping a leading zero in front of the caret.
        if (!m_text.startsWith(u'0') || m_caretPos == 0)
            return false;
        m_text.remove(0, 1);
        --m_caretPos;
    }
    m_text.insert(m_caretPos++, upper);
    takeValueFromText();
    return true;
}

void ByteText::takeValueFromText()
{
    if (isMode(m_mode, ByteMode::BINARY)) {
        m_value = Globals::BinaryTextToByte(m_text);
        m_error = false;
        return;
    }
    // The text holds at most three digits of its mode, so the number fits; empty reads 0.
    const int base = isMode(m_mode, ByteMode::HEX) ? 16 : 10;
    m_value = qint16(m_text.toInt(nullptr, base));
    m_error = m_value > kByteMax;
}

quint8 ByteText::codeForPick() const
{
    return quint8(Globals::ControlCodeFromName(m_text));
}

void ByteText::takePickedCode(quint8 code)
{
    m_value = code;
    if (code < Globals::kControlCodes) {
        m_text = Globals::ControlCodeNames[code];
        m_error = false;
    } else {
        UpdateText();
    }
}

QColor ByteText::textColour(bool error)
{
    return error ? QColor(255, 0, 0) : QColor(0, 0, 0);
}
