#include "logscroll.h"

#include <algorithm>
#include <limits>

void LogScroll::toPosition(qsizetype pos, int rows)
{
    m_top = std::clamp<qsizetype>(pos, 0, m_text.size());
    m_layout.ensureAround(m_top, 0, rows + 1);
    if (topLine() > lastTopLine(rows)) {
        m_layout.ensureAround(m_text.size(), rows, 0);
        m_top = m_layout.lineStart(lastTopLine(rows));
    }
    m_top = firstVisiblePosition();
}

void LogScroll::toLine(qint64 line, int rows)
{
    if (line >= lastTopLine(rows))
        return toEnd(rows);
    toPosition(m_layout.placeOfLine(std::max<qint64>(0, line)), rows);
}

void LogScroll::scrollBy(qint64 step, int rows)
{
    m_layout.ensureAround(m_top, std::max<qint64>(0, -step), std::max<qint64>(0, step) + rows);
    toLine(topLine() + step, rows);
}

int LogScroll::barMaximum(int rows) const
{
    return int(std::min<qint64>(lastTopLine(rows), std::numeric_limits<int>::max()));
}

int LogScroll::barValue() const
{
    return int(std::min<qint64>(topLine(), std::numeric_limits<int>::max()));
}
