#include "wraplayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr qsizetype kNoLimit = std::numeric_limits<qsizetype>::max() / 2;
constexpr qsizetype kSamples = 8;
// A settling slice checks its deadline after each such stretch.
constexpr qsizetype kSettleReach = 1 << 18;
// Wrapping at least this much tells the lines per character estimates are made with.
constexpr qsizetype kLearnFrom = 1 << 14;

} // namespace

void WrapLayout::relayout()
{
    reflow();
    if (!m_blocks.isEmpty())
        wrapFrom(0, 0, 0, m_blocks.size(), m_text.size() + 1, kNoLimit);
}

void WrapLayout::reflow()
{
    ++m_revision;
    m_breaker.release();
    const qsizetype blocks = m_text.blockCount();
    // A few blocks across the text, each wrapped as if it began a line, give the
    // lines per character the estimates are made with.
    qint64 lines = 0;
    qint64 chars = 0;
    for (qsizetype i = 0; i < std::min(blocks, kSamples); ++i) {
        const qsizetype block = blocks * i / std::min(blocks, kSamples);
        qsizetype hint = block;
        const qsizetype end = m_text.blockEnd(block);
        for (qsizetype s = m_text.blockStart(block); s >= 0 && s < end; s = m_breaker.next(s, hint))
            ++lines;
        chars += end - m_text.blockStart(block);
    }
    m_breaker.release();
    m_linesPerChar = chars > 0 ? double(lines) / double(chars) : 0;
    m_blocks.fill(BlockLines{}, blocks);
    m_unwrapped = blocks;
    m_firstUnwrapped = 0;
    for (qsizetype i = 0; i < blocks; ++i)
        m_blocks[i].count = estimate(i);
    m_index.build(blocks, [this](qsizetype i) { return m_blocks.at(i).count; });
}

std::pair<qsizetype, qsizetype> WrapLayout::settle(const QDeadlineTimer &deadline)
{
    m_touched = {m_text.size(), 0};
    while (m_unwrapped > 0 && !deadline.hasExpired()) {
        while (m_blocks.at(m_firstUnwrapped).wrapped)
            ++m_firstUnwrapped;
        materialize(m_firstUnwrapped, kSettleReach);
    }
    return m_touched.first < m_touched.second ? m_touched : std::pair<qsizetype, qsizetype>{0, 0};
}

void WrapLayout::swapLines(WrapLayout &other)
{
    m_blocks.swap(other.m_blocks);
    std::swap(m_index, other.m_index);
    std::swap(m_unwrapped, other.m_unwrapped);
    std::swap(m_firstUnwrapped, other.m_firstUnwrapped);
    std::swap(m_linesPerChar, other.m_linesPerChar);
    // Cached lines and views belong to the text each had.
    for (WrapLayout *layout : {this, &other}) {
        ++layout->m_revision;
        layout->m_breaker.release();
    }
}

WrapLayout::Restart WrapLayout::restartFor(qsizetype pos)
{
    if (m_blocks.isEmpty())
        return Restart{};
    // Two lines back: a break can look ahead into the next line (a word that did
    // not fit), but a change cannot reach a line that ended before the line before it.
    ensureAround(pos, 2, 0);
    const qint64 line = std::max<qint64>(0, lineOf(pos) - 2);
    return Restart{lineStart(line), line};
}

