#include "latchbutton.h"

#include <QImage>
#include <QStyle>
#include <QStyleFactory>
#include <QtTest>

#include <memory>

class TestLatchButton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pressedReadsAtAGlance_data();
    void pressedReadsAtAGlance();
};

namespace {

// The share of the button's pixels that carry the highlight's hue, strongly.
double highlightShare(const QImage &image, const QColor &highlight)
{
    qsizetype matching = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.hsvSaturation() > 80 && std::abs(pixel.hsvHue() - highlight.hsvHue()) < 15)
                ++matching;
        }
    }
    return double(matching) / double(image.width() * image.height());
}

QPalette darkPalette()
{
    QPalette dark(QColor(53, 53, 53), QColor(35, 35, 35));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    return dark;
}

} // namespace

void TestLatchButton::pressedReadsAtAGlance_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QPalette>("palette");
    QTest::newRow("Fusion") << QStringLiteral("Fusion") << QPalette();
    QTest::newRow("Fusion dark") << QStringLiteral("Fusion") << darkPalette();
    QTest::newRow("Windows") << QStringLiteral("Windows") << QPalette();
}

void TestLatchButton::pressedReadsAtAGlance()
{
    QFETCH(QString, style);
    QFETCH(QPalette, palette);
    const std::unique_ptr<QStyle> look(QStyleFactory::create(style));
    QVERIFY(look);
    LatchButton button(QStringLiteral("Connect"));
    button.setStyle(look.get());
    if (palette != QPalette())
        button.setPalette(palette);
    button.resize(57, 25);
    const QColor highlight = button.palette().color(QPalette::Highlight);

    const double raised = highlightShare(button.grab().toImage(), highlight);
    button.setChecked(true);
    const double pressed = highlightShare(button.grab().toImage(), highlight);
    QVERIFY2(raised < 0.05, qPrintable(QString::number(raised)));
    QVERIFY2(pressed > 0.5, qPrintable(QString::number(pressed)));
}

QTEST_MAIN(TestLatchButton)
#include "tst_latchbutton.moc"
