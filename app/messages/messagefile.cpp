#include "messagefile.h"

#include "messagenotation.h"

#include <QFile>
#include <QSaveFile>

namespace MessageFile {

namespace {

const QString kSlotWord = QStringLiteral("slot");

// The offset of the first byte that is not part of well-formed UTF-8, or -1.
qsizetype firstInvalidUtf8(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = quint8(bytes[i]);
        const int extra = lead < 0x80 ? 0 : lead >= 0xC2 && lead <= 0xDF ? 1 : lead >= 0xE0 && lead <= 0xEF ? 2
                        : lead >= 0xF0 && lead <= 0xF4 ? 3 : -1;
        if (extra < 0 || i + extra >= bytes.size())
            return i;
        quint32 code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = quint8(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return i;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        static constexpr quint32 kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLeast[extra] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return i;
        i += extra + 1;
    }
    return -1;
}

QString hex(uint value, int digits)
{
    return QString::number(value, 16).toUpper().rightJustified(digits, u'0');
}

// Reads one line's words from left to right; positions are indexes into the line.
class LineReader
{
public:
    LineReader(const QString &line, int number) : m_line(line), m_number(number) {}

    std::optional<Error> fail(qsizetype at, const QString &text) const
    {
        return Error{m_number, int(at) + 1, text};
    }

    void skipSpace()
    {
        while (m_pos < m_line.size() && m_line[m_pos].isSpace())
            ++m_pos;
    }

    bool take(QStringView word)
    {
        if (!QStringView(m_line).mid(m_pos).startsWith(word))
            return false;
        m_pos += word.size();
        return true;
    }

    std::optional<int> number()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_line.size() && m_line[m_pos].isDigit() && m_pos - start < 3)
            ++m_pos;
        bool ok = false;
        const int value = QStringView(m_line).mid(start, m_pos - start).toInt(&ok);
        return ok ? std::optional<int>(value) : std::nullopt;
    }

    // A name in double quotes with \" and \\ inside; nothing when it is unclosed.
    std::optional<QString> quoted()
    {
        QString name;
        for (++m_pos; m_pos < m_line.size(); ++m_pos) {
            QChar c = m_line[m_pos];
            if (c == u'"') {
                ++m_pos;
                return name;
            }
            if (c == u'\\' && m_pos + 1 < m_line.size() && (m_line[m_pos + 1] == u'"' || m_line[m_pos + 1] == u'\\'))
                c = m_line[++m_pos];
            name += c;
        }
        return std::nullopt;
    }

    const QString &line() const { return m_line; }
    qsizetype pos() const { return m_pos; }
    bool atQuote() const { return m_pos < m_line.size() && m_line[m_pos] == u'"'; }

private:
    const QString &m_line;
    int m_number;
    qsizetype m_pos = 0;
};

// One line holding a slot into the book; `seen` is the line each slot was on.
std::optional<Error> readSlot(const QString &text, int number, MessageBook &book, std::array<int, MessageBook::kSlots> &seen)
{
    LineReader line(text, number);
    line.skipSpace();
    if (!line.take(kSlotWord))
        return line.fail(line.pos(), QStringLiteral("expected \"slot\", a line starting with # or a blank line"));
    line.skipSpace();
    const qsizetype numberAt = line.pos();
    const std::optional<int> slot = line.number();
    if (!slot)
        return line.fail(numberAt, QStringLiteral("expected a slot number 0 to 24"));
    if (*slot >= MessageBook::kSlots || (line.pos() < text.size() && text[line.pos()].isDigit()))
        return line.fail(numberAt, QStringLiteral("no slot %1: expected a slot number 0 to 24").arg(text.mid(numberAt, line.pos() - numberAt)));
    if (seen[*slot] != 0)
        return line.fail(numberAt, QStringLiteral("slot %1 is already on line %2").arg(*slot).arg(seen[*slot]));
    line.skipSpace();
    const qsizetype nameAt = line.pos();
    if (!line.atQuote())
        return line.fail(nameAt, QStringLiteral("expected the slot's name in double quotes"));
    const std::optional<QString> name = line.quoted();
    if (!name)
        return line.fail(nameAt, QStringLiteral("expected a closing \" for the name"));
    line.skipSpace();
    if (!line.take(u":"))
        return line.fail(line.pos(), QStringLiteral("expected : after the name"));
    const MessageNotation::Reading message = MessageNotation::read(QStringView(text).mid(line.pos()), int(line.pos()) + 1);
    if (message.error)
        return Error{number, message.error->column, message.error->text};
    seen[*slot] = number;
    book.slots[*slot] = message.message;
    book.names[*slot] = *name;
    return std::nullopt;
}

