#include "popupplacement.h"

#include <QtTest>

#include <limits>

namespace {

// A pop-up 135 pixels square at (100, 50).
const QRect kWindow(100, 50, 135, 135);

} // namespace

class TestPopupPlacement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pickerOffset_data();
    void pickerOffset();
    void chooserOffset_data();
    void chooserOffset();
    void pointerInside_data();
    void pointerInside();
};

void TestPopupPlacement::pickerOffset_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("releaseX");
    QTest::addColumn<QPoint>("offset");

    QTest::newRow("NUL") << 0 << 90.0 << QPoint(-13, -3);
    QTest::newRow("STX, row 2") << 2 << 90.0 << QPoint(-13, -36);
    QTest::newRow("BEL, last row") << 7 << 90.0 << QPoint(-13, -117);
    QTest::newRow("BS, second column") << 8 << 90.0 << QPoint(-45, -3);
    QTest::newRow("DC3, column 2 row 3") << 19 << 90.0 << QPoint(-78, -52);
    QTest::newRow("US, last label") << 31 << 90.0 << QPoint(-110, -117);
    QTest::newRow("half to even, -11.5") << 0 << 112.5 << QPoint(-12, -3);
    QTest::newRow("half to even, -12.5") << 0 << 97.5 << QPoint(-12, -3);
}

void TestPopupPlacement::pickerOffset()
{
    QFETCH(int, code);
    QFETCH(double, releaseX);
    QFETCH(QPoint, offset);
    QCOMPARE(PopupPlacement::pickerOffset(code, releaseX), offset);
}

void TestPopupPlacement::chooserOffset_data()
{
    QTest::addColumn<qint32>("mode");
    QTest::addColumn<QPoint>("offset");

    QTest::newRow("ASCII") << 0 << QPoint(-3, -3);
    QTest::newRow("HEX") << 1 << QPoint(-3, -19);
    QTest::newRow("DECIMAL") << 2 << QPoint(-3, -36);
    QTest::newRow("BINARY") << 3 << QPoint(-3, -52);
    QTest::newRow("CONTROL") << 4 << QPoint(-3, -68);
    QTest::newRow("mode 5 as first row") << 5 << QPoint(-3, -3);
    QTest::newRow("negative mode") << -1 << QPoint(-3, -3);
    QTest::newRow("largest mode") << std::numeric_limits<qint32>::max() << QPoint(-3, -3);
}

void TestPopupPlacement::chooserOffset()
{
    QFETCH(qint32, mode);
    QFETCH(QPoint, offset);
    QCOMPARE(PopupPlacement::chooserOffset(mode), offset);
}

void TestPopupPlacement::pointerInside_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<bool>("inside");

    QTest::newRow("centre") << QPoint(160, 110) << true;
    QTest::newRow("left edge") << QPoint(100, 110) << true;
    QTest::newRow("left of it") << QPoint(99, 110) << false;
    QTest::newRow("right edge") << QPoint(235, 110) << true;
    QTest::newRow("right of it") << QPoint(236, 110) << false;
    QTest::newRow("top edge") << QPoint(160, 50) << true;
    QTest::newRow("above it") << QPoint(160, 49) << false;
    QTest::newRow("bottom edge") << QPoint(160, 185) << true;
    QTest::newRow("below it") << QPoint(160, 186) << false;
}

void TestPopupPlacement::pointerInside()
{
    QFETCH(QPoint, pointer);
    QFETCH(bool, inside);
    QCOMPARE(PopupPlacement::pointerInside(kWindow, pointer), inside);
}

QTEST_GUILESS_MAIN(TestPopupPlacement)
#include "tst_popupplacement.moc"
