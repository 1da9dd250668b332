#include "logview.h"

#include <QDeadlineTimer>
#include <QScrollBar>

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

void LogView::scrollToPosition(qsizetype pos)
{
    m_scroll.toPosition(pos, visibleRows());
    syncBar();
}

void LogView::scrollToLine(qint64 line)
{
    m_scroll.toLine(line, visibleRows());
    syncBar();
}

void LogView::scrollToEnd()
{
    m_scroll.toEnd(visibleRows());
    syncBar();
}

// The bar follows the view; line numbers change under it while the wrap settles.
void LogView::syncBar()
{
    QScrollBar *bar = verticalScrollBar();
    m_movingBar = true;
    bar->setPageStep(visibleRows());
    bar->setRange(0, m_scroll.barMaximum(visibleRows()));
    bar->setValue(m_scroll.barValue());
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
    const qsizetype shownFrom = m_scroll.top();
    const qsizetype shownTo = std::as_const(m_editor).layout().lineEnd(topLine() + visibleRows());
    const auto [from, to] = m_editor.settle(QDeadlineTimer(kSettleMs, Qt::PreciseTimer));
    if (m_editor.isSettled())
        m_settleTimer.stop();
    if (atEnd)
        scrollToEnd();
    else
        scrollToPosition(shownFrom);
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
    return m_scroll.topLine();
}

bool LogView::isAtEnd() const
{
    return m_scroll.isAtEnd(visibleRows());
}
