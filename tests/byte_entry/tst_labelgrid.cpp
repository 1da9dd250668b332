#include "labelgrid.h"

#include <QtTest>

namespace {

// The control-code picker's labels and the mode chooser's rows, in twips.
const LabelGrid kPicker(32, 8, 495);
const LabelGrid kChooser(5, 5, 855);

} // namespace

class TestLabelGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noLabelOutsideTheCount();
    void indexAt_data();
    void indexAt();
};

void TestLabelGrid::noLabelOutsideTheCount()
{
    // The labels' own rectangles are checked on the picker's and the chooser's windows.
    QCOMPARE(kPicker.rect(-1), QRect());
    QCOMPARE(kPicker.rect(32), QRect());
}

void TestLabelGrid::indexAt_data()
{
    QTest::addColumn<bool>("picker");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("index");

    QTest::newRow("first pixel") << true << QPoint(0, 0) << 0;
    QTest::newRow("shared column line") << true << QPoint(32, 0) << 8;
    QTest::newRow("shared row line") << true << QPoint(0, 16) << 1;
    QTest::newRow("shared corner") << true << QPoint(32, 16) << 9;
    QTest::newRow("last pixel") << true << QPoint(128, 128) << 31;
    QTest::newRow("right of the grid") << true << QPoint(129, 0) << -1;
    QTest::newRow("below the grid") << true << QPoint(0, 129) << -1;
    QTest::newRow("HEX row") << false << QPoint(30, 16) << 1;
    QTest::newRow("foot of CONTROL") << false << QPoint(56, 80) << 4;
    QTest::newRow("strip under the rows") << false << QPoint(10, 81) << -1;
}

void TestLabelGrid::indexAt()
{
    QFETCH(bool, picker);
    QFETCH(QPoint, point);
    QFETCH(int, index);
    QCOMPARE((picker ? kPicker : kChooser).indexAt(point), index);
}

QTEST_GUILESS_MAIN(TestLabelGrid)
#include "tst_labelgrid.moc"
