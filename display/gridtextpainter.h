#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>

class QPainter;

// Draws display text on the fixed 8 x 15 pixel character grid whatever fonts are
// installed: each character is centred in a cell of its own, so positions never
// depend on font metrics. Characters with no printable form (code 127, the code
// page's unassigned positions) get a drawn box, never an empty cell.
class GridTextPainter
{
public:
    // The system's fixed-pitch font at the largest pixel size whose characters fit a
    // cell; without antialiasing, so every inked pixel has exactly the ink colour.
    static QFont font();

    // Whether `c` is drawn as the stand-in box rather than as a glyph.
    static bool drawsStandIn(QChar c);

    // Draws `text` with the top left of its first character cell at `topLeft`, each
    // character clipped to its cell (the painter's own clip is replaced meanwhile).
    static void drawText(QPainter &painter, QPoint topLeft, const QString &text, const QColor &ink);
};
