#pragma once

#include "logsearch.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QWidget>

#include <optional>

class LogView;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;

// The receive box's find bar: a pattern, "Match case" and a word on how the last
// find went. Ctrl+F in the box or Find... in its menu opens it at the bottom of the
// box; Enter or F3 finds the next match from the box's caret, Shift with either the
// previous one, a slice at a time from a timer, and selects it in the box. Escape
// stops a find that runs, else closes the bar and gives the box the focus back.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(LogView *view);

    void open();
    void dismiss();
    void find(LogSearch::Direction direction);
    bool isSearching() const { return m_search.has_value(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void createControls();
    void addKeys();
    QAction *viewKey(const QKeySequence &key);
    void escape();
    void startSearch(LogSearch::Direction direction, qsizetype from);
    void runSlice();
    void finish();
    void stopSearch(const QString &status);

    LogView *m_view = nullptr;
    QLineEdit *m_pattern = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QLabel *m_status = nullptr;
    QAction *m_escapeAction = nullptr;

    std::optional<LogSearch> m_search;
    LogSearch::Direction m_direction = LogSearch::Direction::Forward;
    qsizetype m_from = 0;
    QBasicTimer m_sliceTimer;
    QElapsedTimer m_searchTime;
};
