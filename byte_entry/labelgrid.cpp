#include "labelgrid.h"

#include "units.h"

#include <QtGlobal>

LabelGrid::LabelGrid(int count, int rows, int width)
    : m_count(count)
    , m_rows(qMax(1, rows))
    , m_width(width)
{
}

QRect LabelGrid::rect(int index) const
{
    if (index < 0 || index >= m_count)
        return {};
    const int column = index / m_rows;
    const int row = index % m_rows;
    return Units::twipsRect(column * (m_width - kOverlap), row * (kLabelHeight - kOverlap),
                            m_width, kLabelHeight);
}

int LabelGrid::indexAt(QPoint point) const
{
    for (int index = m_count - 1; index >= 0; --index) {
        if (rect(index).contains(point))
            return index;
    }
    return -1;
}
