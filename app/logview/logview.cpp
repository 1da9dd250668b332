#include "logview.h"

#include "arrivaltext.h"
#include "keycommand.h"
#include "lognavigation.h"
#include "shapedline.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>
#include <limits>

namespace {

constexpr int kMargin = 2; // pixels left and right of the text, as a text box leaves
constexpr int kTopMargin = 1;
constexpr int kDragScrollMs = 50;

} // namespace

LogView::LogView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    // Always there, as the text box's bar is: a bar that came and went would re-wrap.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);

    m_cutAction = new QAction(tr("Cu&t"), this);
    m_copyAction = new QAction(tr("&Copy"), this);
    m_pasteAction = new QAction(tr("&Paste"), this);
    m_deleteAction = new QAction(tr("&Delete"), this);
    m_selectAllAction = new QAction(tr("Select &All"), this);
    connect(m_cutAction, &QAction::triggered, this, [this] { keepingView([this] { m_editor.cut(); }); });
    connect(m_copyAction, &QAction::triggered, this, [this] { m_editor.copy(); });
    connect(m_pasteAction, &QAction::triggered, this, [this] { keepingView([this] { m_editor.paste(); }); });
    connect(m_deleteAction, &QAction::triggered, this,
            [this] { keepingView([this] { m_editor.replaceSelection(QString()); }); });
    connect(m_selectAllAction, &QAction::triggered, this, [this] {
        m_editor.selectAll();
        viewport()->update();
    });

    m_editor.setFont(font());
    m_editor.setWidth(layoutWidth());
    syncBar();
}

void LogView::showLog(const ReceiveLog &log)
{
    if (!m_refreshPending) {
        m_pendingAtEnd = isAtEnd();
        m_pendingTop = firstVisiblePosition();
        m_refreshPending = true;
    }
    m_editor.show(log);
    if (!m_frameTimer.isActive())
        refreshView();
}

void LogView::clear()
{
    m_refreshPending = false;
    m_editor.clear();
    m_scroll.reset();
    syncBar();
    viewport()->update();
}

QString LogView::toPlainText() const
{
    return m_editor.text().toString();
}

void LogView::select(qsizetype anchor, qsizetype caret)
{
    settleView();
    m_editor.select(anchor, caret);
    caretMoved();
}

qsizetype LogView::firstVisiblePosition() const
{
    return m_scroll.firstVisiblePosition();
}

void LogView::addMenuActions(const QList<QAction *> &actions)
{
    for (QAction *action : actions) {
        action->setShortcutContext(Qt::WidgetShortcut);
        addAction(action);
    }
    m_menuActions.append(actions);
}

void LogView::setBottomWidget(QWidget *widget)
{
    if (m_bottomWidget && m_bottomWidget != widget)
        m_bottomWidget->hide();
    m_bottomWidget = widget;
    if (widget)
        widget->show();
    placeEdgeWidgets();
}

// A view at the end stays there: the lines give up their oldest row, not the newest.
void LogView::setTopWidget(QWidget *widget)
{
    settleView();
    const bool atEnd = isAtEnd();
    if (m_topWidget && m_topWidget != widget)
        m_topWidget->hide();
    m_topWidget = widget;
    if (widget)
        widget->show();
    placeEdgeWidgets();
    if (atEnd)
        scrollToEnd();
}

// The viewport's margins make the room; the new height reaches resizeEvent like any.
void LogView::placeEdgeWidgets()
{
    const int top = m_topWidget ? m_topWidget->sizeHint().height() : 0;
    const int bottom = m_bottomWidget ? m_bottomWidget->sizeHint().height() : 0;
    setViewportMargins(0, top, 0, bottom);
    const QRect lines = viewport()->geometry();
    if (m_topWidget)
        m_topWidget->setGeometry(lines.left(), lines.top() - top, lines.width(), top);
    if (m_bottomWidget)
        m_bottomWidget->setGeometry(lines.left(), lines.bottom() + 1, lines.width(), bottom);
}

