#include "labelgrid.h"

#include "units.h"

#include <QtGlobal>

LabelGrid::LabelGrid(int count, int rows, int columnStep, int rowStep, int width, int height)
    : m_count(count)
    , m_rows(qMax(1, rows))
    , m_columnStep(columnStep)
    , m_rowStep(rowStep)
    , m_width(width)
    , m_height(height)
{
}

QRect LabelGrid::rect(int index) const
{
    if (index < 0 || index >= m_count)
        return {};
    const int column = index / m_rows;
    const int row = index % m_rows;
    return Units::twipsRect(column * m_columnStep, row * m_rowStep, m_width, m_height);
}

int LabelGrid::indexAt(QPoint point) const
{
    for (int index = m_count - 1; index >= 0; --index) {
        if (rect(index).contains(point))
            return index;
    }
    return -1;
}
