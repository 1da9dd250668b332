#pragma once

#include "labelgrid.h"

#include <QColor>
#include <QDialog>
#include <QList>
#include <QStringList>

class QHelpEvent;
class QLabel;
class QPalette;
class QTimer;

// A borderless pop-up of bordered labels on a grid, created afresh for every use and
// shown modally by its caller: the label under the pointer is highlighted, a release
// of any button on a label picks it and hides the window, and the pointer watch hides
// it without a pick once the pointer has left. Subclasses store the picked index.
class LabelPopup : public QDialog
{
    Q_OBJECT

public:
    struct Colours {
        QColor background;
        QColor text;
    };

    // Shows the window modally until a pick or the pointer watch hides it.
    int exec() override;

    // The highlighted label, -1 while there is none.
    int CurrentIndex() const { return m_currentIndex; }

    // The system's Window colours for a normal label, its Highlight colours for the
    // highlighted one.
    static Colours labelColours(bool highlighted, const QPalette &system);

protected:
    // `clientTwips` is the area the labels lie in; the border comes around it.
    LabelPopup(const LabelGrid &grid, QSize clientTwips, QWidget *parent);

    // What the window does as it loads: placed at `popupPos` (kept off the screen's
    // left and top), label `current` highlighted (none when it is no label), the
    // captions set, the pointer watch started.
    void load(QPoint popupPos, int current, const QStringList &captions);
    QLabel *label(int index) const;

    virtual void pick(int index) = 0;

    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    int labelAt(QPointF position) const;
    void moveHighlight(int index);
    void paintLabel(int index);
    void showToolTip(QHelpEvent *event);
    void watchPointer();

    LabelGrid m_grid;
    QList<QLabel *> m_labels;
    QTimer *m_timer = nullptr;
    int m_currentIndex = -1;
};
