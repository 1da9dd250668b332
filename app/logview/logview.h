#pragma once

#include "logeditor.h"
#include "logscroll.h"
#include "receivelog.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPointer>

class QAction;
class QHelpEvent;

// The receive text box: multi-line, word-wrapped, editable, with a vertical scroll
// bar, over a text that may be endless. It shares the log's chunks instead of
// copying them, wraps what it reads at once and the rest in the background, and
// shapes only the lines in view, so showing a grown log costs what the new
// characters cost. Where it looks into the text is LogScroll's; how the view, the bar
// and the background wrap follow the text is in logviewscroll.cpp.
class LogView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit LogView(QWidget *parent = nullptr);

    // Afterwards the box holds exactly the log's text. While the box still holds
    // what the last call put there and the log only grew, only the new part is added.
    // The view follows the end while it shows the end, and stays put otherwise. The
    // view and bar follow at once, or, when they did within the last frame, at the
    // frame's end (or before the operator acts): a flood of calls moves them about
    // once a frame.
    void showLog(const ReceiveLog &log);
    // Empties the box only; the next showLog puts the whole log back, at the cost of
    // what the log got since.
    void clear();
    QString toPlainText() const;

    // The selected text, exactly as held: no break that is not in the text.
    QString selectedText() const { return m_editor.selectedText(); }
    void select(qsizetype anchor, qsizetype caret);
    // The position of the first character in view.
    qsizetype firstVisiblePosition() const;
    // Whether every line count is exact, which a background pass sees to after a
    // change of width or font.
    bool isSettled() const { return m_editor.isSettled(); }
    // Items for the context menu, below its edit items; their shortcuts act only
    // while the box has the focus, so the transmit box keeps every Ctrl+letter.
    void addMenuActions(const QList<QAction *> &actions);

    // The text, caret and selection as they are now, for tools such as a find bar.
    const LogEditor &editor() const { return m_editor; }
    // A child widget shown under the lines and as wide as they are, or none: the lines
    // give up the room it takes and the box keeps its size. The one before is hidden.
    void setBottomWidget(QWidget *widget);
    // The same above the lines.
    void setTopWidget(QWidget *widget);

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    template<typename Change>
    void keepingView(Change change);
    void refreshView();
    void settleView();
    void scrollToPosition(qsizetype pos);
    void scrollToLine(qint64 line);
    void scrollToEnd();
    void syncBar();
    void startSettling();
    void settleSlice();
    void caretMoved();
    void startBlinking();
    void dragTo(QPoint point);
    void showArrivalTip(const QHelpEvent &event);

    qsizetype positionAt(QPoint point, bool *atLineEnd) const;
    qint64 topLine() const;
    bool isAtEnd() const;
    int visibleRows() const;
    int layoutWidth() const;
    QPointF lineOrigin(qint64 line) const;
    void placeEdgeWidgets();

    LogEditor m_editor;
    LogScroll m_scroll{m_editor.layout(), m_editor.text()};
    bool m_movingBar = false;
    QBasicTimer m_settleTimer;

    QAction *m_cutAction = nullptr;
    QAction *m_copyAction = nullptr;
    QAction *m_pasteAction = nullptr;
    QAction *m_deleteAction = nullptr;
    QAction *m_selectAllAction = nullptr;
    QList<QAction *> m_menuActions;
    QPointer<QWidget> m_bottomWidget;
    QPointer<QWidget> m_topWidget;

    // The view as the operator last saw it, while a refresh waits for the next frame.
    QBasicTimer m_frameTimer;
    bool m_refreshPending = false;
    bool m_pendingAtEnd = false;
    qsizetype m_pendingTop = 0;

    QBasicTimer m_blinkTimer;
    bool m_caretShown = false;
    QBasicTimer m_dragTimer;
    bool m_dragging = false;
    QPoint m_dragPoint;
};
