#include "receivelog.h"

#include "codepage.h"

#include <QtTest>

class TestReceiveLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void appendFillsChunks_data();
    void appendFillsChunks();
    void everyByteDecodes();
    void sharedChunkStaysAsShared();
    void clearStartsNewGeneration();
};

void TestReceiveLog::appendFillsChunks_data()
{
    static constexpr qsizetype kChunk = ReceiveLog::kChunkSize;
    QTest::addColumn<qsizetype>("first");
    QTest::addColumn<qsizetype>("second");
    QTest::newRow("nothing") << qsizetype(0) << qsizetype(0);
    QTest::newRow("one byte") << qsizetype(1) << qsizetype(0);
    QTest::newRow("exactly one chunk") << kChunk << qsizetype(0);
    QTest::newRow("one past a chunk") << kChunk << qsizetype(1);
    QTest::newRow("across two boundaries") << kChunk - 3 << 2 * kChunk;
}

void TestReceiveLog::appendFillsChunks()
{
    QFETCH(qsizetype, first);
    QFETCH(qsizetype, second);
    QByteArray expected;
    ReceiveLog log;
    for (qsizetype i = 0; i < first; ++i) {
        const char c = char('a' + i % 26);
        log.append(c);
        expected.append(c);
    }
    const QByteArray more(second, 'Z');
    log.append(more);
    expected.append(more);

    QCOMPARE(log.size(), expected.size());
    QCOMPARE(log.isEmpty(), expected.isEmpty());
    QCOMPARE(log.chunkCount(), (expected.size() + ReceiveLog::kChunkSize - 1) / ReceiveLog::kChunkSize);
    QByteArray joined;
    for (qsizetype i = 0; i < log.chunkCount(); ++i) {
        if (i + 1 < log.chunkCount())
            QCOMPARE(log.chunk(i).size(), ReceiveLog::kChunkSize);
        joined.append(log.chunk(i));
    }
    QCOMPARE(joined, expected);
    QCOMPARE(log.toString(), QString::fromLatin1(expected));
}

void TestReceiveLog::everyByteDecodes()
{
    ReceiveLog log;
    QString expected;
    for (int b = 0; b < 256; ++b) {
        log.append(char(b));
        expected.append(CodePage::toUnicode(quint8(b)));
    }
    QCOMPARE(log.toString(), expected);
    QCOMPARE(log.toString().at(0x80), QChar(0x20AC));
    QCOMPARE(log.toString().at(0x81), QChar(0x81));
}

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