bool LogView::event(QEvent *event)
{
    const bool handled = QAbstractScrollArea::event(event);
    if (event->type() == QEvent::Resize && (m_bottomWidget || m_topWidget))
        placeEdgeWidgets();
    return handled;
}

// An edit by the operator: afterwards the caret is in view.
template<typename Change>
void LogView::keepingView(Change change)
{
    change();
    caretMoved();
    startSettling();
}

void LogView::startBlinking()
{
    m_caretShown = true;
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0 && hasFocus())
        m_blinkTimer.start(flash / 2, this);
    else
        m_blinkTimer.stop();
    viewport()->update();
}

void LogView::dragTo(QPoint point)
{
    bool atLineEnd = false;
    const qsizetype pos = positionAt(point, &atLineEnd);
    m_editor.moveCaret(pos, true, atLineEnd);
    caretMoved();
}

// The time the character under the pointer arrived, or the span of the selection
// under it; typed text has no time and shows none.
void LogView::showArrivalTip(const QHelpEvent &event)
{
    bool atLineEnd = false;
    const qsizetype pos = positionAt(event.pos(), &atLineEnd);
    const qint64 line = m_editor.lineOf(pos, atLineEnd);
    const QPointF origin = lineOrigin(line);
    const bool onLine = event.pos().y() >= origin.y() && event.pos().y() < origin.y() + m_editor.lineHeight();
    const qsizetype under = onLine ? m_editor.characterOn(line, event.pos().x() - origin.x()) : -1;
    QString tip = ArrivalText::tooltip(m_editor.text(), under, m_editor.selectionStart(), m_editor.selectionEnd(),
                                       QDate::currentDate());
    // The box's own tooltip (what it records to, say) goes under the time.
    if (!toolTip().isEmpty())
        tip = tip.isEmpty() ? toolTip() : tip + u'\n' + toolTip();
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event.globalPos(), tip, viewport());
}

qsizetype LogView::positionAt(QPoint point, bool *atLineEnd) const
{
    const int row = point.y() < kTopMargin ? -1 : (point.y() - kTopMargin) / m_editor.lineHeight();
    const qint64 line = std::clamp<qint64>(topLine() + row, 0, m_editor.layout().lineCount() - 1);
    return m_editor.positionOn(line, point.x() - kMargin, atLineEnd);
}

int LogView::visibleRows() const
{
    return std::max(1, (viewport()->height() - kTopMargin) / m_editor.lineHeight());
}

int LogView::layoutWidth() const
{
    return std::max(0, viewport()->width() - 2 * kMargin) * CharMetrics::kUnit;
}

QPointF LogView::lineOrigin(qint64 line) const
{
    return QPointF(kMargin, kTopMargin + qreal(line - topLine()) * m_editor.lineHeight());
}

bool LogView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    showArrivalTip(*static_cast<QHelpEvent *>(event));
    return true;
}

void LogView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const qint64 first = topLine();
    // One row more than fits: the partly visible line at the bottom.
    const qint64 last = std::min(m_editor.layout().lineCount() - 1, first + visibleRows());
    const qint64 caret = m_editor.caretLine();
    for (qint64 line = first; line <= last; ++line) {
        const ShapedLine shaped = m_editor.shape(line);
        const QPointF origin = lineOrigin(line);
        shaped.draw(&painter, origin, m_editor.selectionStart(), m_editor.selectionEnd(), palette());
        if (line == caret && m_caretShown && hasFocus()) {
            const qreal x = origin.x() + shaped.xOf(m_editor.caret());
            painter.fillRect(QRectF(x, origin.y(), 1, m_editor.lineHeight()), palette().text());
        }
    }
}

// A new width wraps everything once; the first character in view stays in view.
void LogView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    settleView();
    const bool atEnd = isAtEnd();
    const qsizetype top = firstVisiblePosition();
    if (layoutWidth() != m_editor.layout().width())
        m_editor.setWidth(layoutWidth());
    atEnd ? scrollToEnd() : scrollToPosition(top);
    startSettling();
}

