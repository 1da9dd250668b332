#include "receivelog.h"

#include <QtTest>

class TestReceiveLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sharedChunkStaysAsShared();
    void clearStartsNewGeneration();
};

// A reader holding the open chunk keeps what it saw while the log grows on.
void TestReceiveLog::sharedChunkStaysAsShared()
{
    ReceiveLog log;
    log.append(QByteArrayView("abc"));
    const QByteArray seen = log.chunk(0);
    log.append(QByteArrayView("def"));
    QCOMPARE(seen, QByteArray("abc"));
    QCOMPARE(log.chunk(0), QByteArray("abcdef"));
}

void TestReceiveLog::clearStartsNewGeneration()
{
    ReceiveLog log;
    const quint64 start = log.generation();
    log.append('x');
    QCOMPARE(log.generation(), start);
    log.clear();
    QVERIFY(log.generation() != start);
    QCOMPARE(log.size(), 0);
    QCOMPARE(log.chunkCount(), 0);
    QVERIFY(ReceiveLog().generation() != log.generation());
}

QTEST_GUILESS_MAIN(TestReceiveLog)
#include "tst_receivelog.moc"
