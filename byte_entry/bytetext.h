#pragma once

#include <QColor>
#include <QString>

// The byte box's state without a widget: the shown text and error flag derived from
// the value and the mode, the caret, the caret and deletion keys, and character entry
// with the shared insertion procedure of the hexadecimal, decimal and binary modes.
// A mode outside 0 to 4 is stored but leaves text, caret and value alone.
class ByteText
{
public:
    enum class Key { Left, Right, Backspace, End, Home, Delete };

    // What a caret or deletion key did: whether the box owns the key in this mode,
    // and whether it removed a character.
    struct KeyResult {
        bool consumed = false;
        bool edited = false;
    };

    qint32 mode() const { return m_mode; }
    // Stores the mode, re-derives the text and puts the caret at the start.
    void setMode(qint32 mode);
    // The stored value limited to 0 to 255.
    quint8 value() const;
    // The stored value itself, up to 999 after a decimal entry.
    qint16 storedValue() const { return m_value; }
    // Stores the byte, re-derives the text and puts the caret at the start.
    void setValue(quint8 value);
    bool error() const { return m_error; }
    const QString &displayText() const { return m_text; }
    int caretPos() const { return m_caretPos; }
    // Clamped to 0 to the text's length.
    void setCaretPos(int caretPos);

    KeyResult pressKey(Key key);
    // One typed character; true when the mode accepted it and the value was taken.
    bool typeCharacter(QChar c);

    // The code a control-code pick starts from: that of the shown name, 0 for none.
    quint8 codeForPick() const;
    // The code handed back by the picker becomes the byte.
    void takePickedCode(quint8 code);

    // Red for text that stands for no valid byte in the mode, black otherwise.
    static QColor textColour(bool error);

private:
    void UpdateText();
    bool typeAscii(QChar c);
    bool insertDigit(QChar c);
    void takeValueFromText();

    QString m_text;
    qint16 m_value = 0;
    qint32 m_mode = 0;
    int m_caretPos = 0;
    bool m_error = false;
};