void LogView::scrollContentsBy(int, int)
{
    if (!m_movingBar) {
        // Moved by the operator; while a refresh waits, the refresh keeps the new place.
        scrollToLine(verticalScrollBar()->value());
        if (m_refreshPending) {
            m_pendingAtEnd = isAtEnd();
            m_pendingTop = firstVisiblePosition();
        }
    }
    viewport()->update();
}

void LogView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() != QEvent::FontChange)
        return;
    settleView();
    const bool atEnd = isAtEnd();
    const qsizetype top = firstVisiblePosition();
    m_editor.setFont(font());
    atEnd ? scrollToEnd() : scrollToPosition(top);
    startSettling();
    viewport()->update();
}

void LogView::keyPressEvent(QKeyEvent *event)
{
    const KeyCommand command = KeyCommand::of(event);
    if (command.action == KeyCommand::Action::None) {
        event->ignore();
        return;
    }
    settleView();
    if (command.action == KeyCommand::Action::Copy)
        return m_editor.copy(); // copying leaves the view where the operator put it
    const int rows = visibleRows();
    if (command.action == KeyCommand::Action::NextPage || command.action == KeyCommand::Action::PreviousPage) {
        const qint64 step = command.action == KeyCommand::Action::NextPage ? rows : -rows;
        m_scroll.scrollBy(step, rows);
        syncBar();
    }
    keepingView([&] { m_editor.carryOut(command, event->text(), rows); });
}

void LogView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    settleView();
    bool atLineEnd = false;
    const qsizetype pos = positionAt(event->position().toPoint(), &atLineEnd);
    m_editor.moveCaret(pos, event->modifiers() & Qt::ShiftModifier, atLineEnd);
    m_dragging = true;
    m_dragPoint = event->position().toPoint();
    caretMoved();
}

void LogView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    m_dragPoint = event->position().toPoint();
    const bool outside = m_dragPoint.y() < 0 || m_dragPoint.y() >= viewport()->height();
    if (outside && !m_dragTimer.isActive())
        m_dragTimer.start(kDragScrollMs, this);
    else if (!outside)
        m_dragTimer.stop();
    dragTo(m_dragPoint);
}

void LogView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        m_dragTimer.stop();
    }
}

void LogView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    bool atLineEnd = false;
    const qsizetype pos = positionAt(event->position().toPoint(), &atLineEnd);
    const auto [from, to] = LogNavigation::wordAt(m_editor.text(), pos);
    select(from, to);
}

void LogView::contextMenuEvent(QContextMenuEvent *event)
{
    settleView();
    const bool selection = m_editor.hasSelection();
    m_cutAction->setEnabled(selection);
    m_copyAction->setEnabled(selection);
    m_deleteAction->setEnabled(selection);
    m_pasteAction->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
    m_selectAllAction->setEnabled(!m_editor.text().isEmpty());
    QMenu menu(this);
    menu.addActions({m_cutAction, m_copyAction, m_pasteAction, m_deleteAction});
    menu.addSeparator();
    menu.addAction(m_selectAllAction);
    if (!m_menuActions.isEmpty()) {
        menu.addSeparator();
        menu.addActions(m_menuActions);
    }
    menu.exec(event->globalPos());
}

void LogView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    startBlinking();
}

void LogView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    m_blinkTimer.stop();
    m_caretShown = false;
    viewport()->update();
}

void LogView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_frameTimer.timerId()) {
        if (m_refreshPending)
            refreshView();
        else
            m_frameTimer.stop();
    } else if (event->timerId() == m_blinkTimer.timerId()) {
        m_caretShown = !m_caretShown;
        viewport()->update();
    } else if (event->timerId() == m_settleTimer.timerId()) {
        settleSlice();
    } else if (event->timerId() == m_dragTimer.timerId()) {
        const qint64 step = m_dragPoint.y() < 0 ? -1 : 1;
        m_scroll.scrollBy(step, visibleRows());
        syncBar();
        viewport()->update();
        dragTo(m_dragPoint);
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}
