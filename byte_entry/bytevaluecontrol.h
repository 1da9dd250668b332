#pragma once

#include <QWidget>

class MyTextBox;
class QFrame;
class QLabel;

// One byte of a message in the editor: its position number, the byte box that shows
// and edits the value in the byte's mode, and the mode label that opens the mode
// chooser. It holds no data of its own: every property reads or writes the byte box.
class ByteValueControl : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qint32 Mode READ Mode WRITE setMode)
    Q_PROPERTY(quint8 value READ value WRITE setValue)
    Q_PROPERTY(bool Error READ Error)

public:
    explicit ByteValueControl(QWidget *parent = nullptr);

    // Re-renders the byte in the new mode and puts the caret at the start.
    qint32 Mode() const;
    void setMode(qint32 mode);
    // Reads 0 to 255; a decimal entry above 255 reads as 255 with Error set.
    quint8 value() const;
    void setValue(quint8 value);
    bool Error() const;
    // Caption of the index label; the editor passes the position counted from 1.
    void setMyIndex(quint8 index);

    QSize sizeHint() const override;

Q_SIGNALS:
    // The operator closed the mode chooser; Mode holds the mode now in force.
    void ModeChanged();
    // The operator typed, deleted or picked in the byte box.
    void VariableChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void UpdateModeLabel();
    void SendLeftButtonUp(QPointF position);
    void modeLabelReleased(Qt::MouseButton button);
    void chooseMode();

    QLabel *m_indexLabel = nullptr;
    MyTextBox *m_textBox = nullptr;
    QFrame *m_frame = nullptr;
    QLabel *m_modeLabel = nullptr;
    bool m_choosing = false;
};
