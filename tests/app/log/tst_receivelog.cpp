#include "receivelog.h"

#include "codepage.h"
#include "receivepieces.h"

#include <QtTest>

using ReceiveNotation::Notation;

static constexpr qsizetype kChunk = ReceiveLog::kChunkSize;

class TestReceiveLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rendersAsReceived_data();
    void rendersAsReceived();
    void readerKeepsWhatItSaw();
    void clearEmptiesAndStartsNewGeneration();

private:
    static QByteArray everyByte(qsizetype times);
};

QByteArray TestReceiveLog::everyByte(qsizetype times)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < 256 * times; ++i)
        bytes.append(char(i % 256));
    return bytes;
}

void TestReceiveLog::rendersAsReceived_data()
{
    QTest::addColumn<Pieces>("pieces");
    const QByteArray all = everyByte(1);
    QTest::newRow("every byte in ASCII") << Pieces{{all, Notation::Ascii}};
    QTest::newRow("every byte in HEX") << Pieces{{all, Notation::Hex}};
    QTest::newRow("every byte in DEC") << Pieces{{all, Notation::Dec}};
    QTest::newRow("changes inside a chunk")
        << Pieces{{all, Notation::Hex}, {all, Notation::Ascii}, {all, Notation::Dec}, {all, Notation::Hex}};
    QTest::newRow("change at a chunk boundary")
        << Pieces{{everyByte(kChunk / 256), Notation::Dec}, {all, Notation::Ascii}};
    QTest::newRow("a chunk of zeros in ASCII")
        << Pieces{{QByteArray(kChunk + 3, '\0'), Notation::Ascii}, {all, Notation::Hex}};
    Pieces compressed;
    for (int i = 0; i < 3 * ReceiveLog::kRawChunks; ++i)
        compressed.append(Piece{everyByte(20).mid(i), Notation(i % 3)});
    QTest::newRow("compressed chunks, changes across them") << compressed;
}

// The log's text equals every byte written the way the window writes it, wherever
// chunks end, the notation changes or chunks are compressed.
void TestReceiveLog::rendersAsReceived()
{
    QFETCH(Pieces, pieces);
    ReceiveLog log;
    QString expected;
    for (const Piece &piece : pieces) {
        log.append(piece.bytes, piece.notation, piece.msecs);
        char out[ReceiveNotation::kMaxChars];
        for (const char b : piece.bytes) {
            const int n = ReceiveNotation::render(quint8(b), piece.notation, out);
            for (int i = 0; i < n; ++i)
                expected.append(CodePage::toUnicode(quint8(out[i])));
        }
    }
    QCOMPARE(log.toString(), expected);
    QCOMPARE(log.size(), expected.size());
    const qsizetype behind = log.chunkCount() - ReceiveLog::kRawChunks - 1;
    for (qsizetype i = 0; i < log.chunkCount(); ++i)
        QCOMPARE(log.chunk(i).chunk->isCompressed(), i < behind);
}

// A reader holding the last chunk renders what it saw while the log grows on.
void TestReceiveLog::readerKeepsWhatItSaw()
{
    ReceiveLog log;
    log.append(QByteArrayView("\x0A\x0B"), Notation::Hex, 0);
    const LogChunk::Snapshot seen = log.chunk(0);
    log.append(QByteArrayView("abc"), Notation::Ascii, 0);
    QByteArray text;
    FieldSpans fields;
    seen.chunk->render(0, seen.bytes, text, fields);
    QCOMPARE(text, QByteArray("0A,0B,"));
    QCOMPARE(seen.chars, text.size());
    QCOMPARE(fields.size(), 1);
    QCOMPARE(fields.front().to, 6);
    QCOMPARE(log.toString(), u"0A,0B,abc"_qs);
}

void TestReceiveLog::clearEmptiesAndStartsNewGeneration()
{
    ReceiveLog log;
    const quint64 start = log.generation();
    log.append(QByteArrayView("x"), Notation::Dec, 0);
    QCOMPARE(log.generation(), start);
    log.clear();
    QVERIFY(log.generation() != start);
    QCOMPARE(log.size(), 0);
    QCOMPARE(log.chunkCount(), 0);
    QCOMPARE(log.toString(), QString());
    QVERIFY(ReceiveLog().generation() != log.generation());
}

QTEST_GUILESS_MAIN(TestReceiveLog)
#include "tst_receivelog.moc"
