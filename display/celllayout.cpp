#include "celllayout.h"

#include "displaymetrics.h"

#include <algorithm>

CellLayout::CellLayout(const SerialString &message)
    : m_count(std::clamp(int(message.count), 0, int(SerialString::kCapacity)))
{
    CellTextBuilder builder;
    int x = 0;
    for (int i = 0; i < m_count; ++i) {
        m_cellStart[i] = x;
        m_cells[i] = builder.next(message.values[i], message.modes[i]);
        x += cellWidth(i);
    }
    m_cellStart[m_count] = x;

    const bool endsWithComma = m_count > 0 && m_cells[m_count - 1].separatorWidth > 0;
    m_lineWidth = endsWithComma ? x + kEndAllowance : x;
}

int CellLayout::cellStart(int i) const
{
    return i >= 0 && i < kCellStarts ? m_cellStart[i] : 0;
}

int CellLayout::cellWidth(int i) const
{
    return i >= 0 && i < m_count ? int(m_cells[i].text.size()) * DisplayMetrics::kCharWidth : 0;
}

bool CellLayout::isVisible(int i, int pixelOffset, int scaleWidth) const
{
    const int left = cellStart(i) - pixelOffset;
    return i >= 0 && i < m_count && left < scaleWidth && left + cellWidth(i) > 0;
}

QRect CellLayout::markRect(int i, int pixelOffset) const
{
    const int left = cellStart(i) - pixelOffset;
    const int separator = i >= 0 && i < m_count ? m_cells[i].separatorWidth : 0;
    return QRect(QPoint(left + separator, 0),
                 QPoint(left + cellWidth(i), DisplayMetrics::kLineHeight - 1));
}
