#include "spinstate.h"

#include <QtTest>

class TestSpinState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showValue_data();
    void showValue();
    void pressAtTheEnds_data();
    void pressAtTheEnds();
    void bothHeldStepDownThenUp();
    void releaseClearsOnlyItsButton();
};

void TestSpinState::showValue_data()
{
    QTest::addColumn<int>("mini");
    QTest::addColumn<int>("maxi");
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("shown");
    QTest::newRow("inside") << 0 << 32 << 5 << 5;
    QTest::newRow("above") << 0 << 32 << 40 << 32;
    QTest::newRow("below") << 0 << 32 << -7 << 0;
    QTest::newRow("on the lower bound") << 0 << 32 << 0 << 0;
    QTest::newRow("never configured") << 0 << 0 << 12 << 0;
    QTest::newRow("inverted, above maxi") << 10 << 5 << 7 << 5;
    QTest::newRow("inverted, at maxi") << 10 << 5 << 5 << 10;
    QTest::newRow("inverted, below both") << 10 << 5 << 3 << 10;
}

void TestSpinState::showValue()
{
    QFETCH(int, mini);
    QFETCH(int, maxi);
    QFETCH(int, requested);
    QFETCH(int, shown);
    SpinState state;
    state.min_value = qint16(mini);
    state.max_value = qint16(maxi);
    state.show_value(qint16(requested));
    QCOMPARE(state.current_value, qint16(shown));
}

void TestSpinState::pressAtTheEnds_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("stepped");
    QTest::addColumn<int>("after");
    QTest::newRow("up at the top") << true << 32767 << false << 32767;
    QTest::newRow("up below the top") << true << 32766 << true << 32767;
    QTest::newRow("down at the bottom") << false << -32768 << false << -32768;
    QTest::newRow("down above the bottom") << false << -32767 << true << -32768;
}

void TestSpinState::pressAtTheEnds()
{
    QFETCH(bool, up);
    QFETCH(int, start);
    QFETCH(bool, stepped);
    QFETCH(int, after);
    SpinState state{qint16(start), -32768, 32767, false, false};
    QCOMPARE(up ? state.pressUp() : state.pressDown(), stepped);
    QCOMPARE(state.current_value, qint16(after));
    QCOMPARE(up ? state.up_held : state.down_held, stepped);
    // A repeat never wraps past the end of the range.
    state.tick();
    QCOMPARE(state.current_value, qint16(after));
}

void TestSpinState::bothHeldStepDownThenUp()
{
    SpinState state{5, 0, 5, true, true};
    state.tick();
    QCOMPARE(state.current_value, qint16(5));
    state.current_value = 0;
    state.tick();
    QCOMPARE(state.current_value, qint16(1));
}

void TestSpinState::releaseClearsOnlyItsButton()
{
    SpinState state{5, 0, 10, true, true};
    state.releaseUp();
    QVERIFY(!state.up_held);
    QVERIFY(state.down_held);
    state.releaseDown();
    QVERIFY(!state.down_held);
}

QTEST_GUILESS_MAIN(TestSpinState)
#include "tst_spinstate.moc"
