#include "wraplayout.h"

#include <algorithm>
#include <limits>

void WrapLayout::relayout()
{
    m_blocks.fill(BlockLines{}, m_text.blockCount());
    m_linesBefore.fill(0, m_text.blockCount() + 1);
    rewrap(Restart{}, std::numeric_limits<qsizetype>::max());
}

void WrapLayout::swapLines(WrapLayout &other)
{
    m_blocks.swap(other.m_blocks);
    m_linesBefore.swap(other.m_linesBefore);
    // Cached lines and views belong to the text each had.
    for (WrapLayout *layout : {this, &other}) {
        ++layout->m_revision;
        layout->releaseView();
    }
}

WrapLayout::Restart WrapLayout::restartFor(qsizetype pos) const
{
    // Two lines back: a break can look ahead into the next line (a word that did
    // not fit), but a change cannot reach a line that ended before the line before it.
    const qint64 line = std::max<qint64>(0, lineOf(pos) - 2);
    return Restart{lineStart(line), line};
}

void WrapLayout::update(const LogText::BlockChange &change, const Restart &restart)
{
    // The line holding the first changed block's start lies before the change.
    const qsizetype keptLead = change.first < m_blocks.size() ? m_blocks.at(change.first).lead : 0;
    m_blocks.remove(change.first, std::min(change.removed, m_blocks.size() - change.first));
    m_blocks.insert(change.first, change.added, BlockLines{});
    if (change.first < m_blocks.size())
        m_blocks[change.first].lead = keptLead;
    m_linesBefore.resize(m_blocks.size() + 1);
    Restart from = restart;
    if (change.first < m_blocks.size() && m_text.blockOf(restart.pos) > change.first) {
        // The change moved block boundaries under the restart line: start from the
        // line that holds the first changed block's start instead.
        from.pos = m_text.blockStart(change.first) - keptLead;
        from.line = m_linesBefore.at(change.first) - (keptLead > 0 ? 1 : 0);
    }
    rewrap(from, change.first + change.added);
}

// Wraps from restart.pos on until the end, or until a block after the change
// (syncBlock and later) is reached on a line that starts after the change too:
// from there on everything is as before.
void WrapLayout::rewrap(const Restart &restart, qsizetype syncBlock)
{
    ++m_revision;
    const qsizetype blocks = m_text.blockCount();
    if (blocks == 0) {
        m_blocks.clear();
        m_linesBefore = {0};
        return;
    }
    qsizetype k = m_text.blockOf(restart.pos);
    const qsizetype firstBlock = k;
    m_blocks[k].count = qint32(restart.line - m_linesBefore.at(k));
    const qsizetype syncFrom = syncBlock < blocks ? m_text.blockStart(syncBlock) : m_text.size() + 1;
    qsizetype previous = -1;
    qsizetype s = restart.pos;
    qsizetype hint = k;
    while (s >= 0) {
        while (k + 1 < blocks && s >= m_text.blockStart(k + 1)) {
            ++k;
            const qsizetype lead = s == m_text.blockStart(k) ? 0 : m_text.blockStart(k) - previous;
            if (k >= syncBlock && lead == m_blocks.at(k).lead && m_text.blockStart(k) - lead >= syncFrom) {
                countLinesFrom(firstBlock);
                releaseView();
                return;
            }
            m_blocks[k] = BlockLines{lead, 0};
        }
        ++m_blocks[k].count;
        previous = s;
        s = nextLineStart(s, hint);
    }
    for (qsizetype j = k + 1; j < blocks; ++j)
        m_blocks[j] = BlockLines{m_text.blockStart(j) - previous, 0};
    countLinesFrom(firstBlock);
    releaseView();
}

void WrapLayout::countLinesFrom(qsizetype block)
{
    m_linesBefore.resize(m_blocks.size() + 1);
    for (qsizetype i = block; i < m_blocks.size(); ++i)
        m_linesBefore[i + 1] = m_linesBefore.at(i) + m_blocks.at(i).count;
}

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
        if (c == u'\r' || c == u'\n')
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

// The start of the line after the one starting at start, or -1 when that line
// runs to the end of the text. An LF right after the CR that ended the previous
// line belongs to this line and takes no room. block is a hint, kept up to date.
qsizetype WrapLayout::nextLineStart(qsizetype start, qsizetype &block) const
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
    if (i > 0 && charAt(i) == u'\n' && charAt(i - 1) == u'\r')
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

const LogText::BlockView &WrapLayout::viewOf(qsizetype block) const
{
    if (m_view.block != block || m_view.revision != m_revision)
        m_view = CachedView{block, m_revision, m_text.view(block)};
    return m_view.view;
}

const QList<qsizetype> &WrapLayout::linesIn(qsizetype block) const
{
    for (const CachedLines &cached : m_cache) {
        if (cached.block == block && cached.revision == m_revision)
            return cached.starts;
    }
    CachedLines &slot = m_cache[m_nextCacheSlot];
    m_nextCacheSlot = (m_nextCacheSlot + 1) % qsizetype(m_cache.size());
    slot.block = block;
    slot.revision = m_revision;
    slot.starts.clear();
    const qsizetype begin = m_text.blockStart(block);
    const qsizetype end = block + 1 < m_text.blockCount() ? m_text.blockEnd(block) : m_text.size() + 1;
    qsizetype hint = block;
    for (qsizetype s = begin - m_blocks.at(block).lead; s >= 0 && s < end; s = nextLineStart(s, hint)) {
        if (s >= begin)
            slot.starts.append(s);
    }
    releaseView();
    return slot.starts;
}

qsizetype WrapLayout::lineStart(qint64 line) const
{
    if (m_blocks.isEmpty())
        return 0;
    line = std::clamp<qint64>(line, 0, lineCount() - 1);
    const auto it = std::upper_bound(m_linesBefore.cbegin(), m_linesBefore.cend(), line);
    const qsizetype block = it - m_linesBefore.cbegin() - 1;
    return linesIn(block).at(line - m_linesBefore.at(block));
}

qsizetype WrapLayout::lineEnd(qint64 line) const
{
    return line + 1 < lineCount() ? lineStart(line + 1) : m_text.size();
}

qint64 WrapLayout::lineOf(qsizetype pos) const
{
    if (m_blocks.isEmpty())
        return 0;
    pos = std::clamp<qsizetype>(pos, 0, m_text.size());
    const qsizetype block = m_text.blockOf(pos);
    const QList<qsizetype> &starts = linesIn(block);
    const qsizetype index = std::upper_bound(starts.cbegin(), starts.cend(), pos) - starts.cbegin();
    return m_linesBefore.at(block) + index - 1;
}
