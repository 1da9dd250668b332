#pragma once

#include <QPoint>
#include <QRect>

// The layout of a pop-up's labels: label i sits in column i / rows and row i % rows,
// neighbours overlapping by their one-pixel border, so that code c of the control-code
// picker is column c div 8, row c mod 8. All pixel values are relative to the client area.
class LabelGrid
{
public:
    static constexpr int kLabelHeight = 255;
    static constexpr int kOverlap = 15;

    // `width` in twips; every label is kLabelHeight high, and the steps are the label's
    // size less the overlap.
    LabelGrid(int count, int rows, int width);

    int count() const { return m_count; }
    // An index outside 0 to count - 1 gives an empty rectangle.
    QRect rect(int index) const;
    // The label under `point`; where two overlap, the later one, which lies on top.
    // -1 when the point is on no label.
    int indexAt(QPoint point) const;

private:
    int m_count = 0;
    int m_rows = 1;
    int m_width = 0;
};
