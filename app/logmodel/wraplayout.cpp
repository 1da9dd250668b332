#include "wraplayout.h"

#include "linebreak.h"

#include <algorithm>
#include <limits>

namespace {

constexpr qsizetype kNoLimit = std::numeric_limits<qsizetype>::max() / 2;
constexpr qsizetype kSamples = 8;
// A settling slice checks its deadline after each such stretch.
constexpr qsizetype kSettleReach = 1 << 18;

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
    m_perChar = chars > 0 ? lines * kScale / chars : 0;
    // A new epoch leaves every block unwrapped without touching it.
    ++m_epoch;
    m_blocks.resize(blocks);
    m_unwrapped = blocks;
    m_firstUnwrapped = 0;
    m_index.reset(blocks);
    if (blocks > 0)
        materialize(0, 0);
}

std::pair<qsizetype, qsizetype> WrapLayout::settle(const QDeadlineTimer &deadline)
{
    m_touched = {m_text.size(), 0};
    while (m_unwrapped > 0 && !deadline.hasExpired()) {
        while (isWrapped(m_firstUnwrapped))
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
    std::swap(m_epoch, other.m_epoch);
    std::swap(m_perChar, other.m_perChar);
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
    const qsizetype added = change.added;
    // The line holding the first changed block's start lies before the change.
    const bool keepFirst = first < oldSize && added > 0 && isWrapped(first);
    const qsizetype keptLead = keepFirst ? m_blocks.at(first).lead : 0;
    for (qsizetype i = first; i < first + removed; ++i)
        m_unwrapped -= isWrapped(i) ? 0 : 1;
    if (removed == added) {
        // In place, so that an edit in a long text moves nothing.
        for (qsizetype i = first; i < first + added; ++i) {
            m_index.add(i, -m_index.at(i));
            m_blocks[i] = BlockLines{};
        }
    } else if (first + removed == oldSize) {
        m_blocks.resize(first);
        m_blocks.resize(first + added);
        m_index.truncate(first);
        for (qsizetype i = 0; i < added; ++i)
            m_index.append(0);
    } else {
        m_blocks.remove(first, removed);
        m_blocks.insert(first, added, BlockLines{});
        m_index.build(m_blocks.size(), [this](qsizetype i) { return weightOf(i); });
    }
    m_unwrapped += added;
    m_firstUnwrapped = std::min(m_firstUnwrapped, first);
    if (m_blocks.isEmpty())
        return;
    if (keepFirst)
        enter(first, keptLead);
    const qsizetype syncBlock = first + added;
    const qsizetype syncFrom = syncBlock < m_blocks.size() ? m_text.blockStart(syncBlock) : m_text.size() + 1;
    const qsizetype from = m_text.blockOf(restart.pos);
    const qint64 charsBefore = m_charsWrapped;
    const qint64 linesBeforeWrap = lineCount();
    if (from < first || (from == first && keepFirst))
        wrapFrom(from, restart.pos, restart.line, syncBlock, syncFrom, kReach);
    else
        wrapFrom(first, startBefore(first), 0, syncBlock, syncFrom, kReach);
    // The first text a layout gets tells its estimates, when no width change did.
    if (m_perChar == 0 && m_unwrapped > 0 && m_charsWrapped > charsBefore) {
        m_perChar = std::max<qint64>(1, (lineCount() - linesBeforeWrap) * kScale / (m_charsWrapped - charsBefore));
        m_index.build(m_blocks.size(), [this](qsizetype i) { return weightOf(i); });
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
        const qsizetype from = std::min(home, blockOfLine(std::max<qint64>(0, line - before)));
        const qsizetype to = std::max(home, blockOfLine(std::min(line + after, lineCount() - 1)));
        qsizetype k = from;
        while (k <= to && isWrapped(k))
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
    const qsizetype block = blockOfLine(line);
    if (!isWrapped(block)) {
        const double share = double(line - linesBefore(block)) / double(std::max<qint64>(1, linesOf(block)));
        materialize(block, kReach);
        const qint32 count = m_blocks.at(block).count;
        line = count > 0 ? linesBefore(block) + std::min<qint64>(qint64(share * count), count - 1)
                         : std::max<qint64>(0, linesBefore(block) - 1);
    }
    return lineStart(line);
}

// Wraps block and what follows it up to reach characters on, from where the lines
// before it run into it.
void WrapLayout::materialize(qsizetype block, qsizetype reach)
{
    if (!isWrapped(block))
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
    if (isWrapped(block - 1))
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
        if (LineBreak::isBreak(c) && (p < 2 || !LineBreak::isPair(charAt(p - 2), c)))
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
    qint64 count = line - linesBefore(k);
    if (s < m_text.blockStart(k) || !isWrapped(k)) {
        while (s >= 0 && s < m_text.blockStart(k)) {
            previous = s;
            s = m_breaker.next(s, hint);
        }
        enter(k, s == m_text.blockStart(k) ? 0 : m_text.blockStart(k) - previous);
        count = 0;
    }
    const auto finish = [&](qsizetype end) {
        m_charsWrapped += end - begin;
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
            if (k >= syncBlock && isWrapped(k) && next.lead == lead && start - lead >= syncFrom)
                return finish(start);
            if (start > limit) {
                unwrap(k);
                return finish(start);
            }
            enter(k, lead);
            count = 0;
        }
        ++count;
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
    if (b.epoch != m_epoch) {
        --m_unwrapped;
        b.epoch = m_epoch;
        b.count = 0;
        m_index.add(block, -m_perChar * charsOf(block));
    }
    b.lead = lead;
}

void WrapLayout::unwrap(qsizetype block)
{
    if (isWrapped(block)) {
        ++m_unwrapped;
        m_index.add(block, -weightOf(block));
        m_blocks[block] = BlockLines{};
    }
    m_firstUnwrapped = std::min(m_firstUnwrapped, block);
}

void WrapLayout::setCount(qsizetype block, qint64 count)
{
    BlockLines &b = m_blocks[block];
    m_index.add(block, (count - b.count) * kScale);
    b.count = qint32(count);
}

qint64 WrapLayout::weightOf(qsizetype block) const
{
    return isWrapped(block) ? m_blocks.at(block).count * kScale - m_perChar * charsOf(block) : 0;
}

qint64 WrapLayout::linesBefore(qsizetype block) const
{
    return (m_perChar * m_text.blockStart(block) + m_index.before(block)) / kScale;
}

qint64 WrapLayout::linesOf(qsizetype block) const
{
    return linesBefore(block + 1) - linesBefore(block);
}

qsizetype WrapLayout::blockOfLine(qint64 line) const
{
    const qint64 limit = (line + 1) * kScale;
    const qsizetype block = m_index.last(
        [&](qsizetype k, qint64 sum) { return m_perChar * m_text.blockStart(k) + sum < limit; });
    return std::min(block, m_blocks.size() - 1);
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
    const qsizetype block = blockOfLine(line);
    const QList<qsizetype> &starts = linesIn(block);
    if (starts.isEmpty())
        return m_text.blockStart(block);
    return starts.at(std::clamp<qint64>(line - linesBefore(block), 0, starts.size() - 1));
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
    const qint64 inBlock = std::min<qint64>(index, linesOf(block));
    return std::clamp<qint64>(linesBefore(block) + inBlock - 1, 0, lineCount() - 1);
}
