#include "logsearch.h"

#include <algorithm>

LogSearch::LogSearch(const LogText &text, const SearchPattern &pattern, Direction direction, qsizetype from)
    : m_text(text)
    , m_pattern(pattern)
    , m_forward(direction == Direction::Forward)
{
    const qsizetype places = m_pattern.isEmpty() ? 0 : std::max<qsizetype>(0, m_text.size() - m_pattern.size() + 1);
    const qsizetype caret = std::clamp<qsizetype>(from, 0, m_text.size());
    // Backward a match must end by the caret, so its start lies size() - 1 before it.
    const qsizetype split = std::clamp<qsizetype>(m_forward ? caret : caret - m_pattern.size() + 1, 0, places);
    if (m_forward)
        m_passes = {Range{split, places}, Range{0, split}};
    else
        m_passes = {Range{0, split}, Range{split, places}};
    m_total = places;
    startPass(places > 0 ? 0 : qsizetype(m_passes.size()));
}

bool LogSearch::step(qsizetype budget)
{
    while (!isDone() && budget > 0) {
        const Range &pass = m_passes[m_pass];
        if (m_forward ? m_cursor >= pass.to : m_cursor <= pass.from) {
            startPass(m_pass + 1);
            continue;
        }
        const qsizetype before = m_cursor;
        const qsizetype found = m_forward ? stepForward(pass.to) : stepBackward(pass.from);
        const qsizetype looked = m_forward ? m_cursor - before : before - m_cursor;
        m_looked += looked;
        budget -= looked;
        if (found >= 0) {
            m_match = Match{found, found + m_pattern.size(), m_pass > 0};
            m_pass = qsizetype(m_passes.size());
        }
    }
    return !isDone();
}

double LogSearch::progress() const
{
    return isDone() || m_total == 0 ? 1.0 : double(m_looked) / double(m_total);
}

void LogSearch::startPass(qsizetype pass)
{
    m_pass = pass;
    if (!isDone())
        m_cursor = m_forward ? m_passes[pass].from : m_passes[pass].to;
}

// The places of the cursor's block up to `to`: first those whose match would lie
// wholly in the block, then those whose match would run past its end.
qsizetype LogSearch::stepForward(qsizetype to)
{
    const qsizetype block = m_text.blockOf(m_cursor);
    const qsizetype stop = std::min(to, m_text.blockEnd(block));
    const qsizetype inner = std::clamp(m_text.blockEnd(block) - m_pattern.size() + 1, m_cursor, stop);
    qsizetype found = inBlock(block, m_cursor, inner);
    if (found < 0)
        found = acrossBlockEnd(inner, stop);
    m_cursor = stop;
    return found;
}

// The mirror of stepForward: the block of the place before the cursor, down to from.
qsizetype LogSearch::stepBackward(qsizetype from)
{
    const qsizetype block = m_text.blockOf(m_cursor - 1);
    const qsizetype stop = std::max(from, m_text.blockStart(block));
    const qsizetype inner = std::clamp(m_text.blockEnd(block) - m_pattern.size() + 1, stop, m_cursor);
    qsizetype found = acrossBlockEnd(inner, m_cursor);
    if (found < 0)
        found = inBlock(block, stop, inner);
    m_cursor = stop;
    return found;
}

// Matches that lie wholly in the block, read as the block holds its text.
qsizetype LogSearch::inBlock(qsizetype block, qsizetype from, qsizetype to) const
{
    if (from >= to)
        return -1;
    const qsizetype start = m_text.blockStart(block);
    const LogText::BlockView view = m_text.view(block);
    qsizetype found = -1;
    if (view.wide)
        found = m_forward ? m_pattern.indexIn(view.chars, from - start, to - start)
                          : m_pattern.lastIndexIn(view.chars, from - start, to - start);
    else
        found = m_forward ? m_pattern.indexIn(view.bytes.constData(), from - start, to - start)
                          : m_pattern.lastIndexIn(view.bytes.constData(), from - start, to - start);
    return found < 0 ? -1 : start + found;
}

// Matches that begin at [from, to) and run into the blocks after: few places, read as
// characters.
qsizetype LogSearch::acrossBlockEnd(qsizetype from, qsizetype to) const
{
    if (from >= to)
        return -1;
    const QString chars = m_text.mid(from, to - 1 + m_pattern.size());
    const qsizetype found = m_forward ? m_pattern.indexIn(chars, 0, to - from) : m_pattern.lastIndexIn(chars, 0, to - from);
    return found < 0 ? -1 : from + found;
}
