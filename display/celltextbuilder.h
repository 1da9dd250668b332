#pragma once

#include <QColor>
#include <QString>

#include <optional>

// One cell of a message line: its text (leading comma included), its ink and the
// width in pixels of that comma (0 when there is none).
struct CellText {
    QString text;
    QColor colour;
    int separatorWidth = 0;
};

// Builds the cells of a message in line order. A byte whose mode names no notation
// repeats the value text and ink of the cell before it (empty and black for the first
// cell) but keeps its own separator, which is why the builder carries state.
class CellTextBuilder
{
public:
    // The byte in its notation with its suffix ("0Ah", "007d", "101b", "STXc", "A");
    // nothing for a mode value outside the five notations.
    static std::optional<QString> valueText(quint8 value, quint8 mode);

    CellText next(quint8 value, quint8 mode);

private:
    bool m_first = true;
    quint8 m_previousMode = 0;
    QString m_previousBody;
    QColor m_previousColour;
};
