#include "replywatch.h"

#include <QtTest>

class TestReplyWatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matchesOnce_data();
    void matchesOnce();
};

void TestReplyWatch::matchesOnce_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<int>("completing"); // the piece that brings the last byte; -1 for none
    QTest::newRow("one piece") << QByteArray("\x06OK") << QByteArrayList{"\x06OK"} << 0;
    QTest::newRow("split over three events after other bytes")
        << QByteArray("\x02PON\x03") << QByteArrayList{"noise\x02", "P", "O", "zz", "\x02PO", "N\x03tail"} << 5;
    QTest::newRow("prefix repeats") << QByteArray("AAB") << QByteArrayList{"AA", "AAB"} << 1;
    QTest::newRow("overlap inside") << QByteArray("ABABC") << QByteArrayList{"ABAB", "ABC"} << 1;
    QTest::newRow("byte by byte") << QByteArray("xyz") << QByteArrayList{"x", "y", "z", "xyz"} << 2;
    QTest::newRow("never") << QByteArray("ACK") << QByteArrayList{"AC", "k", "ACX"} << -1;
    QTest::newRow("zero bytes") << QByteArray("\0\0", 2) << QByteArrayList{QByteArray("\0", 1), QByteArray("\0", 1)} << 1;
}

// The first occurrence completes the watch; later bytes are not looked at.
void TestReplyWatch::matchesOnce()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArrayList, pieces);
    QFETCH(int, completing);
    ReplyWatch watch;
    watch.start(reply);
    int completed = -1;
    int matches = 0;
    for (int i = 0; i < pieces.size(); ++i) {
        if (watch.feed(pieces[i])) {
            completed = completed < 0 ? i : completed;
            ++matches;
        }
    }
    QCOMPARE(completed, completing);
    QCOMPARE(matches, completing < 0 ? 0 : 1);
    QCOMPARE(watch.isActive(), completing < 0);
}

QTEST_MAIN(TestReplyWatch)
#include "tst_replywatch.moc"
