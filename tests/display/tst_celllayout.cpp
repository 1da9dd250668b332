#include "celllayout.h"

#include "globals.h"
#include "messages.h"

#include <QtTest>

class TestCellLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Globals::InitTables(); }
    void cellStarts_data();
    void cellStarts();
    void unusedStartsReadZero();
    void visibility_data();
    void visibility();
};

using Starts = QList<int>;

void TestCellLayout::cellStarts_data()
{
    QTest::addColumn<SerialString>("message");
    QTest::addColumn<Starts>("starts");
    QTest::addColumn<int>("lineWidth");
    QTest::newRow("worked example") << makeMessage({{2, kHex}, {0x41, kAscii}, {0x42, kAscii}, {3, kHex}})
                                    << Starts{0, 24, 40, 48, 80} << 96;
    QTest::newRow("empty") << makeMessage({}) << Starts{0} << 0;
    QTest::newRow("single byte") << makeMessage({{65, kAscii}}) << Starts{0, 8} << 8;
    QTest::newRow("last cell without comma") << makeMessage({{'H', kAscii}, {'i', kAscii}}) << Starts{0, 8, 16} << 16;
    QTest::newRow("unknown first mode is zero wide") << makeMessage({{1, 9}, {1, kHex}}) << Starts{0, 0, 32} << 48;

    Starts widest{0, 72};
    for (int i = 2; i <= 32; ++i)
        widest << widest.last() + 80;
    QTest::newRow("32 widest cells") << makeMessage(repeated(32, 255, ByteMode::BINARY)) << widest << 2568;

    SerialString tooLong = makeMessage(repeated(32, 'x', ByteMode::ASCII));
    tooLong.count = 40;
    Starts letters;
    for (int i = 0; i <= 32; ++i)
        letters << 8 * i;
    QTest::newRow("count above 32 lays out 32") << tooLong << letters << 256;

    SerialString negative = makeMessage({{1, kHex}});
    negative.count = -3;
    QTest::newRow("negative count") << negative << Starts{0} << 0;
}

void TestCellLayout::cellStarts()
{
    QFETCH(SerialString, message);
    QFETCH(Starts, starts);
    QFETCH(int, lineWidth);
    const CellLayout layout(message);
    QCOMPARE(layout.cellCount(), starts.size() - 1);
    for (int i = 0; i < starts.size(); ++i)
        QCOMPARE(layout.cellStart(i), starts[i]);
    for (int i = 0; i < layout.cellCount(); ++i)
        QCOMPARE(layout.cellWidth(i), starts[i + 1] - starts[i]);
    QCOMPARE(layout.lineWidth(), lineWidth);
}

void TestCellLayout::unusedStartsReadZero()
{
    const CellLayout layout(makeMessage({{1, kHex}, {2, kHex}}));
    for (const int i : {-1, 3, 31, 32, 33, 32767})
        QCOMPARE(layout.cellStart(i), 0);
    QCOMPARE(layout.cellWidth(2), 0);
    QVERIFY(!layout.isVisible(2, 0, 200));
}

// Cell 1 of the worked example covers line pixels 24 to 40 (",A").
void TestCellLayout::visibility_data()
{
    QTest::addColumn<int>("pixelOffset");
    QTest::addColumn<int>("scaleWidth");
    QTest::addColumn<bool>("visible");
    QTest::newRow("in view") << 0 << 200 << true;
    QTest::newRow("starts at the right border") << 0 << 24 << false;
    QTest::newRow("starts one pixel inside") << 0 << 25 << true;
    QTest::newRow("ends at the left border") << 40 << 200 << false;
    QTest::newRow("ends one pixel inside") << 39 << 200 << true;
    QTest::newRow("scrolled past the right") << -200 << 200 << false;
}

void TestCellLayout::visibility()
{
    QFETCH(int, pixelOffset);
    QFETCH(int, scaleWidth);
    QFETCH(bool, visible);
    const CellLayout layout(makeMessage({{2, kHex}, {0x41, kAscii}, {0x42, kAscii}, {3, kHex}}));
    QCOMPARE(layout.isVisible(1, pixelOffset, scaleWidth), visible);
}

QTEST_GUILESS_MAIN(TestCellLayout)
#include "tst_celllayout.moc"
