#include "picturebox.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    // Right-button events must reach mouseReleaseEvent rather than open a parent's menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage &PictureBox::clear(const QColor &background)
{
    m_background = background;
    if (m_picture.size() != size())
        m_picture = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    m_picture.fill(background);
    update();
    return m_picture;
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    painter.drawImage(0, 0, m_picture);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    Q_EMIT released(event->button(), event->globalPosition().toPoint());
}
