#include "numbertext.h"

#include <QByteArray>

#include <algorithm>

namespace NumberText {

namespace {

constexpr qint64 kPast32Bits = 0x100000000LL; // digit strings stop growing here
constexpr qint64 kExponentCap = 1000000000000LL; // far beyond any text length
constexpr qint64 kIntegerDigits = 5; // 32767 has five digits

QString withoutBlanks(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n')
            kept.append(c);
    }
    return kept;
}

int digitValue(QChar c, int base)
{
    int digit = -1;
    if (c >= u'0' && c <= u'9')
        digit = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'f')
        digit = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        digit = c.unicode() - u'A' + 10;
    return digit < base ? digit : -1;
}

qint16 limitTo16Bits(qint64 value)
{
    return qint16(std::clamp<qint64>(value, -32768, 32767));
}

// Digits of `base` from `pos`; the value saturates just past FFFFFFFF, so any length reads safely.
qint64 readDigits(const QString &text, qsizetype pos, int base)
{
    qint64 value = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = digitValue(text.at(pos), base);
        if (digit < 0)
            break;
        value = std::min(value * base + digit, kPast32Bits);
    }
    return value;
}

// Up to FFFF a 16-bit pattern, up to FFFFFFFF a 32-bit one; beyond that a large positive number.
qint16 fromPattern(qint64 value)
{
    if (value <= 0xFFFF)
        return qint16(quint16(value));
    if (value < kPast32Bits)
        return limitTo16Bits(qint32(quint32(value)));
    return limitTo16Bits(value);
}

// A decimal number as its significant digits and a power of ten: value = digits x 10^exponent.
struct Decimal
{
    bool negative = false;
    QByteArray digits;
    qint64 exponent = 0;
};

qsizetype readDecimalDigits(const QString &text, qsizetype pos, QByteArray &digits)
{
    for (; pos < text.size() && digitValue(text.at(pos), 10) >= 0; ++pos)
        digits.append(char(text.at(pos).unicode()));
    return pos;
}

// An exponent counts only with at least one digit; "1E" and "1E+" read as 1.
qint64 readExponent(const QString &text, qsizetype pos)
{
    if (pos >= text.size() || (text.at(pos) != u'e' && text.at(pos) != u'E'))
        return 0;
    ++pos;
    bool negative = false;
    if (pos < text.size() && (text.at(pos) == u'+' || text.at(pos) == u'-'))
        negative = text.at(pos++) == u'-';
    qint64 value = 0;
    for (; pos < text.size() && digitValue(text.at(pos), 10) >= 0; ++pos)
        value = std::min(value * 10 + digitValue(text.at(pos), 10), kExponentCap);
    return negative ? -value : value;
}

Decimal readDecimal(const QString &text)
{
    Decimal number;
    qsizetype pos = 0;
    if (pos < text.size() && (text.at(pos) == u'+' || text.at(pos) == u'-'))
        number.negative = text.at(pos++) == u'-';
    pos = readDecimalDigits(text, pos, number.digits);
    qsizetype fractionDigits = 0;
    if (pos < text.size() && text.at(pos) == u'.') {
        const qsizetype fractionStart = pos + 1;
        pos = readDecimalDigits(text, fractionStart, number.digits);
        fractionDigits = pos - fractionStart;
    }
    if (number.digits.isEmpty())
        return number;
    number.exponent = readExponent(text, pos) - fractionDigits;
    while (number.digits.startsWith('0'))
        number.digits.remove(0, 1);
    while (number.digits.endsWith('0')) {
        number.digits.chop(1);
        ++number.exponent;
    }
    return number;
}

// Exact rounding on the digits, so no text is misread through binary fractions.
qint16 roundDecimal(const Decimal &number)
{
    if (number.digits.isEmpty())
        return 0;
    const qint64 integerLength = number.digits.size() + number.exponent;
    if (integerLength > kIntegerDigits)
        return number.negative ? -32768 : 32767;
    if (integerLength < 0)
        return 0;
    qint64 magnitude = 0;
    for (qint64 i = 0; i < integerLength; ++i)
        magnitude = magnitude * 10 + (i < number.digits.size() ? number.digits.at(i) - '0' : 0);
    const QByteArray fraction = number.digits.mid(integerLength);
    if (!fraction.isEmpty()) {
        const bool aboveHalf = fraction.at(0) > '5' || (fraction.at(0) == '5' && fraction.size() > 1);
        const bool exactHalf = fraction == "5";
        if (aboveHalf || (exactHalf && magnitude % 2 == 1))
            ++magnitude;
    }
    return limitTo16Bits(number.negative ? -magnitude : magnitude);
}

} // namespace

qint16 integerFromText(const QString &text)
{
    const QString kept = withoutBlanks(text);
    if (kept.size() >= 2 && kept.at(0) == u'&') {
        const QChar prefix = kept.at(1).toUpper();
        if (prefix == u'H')
            return fromPattern(readDigits(kept, 2, 16));
        if (prefix == u'O')
            return fromPattern(readDigits(kept, 2, 8));
    }
    return roundDecimal(readDecimal(kept));
}

qint16 hexFromText(const QString &text)
{
    return fromPattern(readDigits(withoutBlanks(text), 0, 16));
}

QString decimalText(qint16 value)
{
    return QString::number(value);
}

QString hexText(qint16 value)
{
    return QString::number(quint16(value), 16).toUpper();
}

} // namespace NumberText
