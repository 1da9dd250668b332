#pragma once

#include <QPoint>
#include <QRect>

// The layout of a pop-up's labels: label i sits in column i / rows and row i % rows,
// neighbours overlapping by their border, so that code c of the control-code picker
// is column c div 8, row c mod 8. All pixel values are relative to the client area.
class LabelGrid
{
public:
    // Steps, width and height in twips.
    LabelGrid(int count, int rows, int columnStep, int rowStep, int width, int height);

    int count() const { return m_count; }
    // An index outside 0 to count - 1 gives an empty rectangle.
    QRect rect(int index) const;
    // The label under `point`; where two overlap, the later one, which lies on top.
    // -1 when the point is on no label.
    int indexAt(QPoint point) const;

private:
    int m_count = 0;
    int m_rows = 1;
    int m_columnStep = 0;
    int m_rowStep = 0;
    int m_width = 0;
    int m_height = 0;
};
