#include "gridtextpainter.h"

#include "codepage.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QtTest>

class TestGridTextPainter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fontFitsTheCell();
    void everyCharacterStaysInItsCell();
    void charactersFollowTheGrid();
};

static constexpr int kCell = 8;
static constexpr int kLine = 15;
static const QColor kInk(255, 0, 255);

// The columns inked in `image`, and whether every inked pixel has exactly the ink.
static QList<int> inkedColumns(const QImage &image, bool *onlyInk)
{
    QList<int> columns;
    *onlyInk = true;
    for (int x = 0; x < image.width(); ++x) {
        bool inked = false;
        for (int y = 0; y < image.height(); ++y) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel != Qt::white) {
                inked = true;
                *onlyInk = *onlyInk && pixel == kInk;
            }
        }
        if (inked)
            columns << x;
    }
    return columns;
}

static QImage drawn(const QString &text, int left)
{
    QImage image(kCell * 3, kLine, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    GridTextPainter::drawText(painter, QPoint(left, 0), text, kInk);
    return image;
}

void TestGridTextPainter::fontFitsTheCell()
{
    const QFontMetrics metrics(GridTextPainter::font());
    QVERIFY(metrics.horizontalAdvance(u'W') <= kCell);
    QVERIFY(metrics.height() <= kLine);
    QVERIFY2(metrics.height() >= kLine - 4, qPrintable(GridTextPainter::font().toString()));
}

// Every code page character alone in the middle cell: something visible (code 127 and
// the unassigned positions included), nothing outside the cell, no blended pixels.
void TestGridTextPainter::everyCharacterStaysInItsCell()
{
    for (int b = 32; b < 256; ++b) {
        const QChar c = CodePage::toUnicode(quint8(b));
        bool onlyInk = false;
        const QList<int> columns = inkedColumns(drawn(QString(c), kCell), &onlyInk);
        const QByteArray what = QByteArray::number(b);
        QVERIFY2(onlyInk, what);
        if (b == 32 || b == 0xA0) {
            QVERIFY2(columns.isEmpty(), what);
            continue;
        }
        QVERIFY2(!columns.isEmpty(), what);
        QVERIFY2(columns.first() >= kCell && columns.last() < 2 * kCell, what);
    }
}

// Three bars are one bar repeated at 8-pixel steps, whatever the font's own advance.
void TestGridTextPainter::charactersFollowTheGrid()
{
    bool onlyInk = false;
    const QList<int> one = inkedColumns(drawn(QStringLiteral("|"), 0), &onlyInk);
    QVERIFY(!one.isEmpty());
    QList<int> expected;
    for (int k = 0; k < 3; ++k) {
        for (const int x : one)
            expected << x + k * kCell;
    }
    QCOMPARE(inkedColumns(drawn(QStringLiteral("|||"), 0), &onlyInk), expected);
}

QTEST_MAIN(TestGridTextPainter)
#include "tst_gridtextpainter.moc"
