#pragma once

#include "charmetrics.h"
#include "linebreaker.h"
#include "lineindex.h"
#include "logtext.h"

#include <QDeadlineTimer>
#include <QList>

#include <array>

// Which visual lines the receive box's text breaks into at a given width, kept per
// block of the text, so that memory does not grow with the number of lines. An
// append costs what it adds; a change elsewhere costs the characters it touches and
// a step for each block after it, whose entry moves.
//
// Each block keeps a lead and a count. A wrapped block's lead is its start minus the
// start of the line that holds it, and its count the line starts inside it (the end
// of the text counts as inside the last block); its line starts are found again by
// wrapping from the line its lead points to. A block not wrapped has an estimated
// count, proportional to its length, and no lead. Two rules make this exact:
// - of two neighbouring wrapped blocks, the second's lead is where the first's lines
//   run into it;
// - block 0, when wrapped, starts at a line start.
// So every block of the wrapped run from block 0 holds exactly what wrapping the
// whole text would give, and once no block is left unwrapped every count is exact.
// Block 0 is always wrapped, so the text always has a line. Blocks are wrapped where
// they are read, from where the lines before them run in, or else from the last line
// break before them (exact whatever came before) or, failing that, from their own
// start; settle() wraps the rest in slices, from the first.
class WrapLayout
{
public:
    // A line to wrap again from after a change: a line start before any line the
    // change can move, and its index.
    struct Restart
    {
        qsizetype pos = 0;
        qint64 line = 0;
    };

    explicit WrapLayout(const LogText &text) : m_text(text), m_breaker(text) {}

    // Each is followed by relayout() or reflow().
    void setMetrics(const CharMetrics &metrics) { m_breaker.setMetrics(metrics); }
    void setWidth(int units) { m_breaker.setWidth(units); }
    int width() const { return m_breaker.width(); }
    const CharMetrics &metrics() const { return m_breaker.metrics(); }

    // Wraps the whole text now.
    void relayout();
    // Wraps nothing now: every count becomes an estimate.
    void reflow();
    // Wraps blocks not yet wrapped, from the first, until the deadline passes.
    // Returns the text positions wrapped again, [from, to), empty when none were.
    std::pair<qsizetype, qsizetype> settle(const QDeadlineTimer &deadline);
    bool isSettled() const { return m_unwrapped == 0; }
    // Characters wrapped since the layout was made: what the work cost.
    qint64 charsWrapped() const { return m_charsWrapped; }

    // Exchanges the lines with other's, whose text was just exchanged with this one's.
    void swapLines(WrapLayout &other);
    // Taken before the text changes at pos (for an append: at the old end).
    Restart restartFor(qsizetype pos);
    // After the text changed as change says, with restart taken before it. Wraps
    // what the change moved, up to a bound; what lies further stays to be settled.
    void update(const LogText::BlockChange &change, const Restart &restart);

    // Wraps the blocks holding the lines from `before` lines above the one holding
    // pos to `after` lines below it, so that line numbers there hold still.
    void ensureAround(qsizetype pos, qint64 before, qint64 after);
    // The start of a line, for a jump to it: a line in a block not yet wrapped lands
    // on the same share of that block once it is wrapped.
    qsizetype placeOfLine(qint64 line);

    // An empty text has one empty line. Lines are clamped to [0, lineCount()).
    qint64 lineCount() const { return m_blocks.isEmpty() ? 1 : linesBefore(m_blocks.size()); }
    qsizetype lineStart(qint64 line) const;
    qsizetype lineEnd(qint64 line) const; // the next line's start, or the end of the text
    // A position where one line ends and the next starts belongs to the next line.
    qint64 lineOf(qsizetype pos) const;

private:
    // Wrapped while epoch is the layout's.
    struct BlockLines
    {
        qsizetype lead = 0;
        qint32 count = 0;
        quint32 epoch = 0;
    };
    struct CachedLines
    {
        qsizetype block = -1;
        quint64 revision = 0;
        QList<qsizetype> starts;
    };
    // How far one wrapping goes past the change or block it was asked for.
    static constexpr qsizetype kReach = 1 << 16;
    // Line numbers are counted in 1/kScale lines, so that estimates need no rounding.
    static constexpr qint64 kScale = 1 << 24;

    void materialize(qsizetype block, qsizetype reach);
    qsizetype startBefore(qsizetype block) const;
    void wrapFrom(qsizetype block, qsizetype from, qint64 line, qsizetype syncBlock, qsizetype syncFrom,
                  qsizetype reach);
    void enter(qsizetype block, qsizetype lead);
    void unwrap(qsizetype block);
    void setCount(qsizetype block, qint64 count);
    bool isWrapped(qsizetype block) const { return m_blocks.at(block).epoch == m_epoch; }
    qsizetype charsOf(qsizetype block) const { return m_text.blockEnd(block) - m_text.blockStart(block); }
    qint64 weightOf(qsizetype block) const;
    qint64 linesBefore(qsizetype block) const;
    qint64 linesOf(qsizetype block) const;
    qsizetype blockOfLine(qint64 line) const;
    const QList<qsizetype> &linesIn(qsizetype block) const;

    const LogText &m_text;
    LineBreaker m_breaker;
    QList<BlockLines> m_blocks;
    // The lines before block k are (m_perChar * blockStart(k) + m_index.before(k)) /
    // kScale: every block is taken to hold m_perChar lines a character, and the index
    // holds, for each wrapped block, its count minus that.
    LineIndex m_index;
    qint64 m_perChar = 0;
    quint32 m_epoch = 1;
    qsizetype m_unwrapped = 0;
    qsizetype m_firstUnwrapped = 0; // no block before it is unwrapped
    qint64 m_charsWrapped = 0;
    std::pair<qsizetype, qsizetype> m_touched;
    quint64 m_revision = 0;
    mutable std::array<CachedLines, 4> m_cache;
    mutable qsizetype m_nextCacheSlot = 0;
};
