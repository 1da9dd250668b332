#pragma once

#include "wraplayout.h"

// Where the receive box looks into its wrapped text. The view is a place in the
// text, the start of its first line, so that it stays on its text while line counts
// (estimates in part) change under it; the bar's value is that line's number. rows
// is how many lines the box shows whole. Plain logic, tested without a window.
class LogScroll
{
public:
    LogScroll(WrapLayout &layout, const LogText &text) : m_layout(layout), m_text(text) {}

    // The place the view keeps, which its first line holds.
    qsizetype top() const { return m_top; }
    qint64 topLine() const { return m_layout.lineOf(m_top); }
    // The start of the first line in view.
    qsizetype firstVisiblePosition() const { return m_layout.lineStart(topLine()); }
    // The top line that shows the last line at the bottom, or 0.
    qint64 lastTopLine(int rows) const { return std::max<qint64>(0, m_layout.lineCount() - rows); }
    bool isAtEnd(int rows) const { return topLine() >= lastTopLine(rows); }

    // The view starts at the line holding pos, or as near the end as it goes.
    void toPosition(qsizetype pos, int rows);
    // The same for a line number; at or past the last top line, the end.
    void toLine(qint64 line, int rows);
    void toEnd(int rows) { toPosition(m_text.size(), rows); }
    // By step lines, wrapping what comes into view first, so that line numbers hold.
    void scrollBy(qint64 step, int rows);
    // To the top of an emptied text.
    void reset() { m_top = 0; }

    // The bar's range is [0, barMaximum()], clamped to what an int holds.
    int barMaximum(int rows) const;
    int barValue() const;

private:
    WrapLayout &m_layout;
    const LogText &m_text;
    qsizetype m_top = 0;
};
