#include "scrollmath.h"

#include <QtTest>

class TestScrollMath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rangeFor_data();
    void rangeFor();
    void autoScrollValue_data();
    void autoScrollValue();
};

static constexpr int kView = 200;

void TestScrollMath::rangeFor_data()
{
    QTest::addColumn<int>("lineWidth");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("largeChange");
    QTest::newRow("worked example fits") << 96 << true << 0 << 0;
    QTest::newRow("exactly as wide") << kView << true << 0 << 0;
    QTest::newRow("one pixel wider") << kView + 1 << false << 1 << 1;
    QTest::newRow("half step to even below") << kView + 12 << false << 2 << 1;
    QTest::newRow("half step to even above") << kView + 20 << false << 4 << 1;
    QTest::newRow("worked example 300") << 300 << false << 14 << 4;
    QTest::newRow("quarter rounds down to even") << kView + 72 << false << 10 << 2;
    QTest::newRow("quarter rounds up to even") << kView + 40 << false << 6 << 2;
    QTest::newRow("widest line") << 2568 << false << 297 << 74;
}

void TestScrollMath::rangeFor()
{
    QFETCH(int, lineWidth);
    QFETCH(bool, fits);
    QFETCH(int, maximum);
    QFETCH(int, largeChange);
    const ScrollMath::Range range = ScrollMath::rangeFor(lineWidth, kView);
    QCOMPARE(range.fits, fits);
    QCOMPARE(range.maximum, maximum);
    QCOMPARE(range.largeChange, largeChange);
}

void TestScrollMath::autoScrollValue_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("pixelOffset");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<std::optional<int>>("value");
    const std::optional<int> none;
    QTest::newRow("in view") << 40 << 80 << 0 << 50 << none;
    QTest::newRow("ends at the margin") << 144 << 184 << 0 << 50 << none;
    QTest::newRow("ends one pixel into the margin") << 145 << 185 << 0 << 50 << std::optional(0);
    QTest::newRow("ends beyond the border") << 792 << 832 << 0 << 150 << std::optional(81);
    QTest::newRow("scrolled, ends beyond") << 792 << 832 << 320 << 150 << std::optional(81);
    QTest::newRow("half step to even") << 188 << 204 << 0 << 50 << std::optional(2);
    // 2.5 steps on top of Value 1: the sum is rounded, 3.5 giving 4, not 2 + 1.
    QTest::newRow("half step on an odd Value") << 196 << 212 << 8 << 50 << std::optional(4);
    QTest::newRow("lowered to maximum") << 792 << 832 << 0 << 60 << std::optional(60);
    QTest::newRow("starts left of the view") << 32 << 72 << 648 << 150 << std::optional(4);
    QTest::newRow("starts at the view's left") << 648 << 688 << 648 << 150 << none;
    QTest::newRow("cell past the end scrolls home") << 0 << 0 << 648 << 150 << std::optional(0);
}

void TestScrollMath::autoScrollValue()
{
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(int, pixelOffset);
    QFETCH(int, maximum);
    QFETCH(std::optional<int>, value);
    const ScrollMath::View view{pixelOffset, kView, pixelOffset / 8, maximum};
    QCOMPARE(ScrollMath::autoScrollValue(left, right, view), value);
}

QTEST_GUILESS_MAIN(TestScrollMath)
#include "tst_scrollmath.moc"