void WrapLayout::update(const LogText::BlockChange &change, const Restart &restart)
{
    ++m_revision;
    m_breaker.release();
    const qsizetype first = change.first;
    const qsizetype oldSize = m_blocks.size();
    const qsizetype removed = std::min(change.removed, oldSize - first);
    // The line holding the first changed block's start lies before the change.
    const bool keepFirst = first < oldSize && change.added > 0 && m_blocks.at(first).wrapped;
    const qsizetype keptLead = keepFirst ? m_blocks.at(first).lead : 0;
    m_unwrapped -= std::count_if(m_blocks.cbegin() + first, m_blocks.cbegin() + first + removed,
                                 [](const BlockLines &b) { return !b.wrapped; });
    m_blocks.remove(first, removed);
    m_blocks.insert(first, change.added, BlockLines{});
    m_unwrapped += change.added;
    m_firstUnwrapped = std::min(m_firstUnwrapped, first);
    if (keepFirst)
        enter(first, keptLead);
    if (first + removed == oldSize) {
        m_index.truncate(first);
        for (qsizetype i = first; i < m_blocks.size(); ++i)
            m_index.append(0);
    } else {
        m_index.build(m_blocks.size(), [this](qsizetype i) { return m_blocks.at(i).count; });
    }
    if (m_blocks.isEmpty())
        return;
    const qsizetype syncBlock = first + change.added;
    const qsizetype syncFrom = syncBlock < m_blocks.size() ? m_text.blockStart(syncBlock) : m_text.size() + 1;
    const qsizetype from = m_text.blockOf(restart.pos);
    if (from < first || (from == first && keepFirst))
        wrapFrom(from, restart.pos, restart.line, syncBlock, syncFrom, kReach);
    else
        wrapFrom(first, startBefore(first), 0, syncBlock, syncFrom, kReach);
    // What the bound left of the new blocks is estimated.
    for (qsizetype i = first; i < syncBlock && i < m_blocks.size(); ++i) {
        if (!m_blocks.at(i).wrapped)
            setCount(i, estimate(i));
    }
}

void WrapLayout::ensureAround(qsizetype pos, qint64 before, qint64 after)
{
    if (m_blocks.isEmpty())
        return;
    pos = std::clamp<qsizetype>(pos, 0, m_text.size());
    const qsizetype home = m_text.blockOf(pos);
    while (true) {
        const qint64 line = lineOf(pos);
        const qsizetype from = std::min(home, m_index.blockOf(std::max<qint64>(0, line - before)));
        const qsizetype to = std::max(home, m_index.blockOf(std::min(line + after, lineCount() - 1)));
        qsizetype k = from;
        while (k <= to && m_blocks.at(k).wrapped)
            ++k;
        if (k > to)
            return;
        materialize(k, kReach);
    }
}

qsizetype WrapLayout::placeOfLine(qint64 line)
{
    if (m_blocks.isEmpty())
        return 0;
    line = std::clamp<qint64>(line, 0, lineCount() - 1);
    const qsizetype block = m_index.blockOf(line);
    if (!m_blocks.at(block).wrapped) {
        const double share = double(line - m_index.before(block)) / std::max(1, m_blocks.at(block).count);
        materialize(block, kReach);
        const qint32 count = m_blocks.at(block).count;
        line = count > 0 ? m_index.before(block) + std::min<qint64>(qint64(share * count), count - 1)
                         : std::max<qint64>(0, m_index.before(block) - 1);
    }
    return lineStart(line);
}

// Wraps block and what follows it up to reach characters on, from where the lines
// before it run into it.
void WrapLayout::materialize(qsizetype block, qsizetype reach)
{
    if (!m_blocks.at(block).wrapped)
        wrapFrom(block, startBefore(block), 0, block + 1, 0, reach);
}

// A line start from which wrapping into block finds its lines: the last line start
// before it when the block before is wrapped, else the last position after a line
// break in that block, which starts a line whatever came before; failing both, the
// block's own start, taken as a line start until the blocks before are wrapped.
qsizetype WrapLayout::startBefore(qsizetype block) const
{
    if (block == 0)
        return 0;
    const BlockLines &previous = m_blocks.at(block - 1);
    if (previous.wrapped)
        return previous.count > 0 ? linesIn(block - 1).constLast() : m_text.blockStart(block - 1) - previous.lead;
    const LogText::BlockView view = m_text.view(block - 1);
    const qsizetype base = m_text.blockStart(block - 1);
    const auto charAt = [&](qsizetype pos) {
        if (pos < base)
            return m_text.at(pos);
        return view.wide ? view.chars.at(pos - base) : QChar(LogText::decode(view.bytes.at(pos - base)));
    };
    for (qsizetype p = m_text.blockStart(block); p > base; --p) {
        const QChar c = charAt(p - 1);
        if (c == u'\r' || (c == u'\n' && (p < 2 || charAt(p - 2) != u'\r')))
            return p;
    }
    return m_text.blockStart(block);
}

