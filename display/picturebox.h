#pragma once

#include <QImage>
#include <QWidget>

// A picture area that keeps what was last drawn into it: drawing goes into a backing
// image and paint events only copy that image to the screen. It reports left-button
// double-clicks and every button release, and has no context menu of its own.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    // Starts a new picture: the backing image takes the widget's size, filled with
    // `background`, and is returned for drawing; the screen follows on the next paint.
    QImage &clear(const QColor &background);
    const QImage &picture() const { return m_picture; }

Q_SIGNALS:
    void doubleClicked();
    void released(Qt::MouseButton button, QPoint globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
    QColor m_background = Qt::white;
};
