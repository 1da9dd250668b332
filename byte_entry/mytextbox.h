#pragma once

#include "bytetext.h"

#include <QList>
#include <QWidget>

class QKeyEvent;
class QMouseEvent;
class QTimer;

// The byte box: shows and edits one byte in its mode. It draws its text and its own
// blinking caret into Picture1 and reads keys and clicks itself, so that each mode
// takes only its own characters; in control-code mode a press opens the control-code
// picker under the pointer instead, and the press, a move and the release pick a code.
class MyTextBox : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qint32 Mode READ Mode WRITE setMode)
    Q_PROPERTY(quint8 value READ value WRITE setValue)
    Q_PROPERTY(bool Error READ Error)

public:
    explicit MyTextBox(QWidget *parent = nullptr);

    qint32 Mode() const;
    void setMode(qint32 mode);
    // Reads 0 to 255; a decimal entry above 255 reads as 255 with Error set.
    quint8 value() const;
    void setValue(quint8 value);
    bool Error() const;

    // What the box shows and where its caret stands.
    QString DisplayText() const;
    int CaretPos() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // After every accepted character, every deletion and every control-code pick.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Redraw();
    void SendLeftButtonUp(QPointF position);

    void focusGained();
    void focusLost();
    void blink();
    bool keyDown(QKeyEvent *event);
    bool typeText(const QString &text);
    void mouseDown(QMouseEvent *event);
    void mouseUp(QMouseEvent *event);
    void pickControlCode(double releaseX);
    void paintPicture();
    QList<double> characterWidths() const;

    ByteText m_state;
    QWidget *m_picture = nullptr;
    QTimer *m_timer = nullptr;
    bool m_hasFocus = false;
    bool m_caretOn = false;
    bool m_picking = false;
};
