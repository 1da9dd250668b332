#include "linebreaker.h"

#include "linebreak.h"

#include <algorithm>

namespace {

// One line's greedy fill, a character at a time.
struct LineFill
{
    qsizetype content;  // the first position that takes room
    int width;
    int tab;
    qint64 x = 0;
    qsizetype lastBreak = -1;

    // -1 while the line goes on, else the start of the next line.
    qsizetype take(char16_t c, int advance, qsizetype i)
    {
        if (LineBreak::isBreak(c))
            return i + 1;
        if (c == u' ' || c == u'\t') {
            const int w = c == u' ' ? advance : int(tab - x % tab);
            if (x + w > width && i > content)
                return i + 1; // a blank that does not fit hangs at the end
            x += w;
            lastBreak = i + 1;
            return -1;
        }
        return fits(advance, i) ? -1 : (lastBreak >= 0 ? lastBreak : i);
    }

    bool fits(int advance, qsizetype i)
    {
        if (x + advance > width && i > content)
            return false;
        x += advance;
        return true;
    }
};

int fastAdvance(const CharMetrics &metrics, char byte)
{
    return metrics.byteAdvance(byte);
}

int fastAdvance(const CharMetrics &, QChar)
{
    return -1;
}

char16_t unicodeOf(char byte)
{
    return LogText::decode(byte);
}

char16_t unicodeOf(QChar c)
{
    return c.unicode();
}

bool isComma(char byte)
{
    return byte == ',';
}

bool isComma(QChar c)
{
    return c == u',';
}

int fieldAdvance(const CharMetrics &metrics, char byte)
{
    return metrics.byteAdvance(byte);
}

int fieldAdvance(const CharMetrics &metrics, QChar c)
{
    return metrics.advance(c.unicode());
}

// Fills the line on with text outside HEX and DEC stretches, [i, stop).
template<typename Char>
qsizetype fillText(const Char *chars, qsizetype i, qsizetype stop, LineFill &fill, const CharMetrics &metrics)
{
    for (; i < stop; ++i) {
        const Char ch = *chars++;
        const int a = fastAdvance(metrics, ch);
        if (a >= 0 && fill.fits(a, i))
            continue;
        const char16_t c = unicodeOf(ch);
        const qsizetype next = fill.take(c, metrics.advance(c), i);
        if (next >= 0)
            return next;
    }
    return -1;
}

// Fills the line on with a HEX or DEC stretch, [i, stop): digits and commas only, and
// a line may break after each comma and where the stretch begins.
template<typename Char>
qsizetype fillFields(const Char *chars, qsizetype i, qsizetype stop, bool stretchStart, LineFill &fill,
                     const CharMetrics &metrics)
{
    if (stretchStart && i > fill.content)
        fill.lastBreak = i;
    for (; i < stop; ++i) {
        const Char ch = *chars++;
        if (!fill.fits(fieldAdvance(metrics, ch), i))
            return fill.lastBreak >= 0 ? fill.lastBreak : i;
        if (isComma(ch))
            fill.lastBreak = i + 1;
    }
    return -1;
}

// Fills the line on with the block's characters from i; -1 when the block ends first.
template<typename Char>
qsizetype fillBlock(const Char *chars, const FieldSpans &fields, qsizetype base, qsizetype end, qsizetype i,
                    LineFill &lineFill, const CharMetrics &metrics)
{
    LineFill fill = lineFill; // a local copy stays in registers through the loops
    auto span = std::partition_point(fields.cbegin(), fields.cend(),
                                     [&](const FieldSpan &s) { return s.to <= i - base; });
    while (i < end) {
        const bool inField = span != fields.cend() && span->from <= i - base;
        const qsizetype stop = inField ? base + span->to : span != fields.cend() ? base + span->from : end;
        const qsizetype next = inField ? fillFields(chars + (i - base), i, stop, i == base + span->from, fill, metrics)
                                       : fillText(chars + (i - base), i, stop, fill, metrics);
        if (next >= 0)
            return next;
        i = stop;
        if (inField)
            ++span;
    }
    lineFill = fill;
    return -1;
}

} // namespace

qsizetype LineBreaker::next(qsizetype start, qsizetype &block) const
{
    const qsizetype n = m_text.size();
    if (start >= n)
        return -1;
    if (block < 0 || block >= m_text.blockCount() || start < m_text.blockStart(block)
        || start >= m_text.blockEnd(block))
        block = m_text.blockOf(start);
    qsizetype i = start;
    const qsizetype base = m_text.blockStart(block);
    const LogText::BlockView &first = viewOf(block);
    const auto charAt = [&](qsizetype pos) {
        if (pos < base)
            return m_text.at(pos);
        return first.wide ? first.chars.at(pos - base) : QChar(LogText::decode(first.bytes.at(pos - base)));
    };
    if (i > 0 && LineBreak::isPair(charAt(i - 1), charAt(i)))
        ++i;
    LineFill fill{i, m_width, std::max(1, m_metrics.tabStop())};
    while (true) {
        const LogText::BlockView &view = viewOf(block);
        const qsizetype from = m_text.blockStart(block);
        const qsizetype end = m_text.blockEnd(block);
        const qsizetype next = view.wide ? fillBlock(view.chars.constData(), view.fields, from, end, i, fill, m_metrics)
                                         : fillBlock(view.bytes.constData(), view.fields, from, end, i, fill, m_metrics);
        if (next >= 0)
            return next;
        if (block + 1 >= m_text.blockCount())
            return -1;
        ++block;
        i = m_text.blockStart(block);
    }
}

const LogText::BlockView &LineBreaker::viewOf(qsizetype block) const
{
    if (m_viewBlock != block) {
        m_view = m_text.view(block);
        m_viewBlock = block;
    }
    return m_view;
}

void LineBreaker::release() const
{
    m_view = LogText::BlockView{};
    m_viewBlock = -1;
}
