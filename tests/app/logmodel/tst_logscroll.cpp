#include "logscroll.h"

#include "receivepieces.h"

#include <QtTest>

using ReceiveNotation::Notation;

namespace {

// kLines lines of kLineSize characters, each one visual line, the last without its
// LF, in a box of kRows rows.
constexpr qsizetype kLineSize = 8;
constexpr qint64 kLines = 20;
constexpr int kRows = 5;
constexpr qint64 kLastTop = kLines - kRows;

QByteArray linesText(qint64 lines)
{
    QByteArray text;
    for (qint64 i = 0; i < lines; ++i)
        text += QByteArray(kLineSize - 1, char('a' + i % 26)) + '\n';
    text.chop(1);
    return text;
}

// A wrapped text and the scroll over it.
struct Fixture
{
    explicit Fixture(qint64 lines)
    {
        text.assign(logOf({{linesText(lines), Notation::Ascii}}));
        layout.setWidth(10 * CharMetrics::kUnit);
        layout.relayout();
    }
    LogText text;
    WrapLayout layout{text};
    LogScroll scroll{layout, text};
};

} // namespace

class TestLogScroll : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toPosition_data();
    void toPosition();
    void scrollBy_data();
    void scrollBy();
    void shorterThanTheBox();
};

void TestLogScroll::toPosition_data()
{
    QTest::addColumn<qsizetype>("pos");
    QTest::addColumn<qint64>("top");
    QTest::newRow("before the start") << qsizetype(-3) << qint64(0);
    QTest::newRow("first character") << qsizetype(0) << qint64(0);
    QTest::newRow("inside a line") << 3 * kLineSize + 4 << qint64(3);
    QTest::newRow("on a line's LF") << 4 * kLineSize - 1 << qint64(3);
    QTest::newRow("last top line") << kLastTop * kLineSize << kLastTop;
    QTest::newRow("past the last top line") << (kLastTop + 2) * kLineSize << kLastTop;
    QTest::newRow("end of the text") << kLines * kLineSize - 1 << kLastTop;
    QTest::newRow("past the text") << qsizetype(10000) << kLastTop;
}

// The view starts on the line holding pos, never so low that rows stay empty; the bar
// shows its line.
void TestLogScroll::toPosition()
{
    QFETCH(qsizetype, pos);
    QFETCH(qint64, top);
    Fixture f(kLines);
    f.scroll.toPosition(pos, kRows);
    QCOMPARE(f.scroll.topLine(), top);
    QCOMPARE(f.scroll.firstVisiblePosition(), top * kLineSize);
    QCOMPARE(f.scroll.isAtEnd(kRows), top == kLastTop);
    QCOMPARE(f.scroll.barValue(), int(top));
    QCOMPARE(f.scroll.barMaximum(kRows), int(kLastTop));
}

void TestLogScroll::scrollBy_data()
{
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("step");
    QTest::addColumn<qint64>("top");
    QTest::newRow("a page down") << qint64(0) << qint64(kRows) << qint64(kRows);
    QTest::newRow("a line up") << qint64(7) << qint64(-1) << qint64(6);
    QTest::newRow("up past the top") << qint64(2) << qint64(-kRows) << qint64(0);
    QTest::newRow("down past the end") << kLastTop - 2 << qint64(kRows) << kLastTop;
    QTest::newRow("up from the end") << kLastTop << qint64(-1) << kLastTop - 1;
}

void TestLogScroll::scrollBy()
{
    QFETCH(qint64, from);
    QFETCH(qint64, step);
    QFETCH(qint64, top);
    Fixture f(kLines);
    f.scroll.toLine(from, kRows);
    QCOMPARE(f.scroll.topLine(), from);
    f.scroll.scrollBy(step, kRows);
    QCOMPARE(f.scroll.topLine(), top);
    QCOMPARE(f.scroll.top(), top * kLineSize);
}

// A text the box holds whole is always shown from its top, and always at its end.
void TestLogScroll::shorterThanTheBox()
{
    Fixture f(kRows - 2);
    for (const qint64 line : {qint64(0), qint64(2), qint64(100)}) {
        f.scroll.toLine(line, kRows);
        QCOMPARE(f.scroll.topLine(), 0);
        QVERIFY(f.scroll.isAtEnd(kRows));
        QCOMPARE(f.scroll.barMaximum(kRows), 0);
    }
    f.scroll.toEnd(kRows);
    QCOMPARE(f.scroll.top(), 0);
}

QTEST_GUILESS_MAIN(TestLogScroll)
#include "tst_logscroll.moc"
