#pragma once

#include "charmetrics.h"
#include "logtext.h"

#include <QList>

#include <array>

// Where the receive box's text breaks into visual lines at a given width, the way a
// text box wraps: after a CR, after an LF that does not follow a CR (CR LF is one
// break), and before a word that would cross the right edge, or before the first
// character that would when a line has no space. Spaces that cross the edge hang.
//
// Only line counts are kept, per block of the text: a block's line starts are found
// again by wrapping from the line that holds the block's first character, so memory
// does not grow with the number of lines. Every greedy break depends only on the
// text before it, so appending re-wraps only the last lines.
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

    explicit WrapLayout(const LogText &text) : m_text(text) {}

    // Both are followed by relayout().
    void setMetrics(const CharMetrics &metrics) { m_metrics = metrics; }
    void setWidth(int units) { m_width = units; }
    int width() const { return m_width; }
    const CharMetrics &metrics() const { return m_metrics; }

    void relayout();
    // Exchanges the lines with other's, whose text was just exchanged with this one's.
    void swapLines(WrapLayout &other);
    // Taken before the text changes at pos (for an append: at the old end).
    Restart restartFor(qsizetype pos) const;
    // After the text changed as change says, with restart taken before it.
    void update(const LogText::BlockChange &change, const Restart &restart);

    // An empty text has one empty line. Lines are clamped to [0, lineCount()).
    qint64 lineCount() const { return m_linesBefore.constLast() + (m_blocks.isEmpty() ? 1 : 0); }
    qsizetype lineStart(qint64 line) const;
    qsizetype lineEnd(qint64 line) const; // the next line's start, or the end of the text
    // A position where one line ends and the next starts belongs to the next line.
    qint64 lineOf(qsizetype pos) const;

private:
    struct BlockLines
    {
        qsizetype lead = 0; // the block's start minus the start of the line holding it
        qint32 count = 0;   // line starts inside the block (the end of the text counts as inside the last)
    };
    // The block the last lines were wrapped in, held while wrapping goes on, so that
    // every line does not fetch its block's text again.
    struct CachedView
    {
        qsizetype block = -1;
        quint64 revision = 0;
        LogText::BlockView view;
    };
    struct CachedLines
    {
        qsizetype block = -1;
        quint64 revision = 0;
        QList<qsizetype> starts;
    };

    qsizetype nextLineStart(qsizetype start, qsizetype &block) const;
    const LogText::BlockView &viewOf(qsizetype block) const;
    void releaseView() const { m_view = CachedView{}; }
    const QList<qsizetype> &linesIn(qsizetype block) const;
    void rewrap(const Restart &restart, qsizetype syncBlock);
    void countLinesFrom(qsizetype block);

    const LogText &m_text;
    CharMetrics m_metrics;
    int m_width = 0;
    QList<BlockLines> m_blocks;
    QList<qint64> m_linesBefore{0}; // lines starting in the blocks before each block; last = total
    quint64 m_revision = 0;
    mutable CachedView m_view;
    mutable std::array<CachedLines, 4> m_cache;
    mutable qsizetype m_nextCacheSlot = 0;
};
