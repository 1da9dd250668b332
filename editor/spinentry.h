#pragma once

#include "spinstate.h"

#include <QWidget>

class QFrame;
class QLineEdit;
class QTimer;
class QToolButton;

// The text box, spin buttons, repeat timer and cover panel shared by the integer and the
// hexadecimal spin entry. The derived entry gives the notation of the text and its own
// set_values; this class maps mouse, key and focus events onto SpinState and raises
// `changed` in its four cases only: release on Up, release on Down, Enter released in
// Text1, and Text1 losing the focus.
class SpinEntry : public QWidget
{
    Q_OBJECT

public:
    ~SpinEntry() override;

    // False brings the hyphen row in front of everything; true uncovers the entry.
    // Value, bounds and repeat are left as they are.
    void Enabled(bool State);

    // Commits the typed text first, so the text shows what is returned.
    qint16 return_value();

    QSize sizeHint() const override;

Q_SIGNALS:
    void changed();

protected:
    enum class FocusOrder { TextFirst, ButtonsFirst };

    SpinEntry(FocusOrder order, QWidget *parent);

    virtual qint16 valueFromText(const QString &text) const = 0;
    virtual QString textFromValue(qint16 value) const = 0;

    void setTextToolTip(const QString &text);
    void showValue(qint16 requested);
    void stopRepeat();

    bool eventFilter(QObject *watched, QEvent *event) override;

    SpinState m_state;

private:
    void buildControls(FocusOrder order);
    QLineEdit *createText();
    QToolButton *createButton(const QString &name, int topTwips, Qt::ArrowType arrow);
    void connectControls();
    void textEvent(const QEvent *event);
    void buttonEvent(bool up, const QEvent *event);
    void press(bool up);
    void release(bool up);
    void repeatStep();
    void focusMoved(const QWidget *from, const QWidget *to);
    void commit();
    void refreshText();
    bool holds(const QWidget *widget) const;

    QFrame *m_cover = nullptr;
    QLineEdit *m_text = nullptr;
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    QTimer *m_timer = nullptr;
};