// The line's text, or why it is not text: bad UTF-8 or a control character.
std::optional<Error> decodeLine(QByteArrayView bytes, int number, QString &text)
{
    const qsizetype bad = firstInvalidUtf8(bytes);
    text = QString::fromUtf8(bytes.first(bad < 0 ? bytes.size() : bad));
    if (bad >= 0)
        return Error{number, int(text.size()) + 1, QStringLiteral("expected UTF-8 text, found the byte 0x%1")
                                                      .arg(hex(quint8(bytes[bad]), 2))};
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].category() == QChar::Other_Control && text[i] != u'\t')
            return Error{number, int(i) + 1, QStringLiteral("expected text, found the control character U+%1")
                                                 .arg(hex(text[i].unicode(), 4))};
    }
    return std::nullopt;
}

} // namespace

QString Error::toString() const
{
    if (line == 0)
        return text;
    return QStringLiteral("Line %1, column %2: %3").arg(line).arg(column).arg(text);
}

QByteArray write(const MessageBook &book)
{
    QString text = kHeader + u'\n';
    for (int slot = 0; slot < MessageBook::kSlots; ++slot) {
        if (book.slots[slot].count <= 0 && book.names[slot] == MessageBook::defaultName(slot))
            continue;
        text += QStringLiteral("slot %1 %2:").arg(slot).arg(MessageNotation::quoted(book.names[slot]));
        const QString message = MessageNotation::write(book.slots[slot]);
        text += (message.isEmpty() ? QString() : u' ' + message) + u'\n';
    }
    return text.toUtf8();
}

Reading read(QByteArrayView data)
{
    Reading reading;
    if (data.size() > kMaxBytes) {
        reading.error = Error{0, 0, QStringLiteral("The file is over 1 MB: expected a message file")};
        return reading;
    }
    MessageBook book = MessageBook::defaults();
    std::array<int, MessageBook::kSlots> seen{};
    int number = 0;
    for (qsizetype start = 0; start < data.size() || number == 0;) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        ++number;
        QByteArrayView bytes = data.sliced(start, end - start);
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        start = end + 1;
        QString text;
        if ((reading.error = decodeLine(bytes, number, text)))
            return reading;
        if (number == 1) {
            if (text != kHeader)
                reading.error = Error{1, 1, QStringLiteral("expected the first line \"%1\"").arg(kHeader)};
            if (reading.error)
                return reading;
            continue;
        }
        if (text.trimmed().isEmpty() || text.trimmed().startsWith(u'#'))
            continue;
        if ((reading.error = readSlot(text, number, book, seen)))
            return reading;
    }
    reading.book = book;
    return reading;
}

Reading load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Reading reading;
        reading.error = Error{0, 0, QStringLiteral("%1 could not be opened: %2").arg(path, file.errorString())};
        return reading;
    }
    return read(file.read(kMaxBytes + 1));
}

std::optional<QString> save(const QString &path, const MessageBook &book)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(write(book)) < 0 || !file.commit())
        return QStringLiteral("%1 could not be saved: %2").arg(path, file.errorString());
    return std::nullopt;
}

} // namespace MessageFile
