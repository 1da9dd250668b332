#include "shapedline.h"

#include "linebreak.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

ShapedLine::ShapedLine(const LogText &text, const WrapLayout &layout, qint64 line, const QFont &font)
    : m_line(line)
    , m_start(layout.lineStart(line))
    , m_end(layout.lineEnd(line))
{
    const QString chars = text.mid(m_start, m_end);
    m_contentStart = m_start;
    if (!chars.isEmpty() && m_start > 0 && LineBreak::isPair(text.at(m_start - 1), chars.front()))
        ++m_contentStart;
    m_contentEnd = m_end;
    const bool hardEnd = m_end > m_contentStart && LineBreak::isBreak(chars.back());
    if (hardEnd)
        --m_contentEnd;
    m_softEnd = !hardEnd && m_end < text.size();

    m_layout = std::make_unique<QTextLayout>(CharMetrics::glyphs(chars), font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(qreal(layout.metrics().tabStop()) / CharMetrics::kUnit);
    m_layout->setTextOption(option);
    m_layout->setCacheEnabled(true);
    m_layout->beginLayout();
    QTextLine textLine = m_layout->createLine();
    if (textLine.isValid())
        textLine.setPosition(QPointF(0, 0));
    m_layout->endLayout();
}

qreal ShapedLine::xOf(qsizetype pos) const
{
    const QTextLine textLine = m_layout->lineAt(0);
    if (!textLine.isValid())
        return 0;
    return textLine.cursorToX(int(std::clamp(pos, m_start, m_end) - m_start));
}

qsizetype ShapedLine::posAt(qreal x) const
{
    const QTextLine textLine = m_layout->lineAt(0);
    const qsizetype offset = textLine.isValid() ? textLine.xToCursor(x) : 0;
    return std::clamp(m_start + offset, m_contentStart, m_contentEnd);
}

qreal ShapedLine::width() const
{
    return xOf(m_contentEnd);
}

void ShapedLine::draw(QPainter *painter, QPointF topLeft, qsizetype selectionFrom, qsizetype selectionTo,
                      const QPalette &palette) const
{
    QList<QTextLayout::FormatRange> selections;
    const qsizetype from = std::max(selectionFrom, m_start);
    const qsizetype to = std::min(selectionTo, m_end);
    if (from < to) {
        QTextLayout::FormatRange range;
        range.start = int(from - m_start);
        range.length = int(to - from);
        range.format.setBackground(palette.brush(QPalette::Highlight));
        range.format.setForeground(palette.brush(QPalette::HighlightedText));
        selections.append(range);
    }
    m_layout->draw(painter, topLeft, selections);
}