// Wraps from s, a line start, on: from inside block (a wrapped one, s being line
// number line), or from before it, into it. Stops at the end, at a block from
// syncBlock on whose lead is as before on a line starting from syncFrom on (from
// there everything is as before), or at the first block starting reach characters
// after s, which is then left unwrapped.
void WrapLayout::wrapFrom(qsizetype block, qsizetype s, qint64 line, qsizetype syncBlock, qsizetype syncFrom,
                          qsizetype reach)
{
    ++m_revision;
    const qsizetype blocks = m_blocks.size();
    const qsizetype begin = s;
    const qsizetype limit = s + reach;
    qsizetype k = block;
    qsizetype hint = k;
    qsizetype previous = -1;
    qint64 count = line - m_index.before(k);
    if (s < m_text.blockStart(k) || !m_blocks.at(k).wrapped) {
        while (s >= 0 && s < m_text.blockStart(k)) {
            previous = s;
            s = m_breaker.next(s, hint);
        }
        enter(k, s == m_text.blockStart(k) ? 0 : m_text.blockStart(k) - previous);
        count = 0;
    }
    qint64 lines = 0;
    const auto finish = [&](qsizetype end) {
        m_charsWrapped += end - begin;
        if (end - begin >= kLearnFrom)
            m_linesPerChar = double(lines) / double(end - begin);
        m_touched = {std::min(m_touched.first, begin), std::max(m_touched.second, end)};
        m_breaker.release();
    };
    while (s >= 0) {
        while (k + 1 < blocks && s >= m_text.blockStart(k + 1)) {
            setCount(k, count);
            ++k;
            const qsizetype start = m_text.blockStart(k);
            const qsizetype lead = s == start ? 0 : start - previous;
            const BlockLines &next = m_blocks.at(k);
            if (k >= syncBlock && next.wrapped && next.lead == lead && start - lead >= syncFrom)
                return finish(start);
            if (start > limit) {
                unwrap(k);
                return finish(start);
            }
            enter(k, lead);
            count = 0;
        }
        ++count;
        ++lines;
        previous = s;
        s = m_breaker.next(s, hint);
    }
    setCount(k, count);
    for (qsizetype j = k + 1; j < blocks; ++j) {
        enter(j, m_text.blockStart(j) - previous);
        setCount(j, 0);
    }
    finish(m_text.size());
}

void WrapLayout::enter(qsizetype block, qsizetype lead)
{
    BlockLines &b = m_blocks[block];
    if (!b.wrapped)
        --m_unwrapped;
    b.wrapped = true;
    b.lead = lead;
}

void WrapLayout::unwrap(qsizetype block)
{
    BlockLines &b = m_blocks[block];
    if (b.wrapped)
        ++m_unwrapped;
    b.wrapped = false;
    b.lead = 0;
    m_firstUnwrapped = std::min(m_firstUnwrapped, block);
}

void WrapLayout::setCount(qsizetype block, qint64 count)
{
    BlockLines &b = m_blocks[block];
    m_index.add(block, count - b.count);
    b.count = qint32(count);
}

// Block 0 holds line 0 whatever its length.
qint32 WrapLayout::estimate(qsizetype block) const
{
    const double chars = double(m_text.blockEnd(block) - m_text.blockStart(block));
    return std::max(block == 0 ? 1 : 0, qint32(std::lround(chars * m_linesPerChar)));
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
    for (qsizetype s = begin - m_blocks.at(block).lead; s >= 0 && s < end; s = m_breaker.next(s, hint)) {
        if (s >= begin)
            slot.starts.append(s);
    }
    m_breaker.release();
    return slot.starts;
}

qsizetype WrapLayout::lineStart(qint64 line) const
{
    if (m_blocks.isEmpty())
        return 0;
    line = std::clamp<qint64>(line, 0, lineCount() - 1);
    const qsizetype block = m_index.blockOf(line);
    const QList<qsizetype> &starts = linesIn(block);
    if (starts.isEmpty())
        return m_text.blockStart(block);
    return starts.at(std::min<qint64>(line - m_index.before(block), starts.size() - 1));
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
    const qint64 inBlock = std::min<qint64>(index, m_blocks.at(block).count);
    return std::clamp<qint64>(m_index.before(block) + inBlock - 1, 0, lineCount() - 1);
}
