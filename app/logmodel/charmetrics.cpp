#include "charmetrics.h"

#include "linebreak.h"
#include "logtext.h"

#include <QtMath>

namespace {

constexpr char16_t kControlPictures = 0x2400;
constexpr char16_t kDeletePicture = 0x2421;
constexpr char16_t kNewlinePicture = 0x2424;
constexpr char16_t kBox = 0x25AF;
constexpr char16_t kZeroWidthSpace = 0x200B;

} // namespace

CharMetrics::CharMetrics()
    : m_table(kTableSize, kUnit)
{
    m_table['\t'] = 0;
    m_table['\r'] = 0;
    m_table['\n'] = 0;
    fillByteTable();
}

CharMetrics::CharMetrics(const QFont &font)
    : m_uniform(false)
    , m_metrics(font)
    , m_tabStop(qRound(8 * m_metrics.averageCharWidth() * kUnit))
    , m_table(kTableSize, -1)
{
    // Everything the log can hold is measured now, so appends never measure.
    fillByteTable();
}

void CharMetrics::fillByteTable()
{
    for (int b = 0; b < 256; ++b) {
        const char16_t c = LogText::decode(char(b));
        const bool special = c == u' ' || c == u'\t' || LineBreak::isBreak(c);
        m_bytes[b] = special ? -1 : advance(c);
    }
}

int CharMetrics::slowAdvance(char16_t c) const
{
    if (m_uniform)
        return QChar::isLowSurrogate(c) ? 0 : kUnit;
    if (c >= kTableSize) {
        const auto known = m_other.constFind(c);
        if (known != m_other.cend())
            return *known;
    }
    int a = 0;
    if (c == '\t' || LineBreak::isBreak(c) || QChar::isLowSurrogate(c))
        a = 0;
    else if (QChar::isHighSurrogate(c))
        a = qRound(m_metrics.horizontalAdvance(QChar(QChar::ReplacementCharacter)) * kUnit);
    else
        a = qRound(m_metrics.horizontalAdvance(glyph(QChar(c))) * kUnit);
    if (c < kTableSize)
        m_table[c] = a;
    else
        m_other.insert(c, a);
    return a;
}

QChar CharMetrics::glyph(QChar c)
{
    const char16_t u = c.unicode();
    if (LineBreak::isBreak(c))
        return QChar(kZeroWidthSpace);
    if (u == '\t')
        return c;
    if (u < 0x20)
        return QChar(char16_t(kControlPictures + u));
    if (u == 0x7F)
        return QChar(kDeletePicture);
    if (u >= 0x80 && u < 0xA0)
        return QChar(kBox);
    if (u == QChar::LineSeparator || u == QChar::ParagraphSeparator)
        return QChar(kNewlinePicture);
    return c;
}

QString CharMetrics::glyphs(const QString &text)
{
    QString shown = text;
    for (QChar &c : shown)
        c = glyph(c);
    return shown;
}
