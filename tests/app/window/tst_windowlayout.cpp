#include "windowlayout.h"

#include <QtTest>

class TestWindowLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placesFor_data();
    void placesFor();
};

void TestWindowLayout::placesFor_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("leftFrameLeft");
    QTest::addColumn<int>("text1Width");
    QTest::addColumn<int>("text1Height");
    QTest::addColumn<int>("transmitTop");

    // At the minimum the receive box ends where the right column begins, and the
    // vertical layout is the creation layout.
    QTest::newRow("minimum") << 6615 << 5925 << 3720 << 2280 << 3375 << 3600;
    QTest::newRow("creation width") << 8010 << 5925 << 5115 << 3675 << 3375 << 3600;
    QTest::newRow("larger") << 12000 << 9000 << 9105 << 7665 << 6450 << 6675;
    QTest::newRow("full HD") << 28800 << 15600 << 25905 << 24465 << 13050 << 13275;
}

void TestWindowLayout::placesFor()
{
    QFETCH(int, width);
    QFETCH(int, height);
    const WindowLayout::Places p = WindowLayout::placesFor(width, height);
    QTEST(p.leftFrameLeft, "leftFrameLeft");
    QTEST(p.text1Width, "text1Width");
    QTEST(p.text1Height, "text1Height");
    QTEST(p.transmitFrameTop, "transmitTop");
    QCOMPARE(WindowLayout::kText1Left + p.text1Width, p.leftFrameLeft);
    QCOMPARE(p.leftFrameLeft + WindowLayout::kLeftFrameWidth + 240, width);
    QCOMPARE(p.transmitFrameWidth, p.text1Width);
    QCOMPARE(p.text2Width, p.text1Width - 240);
    QCOMPARE(p.displayWidth, p.text2Width);
}

QTEST_GUILESS_MAIN(TestWindowLayout)
#include "tst_windowlayout.moc"
