#include "logview.h"

#include <QDeadlineTimer>
#include <QScrollBar>

#include <algorithm>
#include <limits>

// Where the box looks into its text, and how the bar and the background wrap follow.

namespace {

constexpr int kFrameMs = 16;
// The longest a slice of wrapping in the background keeps events waiting.
constexpr int kSettleMs = 4;

} // namespace

// Scroll range, position and picture for what showLog brought in; the next refresh
// comes a frame later at the earliest, so that a flood of serial events paints the
// box and its bar once a frame.
void LogView::refreshView()
{
    m_refreshPending = false;
    if (m_pendingAtEnd)
        scrollToEnd();
    else
        scrollToPosition(m_pendingTop);
    viewport()->update();
    startSettling();
    m_frameTimer.start(kFrameMs, this);
}

// Before the operator acts, the view is brought up to date.
void LogView::settleView()
{
    if (m_refreshPending)
        refreshView();
}

// The view starts at the line holding pos, or as near the end as it goes.
void LogView::scrollToPosition(qsizetype pos)
{
    WrapLayout &layout = m_editor.layout();
    m_top = std::clamp<qsizetype>(pos, 0, m_editor.text().size());
    layout.ensureAround(m_top, 0, visibleRows() + 1);
    if (topLine() > lastTopLine()) {
        layout.ensureAround(m_editor.text().size(), visibleRows(), 0);
        m_top = layout.lineStart(lastTopLine());
    }
    m_top = firstVisiblePosition();
    syncBar();
}

void LogView::scrollToLine(qint64 line)
{
    if (line >= lastTopLine())
        return scrollToEnd();
    scrollToPosition(m_editor.layout().placeOfLine(std::max<qint64>(0, line)));
}

void LogView::scrollToEnd()
{
    scrollToPosition(m_editor.text().size());
}

// The bar follows the view; line numbers change under it while the wrap settles.
void LogView::syncBar()
{
    QScrollBar *bar = verticalScrollBar();
    m_movingBar = true;
    bar->setPageStep(visibleRows());
    bar->setRange(0, int(std::min<qint64>(lastTopLine(), std::numeric_limits<int>::max())));
    bar->setValue(int(std::min<qint64>(topLine(), std::numeric_limits<int>::max())));
    m_movingBar = false;
}

void LogView::startSettling()
{
    if (!m_editor.isSettled() && !m_settleTimer.isActive())
        m_settleTimer.start(0, this);
}

// One slice of the background wrap; the view keeps its first character, or the end.
void LogView::settleSlice()
{
    const bool atEnd = isAtEnd();
    const qsizetype shownFrom = m_top;
    const qsizetype shownTo = std::as_const(m_editor).layout().lineEnd(topLine() + visibleRows());
    const auto [from, to] = m_editor.settle(QDeadlineTimer(kSettleMs, Qt::PreciseTimer));
    if (m_editor.isSettled())
        m_settleTimer.stop();
    if (atEnd)
        scrollToEnd();
    else
        scrollToPosition(m_top);
    if (from < to && from <= shownTo && to >= shownFrom)
        viewport()->update();
}

void LogView::caretMoved()
{
    const int rows = visibleRows();
    m_editor.layout().ensureAround(m_editor.caret(), rows, rows);
    const qint64 line = m_editor.caretLine();
    const qint64 top = topLine();
    if (line < top)
        scrollToLine(line);
    else if (line >= top + rows)
        scrollToLine(line - rows + 1);
    else
        syncBar();
    startBlinking();
}

qint64 LogView::topLine() const
{
    return std::as_const(m_editor).layout().lineOf(m_top);
}

qint64 LogView::lastTopLine() const
{
    return std::max<qint64>(0, std::as_const(m_editor).layout().lineCount() - visibleRows());
}

bool LogView::isAtEnd() const
{
    return topLine() >= lastTopLine();
}
