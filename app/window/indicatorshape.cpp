#include "indicatorshape.h"

#include <QPainter>

IndicatorShape::IndicatorShape(QWidget *parent)
    : QWidget(parent)
{
}

void IndicatorShape::setFillColor(const QColor &color)
{
    if (color == m_fill)
        return;
    m_fill = color;
    update();
}

void IndicatorShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_fill);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
