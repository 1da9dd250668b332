#include "messagenotation.h"

#include "globals.h"

#include <QStringList>

namespace MessageNotation {

namespace {

constexpr int kMaxByte = 255;
constexpr char16_t kQuote = u'"';
constexpr char16_t kBackslash = u'\\';

const QString kByteExpected = QStringLiteral(
    "expected a byte: a control-code name such as STX, 0x4F, 79, 0b1001111 or \"text\"");

QString hexPair(quint8 value)
{
    return QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

// One ASCII byte as it stands between quotes.
QString asciiChar(quint8 value)
{
    if (value == kQuote || value == kBackslash)
        return QString(QChar(kBackslash)) + QChar(char16_t(value));
    if (value >= 0x20 && value < 0x7F)
        return QString(QChar(char16_t(value)));
    return QStringLiteral("\\x") + hexPair(value);
}

QString word(quint8 value, ByteMode mode)
{
    switch (mode) {
    case ByteMode::HEX:
        return QStringLiteral("0x") + hexPair(value);
    case ByteMode::BINARY:
        return QStringLiteral("0b") + Globals::ByteToBinaryText(value);
    case ByteMode::CONTROL:
        if (value < Globals::kControlCodes)
            return Globals::ControlCodeName(value);
        return QStringLiteral("CNT(%1)").arg(value);
    case ByteMode::ASCII:
    case ByteMode::DECIMAL:
        break;
    }
    return QString::number(value);
}

bool isDelimiter(QChar c)
{
    return c.isSpace() || c == kQuote;
}

// Reads the words of a message one at a time, each into the record.
class Reader
{
public:
    Reader(QStringView text, int firstColumn) : m_text(text), m_firstColumn(firstColumn) {}

    Reading run()
    {
        while (!m_error) {
            while (m_pos < m_text.size() && m_text[m_pos].isSpace())
                ++m_pos;
            if (m_pos == m_text.size())
                break;
            if (m_text[m_pos] == kQuote)
                readText();
            else
                readWord();
        }
        Reading reading;
        reading.error = m_error;
        if (!m_error)
            reading.message = m_message;
        return reading;
    }

private:
    void fail(qsizetype at, const QString &text)
    {
        if (!m_error)
            m_error = Error{m_firstColumn + int(at), text};
    }

    void add(qsizetype at, int value, ByteMode mode)
    {
        if (m_message.count == SerialString::kCapacity)
            return fail(at, QStringLiteral("a 33rd byte: a message holds at most 32 bytes"));
        m_message.values[m_message.count] = quint8(value);
        m_message.modes[m_message.count] = quint8(mode);
        ++m_message.count;
    }

    void readWord()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && !isDelimiter(m_text[m_pos]))
            ++m_pos;
        const QStringView w = m_text.mid(start, m_pos - start);
        if (w.startsWith(u"0x"))
            return number(start, w.mid(2), 16, 2, QStringLiteral("one or two hexadecimal digits after 0x"), ByteMode::HEX);
        if (w.startsWith(u"0b"))
            return number(start, w.mid(2), 2, 8, QStringLiteral("one to eight binary digits after 0b"), ByteMode::BINARY);
        if (w.front().isDigit())
            return number(start, w, 10, 3, QStringLiteral("a decimal number 0 to 255"), ByteMode::DECIMAL);
        if (w.startsWith(u"CNT(") && w.endsWith(u')'))
            return number(start, w.mid(4).chopped(1), 10, 3, QStringLiteral("CNT(32) to CNT(255)"), ByteMode::CONTROL);
        const qint16 code = Globals::ControlCodeFromName(w.toString());
        if (code == 0 && w != u"NUL")
            return fail(start, QStringLiteral("unknown name \"%1\": %2").arg(w, kByteExpected));
        add(start, code, ByteMode::CONTROL);
    }

    void number(qsizetype start, QStringView digits, int base, int maxDigits, const QString &expected, ByteMode mode)
    {
        bool ok = false;
        const int value = digits.size() <= maxDigits && !digits.startsWith(u'+') && !digits.startsWith(u'-')
                              ? digits.toInt(&ok, base)
                              : -1;
        if (!ok || value < 0)
            return fail(start, QStringLiteral("expected %1").arg(expected));
        if (value > kMaxByte || (mode == ByteMode::CONTROL && value < Globals::kControlCodes))
            return fail(start, QStringLiteral("%1 is not a byte: expected %2").arg(m_text.mid(start, m_pos - start), expected));
        add(start, value, mode);
    }

    void readText()
    {
        const qsizetype open = m_pos++;
        while (!m_error) {
            if (m_pos == m_text.size())
                return fail(open, QStringLiteral("expected a closing \" for this text"));
            const QChar c = m_text[m_pos];
            if (c == kQuote) {
                ++m_pos;
                return;
            }
            if (c == kBackslash) {
                escape();
                continue;
            }
            if (c.unicode() < 0x20 || c.unicode() > 0x7E)
                return fail(m_pos, QStringLiteral("expected a printable ASCII character or \\xNN in a text"));
            add(m_pos, c.unicode(), ByteMode::ASCII);
            ++m_pos;
        }
    }

    void escape()
    {
        const qsizetype at = m_pos;
        const QStringView rest = m_text.mid(at + 1);
        if (rest.startsWith(kQuote) || rest.startsWith(kBackslash)) {
            add(at, rest.front().unicode(), ByteMode::ASCII);
            m_pos += 2;
            return;
        }
        bool ok = false;
        const int value = rest.startsWith(u'x') && rest.size() >= 3 ? rest.mid(1, 2).toInt(&ok, 16) : -1;
        if (!ok || value < 0 || rest[1] == u'+' || rest[1] == u'-')
            return fail(at, QStringLiteral("expected \\\", \\\\ or \\x and two hexadecimal digits"));
        add(at, value, ByteMode::ASCII);
        m_pos += 4;
    }

    QStringView m_text;
    int m_firstColumn;
    qsizetype m_pos = 0;
    SerialString m_message;
    std::optional<Error> m_error;
};

} // namespace

QString write(const SerialString &message)
{
    QStringList words;
    QString text;
    const int count = std::clamp<int>(message.count, 0, SerialString::kCapacity);
    for (int i = 0; i < count; ++i) {
        const auto mode = ByteMode(message.modes[i]);
        if (mode == ByteMode::ASCII) {
            text += asciiChar(message.values[i]);
            continue;
        }
        if (!text.isEmpty())
            words << QChar(kQuote) + text + QChar(kQuote);
        text.clear();
        words << word(message.values[i], mode);
    }
    if (!text.isEmpty())
        words << QChar(kQuote) + text + QChar(kQuote);
    return words.join(u' ');
}

Reading read(QStringView text, int firstColumn)
{
    return Reader(text, firstColumn).run();
}

QString quoted(const QString &text)
{
    QString out{QChar(kQuote)};
    for (const QChar c : text) {
        if (c == kQuote || c == kBackslash)
            out += QChar(kBackslash);
        out += c;
    }
    return out + QChar(kQuote);
}

} // namespace MessageNotation
