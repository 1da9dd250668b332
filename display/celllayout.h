#pragma once

#include "celltextbuilder.h"
#include "serialstring.h"

#include <QRect>

#include <array>

// One message laid out as a line of cells: each cell's text, ink, start and width,
// the table of cell starts and the line width the scroll range is taken from. Built
// whole from the record; a count above 32 lays out 32 cells, a count of 0 or less none.
class CellLayout
{
public:
    static constexpr int kCellStarts = SerialString::kCapacity + 1;
    // Room kept after a line whose last cell opens with a comma.
    static constexpr int kEndAllowance = 16;

    explicit CellLayout(const SerialString &message);

    int cellCount() const { return m_count; }
    // Cell i, for 0 <= i < cellCount().
    const CellText &cell(int i) const { return m_cells[i]; }
    // Where cell i begins, before scrolling; cellStart(cellCount()) is where the last
    // cell ends. Reads 0 above cellCount() and outside 0 to 32, as unused entries do.
    int cellStart(int i) const;
    int cellWidth(int i) const;
    int lineWidth() const { return m_lineWidth; }

    // Whether cell i shows at all in a view `scaleWidth` wide scrolled by `pixelOffset`.
    bool isVisible(int i, int pixelOffset, int scaleWidth) const;
    // The pixels the cursor mark outlines around cell i's text (its comma left out),
    // rows 0 to 14, in view coordinates.
    QRect markRect(int i, int pixelOffset) const;

private:
    int m_count = 0;
    std::array<CellText, SerialString::kCapacity> m_cells;
    std::array<int, kCellStarts> m_cellStart{};
    int m_lineWidth = 0;
};
