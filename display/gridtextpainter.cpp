#include "gridtextpainter.h"

#include "displaymetrics.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kLargestPixelSize = 14;
constexpr int kSmallestPixelSize = 8;
constexpr char16_t kSoftHyphen = 0x00AD;

QFont fittedFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter, QFont::NoAntialias);
    font.setFixedPitch(true);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    for (int size = kLargestPixelSize; size >= kSmallestPixelSize; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        if (metrics.horizontalAdvance(u'W') <= DisplayMetrics::kCharWidth
            && metrics.height() <= DisplayMetrics::kLineHeight)
            break;
    }
    return font;
}

// The box drawn for a character the font has no printable form of.
QRect standInBox(QPoint cell)
{
    return QRect(cell.x() + 1, cell.y() + 3, 5, 9);
}

} // namespace

QFont GridTextPainter::font()
{
    static const QFont font = fittedFont();
    return font;
}

bool GridTextPainter::drawsStandIn(QChar c)
{
    return !c.isPrint() && c != QChar(kSoftHyphen);
}

void GridTextPainter::drawText(QPainter &painter, QPoint topLeft, const QString &text, const QColor &ink)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(font());
    painter.setPen(ink);
    painter.setBrush(Qt::NoBrush);
    QRect box(topLeft, QSize(DisplayMetrics::kCharWidth, DisplayMetrics::kLineHeight));
    for (const QChar c : text) {
        // A fallback font's glyph may be wider than the cell; it is cut, never spread.
        painter.setClipRect(box);
        if (drawsStandIn(c)) {
            painter.drawRect(standInBox(box.topLeft()));
        } else {
            // A soft hyphen is invisible in running text; alone in its cell it shows as a hyphen.
            const QChar shown = c == QChar(kSoftHyphen) ? QChar(u'-') : c;
            painter.drawText(box, Qt::AlignCenter, QString(shown));
        }
        box.translate(DisplayMetrics::kCharWidth, 0);
    }
    painter.restore();
}
