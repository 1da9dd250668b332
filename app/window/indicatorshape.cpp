#include "indicatorshape.h"

#include <QPainter>

#include <utility>

IndicatorShape::IndicatorShape(QWidget *parent)
    : QWidget(parent)
{
}

void IndicatorShape::setFillColor(const QColor &color)
{
    if (color == m_fill)
        return;
    m_fill = color;
    sayState();
    update();
}

void IndicatorShape::setWords(Words words)
{
    m_words = std::move(words);
    sayState();
}

void IndicatorShape::sayState()
{
    const QString &words = m_fill == kError ? m_words.error : m_words.quiet;
    setToolTip(words);
    setAccessibleDescription(words);
}

void IndicatorShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_fill);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
