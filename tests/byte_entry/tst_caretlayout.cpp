#include "caretlayout.h"

#include <QtTest>

namespace {

// Widths in twips as measured from a font: fractional, and exactly half way.
constexpr double kWide = 100.4;
constexpr double kHalf = 100.5;
const QList<double> kThree = {kWide, kWide, kWide};
const QList<double> kHalves = {kHalf, kHalf, kHalf};

} // namespace

class TestCaretLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void caretX_data();
    void caretX();
    void caretFromClick_data();
    void caretFromClick();
    void clickLandsWhereCaretIsDrawn();
};

void TestCaretLayout::caretX_data()
{
    QTest::addColumn<QList<double>>("widths");
    QTest::addColumn<int>("caretPos");
    QTest::addColumn<int>("x");

    QTest::newRow("before the text") << kThree << 0 << 30;
    QTest::newRow("after one") << kThree << 1 << 130;
    // Rounded after each character: 30 + 3 x 100.4 would round to 331.
    QTest::newRow("at the end") << kThree << 3 << 330;
    QTest::newRow("past the end") << kThree << 5 << 330;
    QTest::newRow("halves to even, 130.5") << kHalves << 1 << 130;
    QTest::newRow("halves to even, 230.5") << kHalves << 2 << 230;
    QTest::newRow("empty text") << QList<double>() << 0 << 30;
}

void TestCaretLayout::caretX()
{
    QFETCH(QList<double>, widths);
    QFETCH(int, caretPos);
    QFETCH(int, x);
    QCOMPARE(CaretLayout::caretX(widths, caretPos), x);
}

void TestCaretLayout::caretFromClick_data()
{
    QTest::addColumn<QList<double>>("widths");
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("caretPos");

    QTest::newRow("left of the text") << kThree << 0.0 << 0;
    QTest::newRow("at 30") << kThree << 30.0 << 0;
    QTest::newRow("just past 30") << kThree << 30.5 << 1;
    QTest::newRow("inside the first") << kThree << 80.0 << 1;
    QTest::newRow("boundary goes to the left character") << kThree << 130.0 << 1;
    QTest::newRow("just into the second") << kThree << 131.0 << 2;
    QTest::newRow("right edge of the last") << kThree << 330.0 << 3;
    QTest::newRow("beyond the last") << kThree << 331.0 << 3;
    QTest::newRow("far beyond") << kThree << 5000.0 << 3;
    QTest::newRow("empty text") << QList<double>() << 60.0 << 0;
}

void TestCaretLayout::caretFromClick()
{
    QFETCH(QList<double>, widths);
    QFETCH(double, x);
    QFETCH(int, caretPos);
    QCOMPARE(CaretLayout::caretFromClick(widths, x), caretPos);
}

void TestCaretLayout::clickLandsWhereCaretIsDrawn()
{
    // A click just left of where the caret is drawn behind character i puts it there.
    const QList<double> widths = {97.3, 112.6, 60.2, 120.0, 88.8, 97.3, 112.6, 60.2};
    for (int i = 1; i <= widths.size(); ++i)
        QCOMPARE(CaretLayout::caretFromClick(widths, CaretLayout::caretX(widths, i) - 1), i);
}

QTEST_GUILESS_MAIN(TestCaretLayout)
#include "tst_caretlayout.moc"
