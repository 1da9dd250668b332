#include "receivelog.h"

#include "codepage.h"
#include "receivepieces.h"

#include <QtTest>

using ReceiveNotation::Notation;

static constexpr qsizetype kChunk = ReceiveLog::kChunkSize;
static constexpr qint64 kStart = 1'796'724'000'000; // 2026-12-08 10:00 UTC

class TestReceiveLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rendersAsReceived_data();
    void rendersAsReceived();
    void readerKeepsWhatItSaw();
    void sharedChunksNeverChange();
    void clearEmptiesAndStartsNewGeneration();
    void timesReadBack_data();
    void timesReadBack();
    void clearEmptiesTheTimes();

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
    QCOMPARE(textOf(log), expected);
    QCOMPARE(log.size(), expected.size());
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
    QCOMPARE(textOf(log), u"0A,0B,abc"_qs);
}

// What a reader shares never changes: a full chunk the log packs stays as it was for
// whoever holds it, and a snapshot's last chunk is its own while the log's grows.
void TestReceiveLog::sharedChunksNeverChange()
{
    ReceiveLog log;
    log.append(everyByte(kChunk / 256), Notation::Hex, 0);
    const LogChunk::Snapshot full = log.chunk(0);
    log.append(QByteArrayView("ab"), Notation::Ascii, 0);
    const ReceiveLog taken = log.snapshot();
    log.append(everyByte((ReceiveLog::kRawChunks + 1) * kChunk / 256), Notation::Dec, 0);
    QVERIFY(log.chunk(0).chunk != full.chunk);
    QCOMPARE(log.chunk(0).chunk->id(), full.chunk->id());
    QCOMPARE(taken.chunkCount(), 2);
    QCOMPARE(taken.byteCount(), kChunk + 2);
    QVERIFY(taken.chunk(1).chunk != log.chunk(1).chunk);
    QCOMPARE(taken.chunk(1).bytes, 2);
    const auto textOfChunk = [](const LogChunk::Snapshot &chunk) {
        QByteArray text;
        FieldSpans fields;
        chunk.chunk->render(0, chunk.bytes, text, fields);
        return text;
    };
    QCOMPARE(textOfChunk(log.chunk(0)), textOfChunk(full));
    QCOMPARE(textOfChunk(taken.chunk(0)), textOfChunk(full));
    QCOMPARE(textOfChunk(taken.chunk(1)), QByteArray("ab"));
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
    QCOMPARE(textOf(log), QString());
    QVERIFY(ReceiveLog().generation() != log.generation());
}

void TestReceiveLog::timesReadBack_data()
{
    QTest::addColumn<Pieces>("pieces");
    const QByteArray all = everyByte(1);
    QTest::newRow("several reads in one chunk")
        << Pieces{{"ab", Notation::Ascii, kStart}, {"c", Notation::Ascii, kStart + 1}, {"de", Notation::Ascii, kStart + 3}};
    QTest::newRow("at the bounds of a one-byte entry")
        << Pieces{{QByteArray(63, 'a'), Notation::Ascii, kStart}, {QByteArray(64, 'b'), Notation::Ascii, kStart + 4},
                  {"c", Notation::Ascii, kStart + 7}};
    QTest::newRow("reads in the same millisecond")
        << Pieces{{"ab", Notation::Hex, kStart}, {"cd", Notation::Hex, kStart}, {"e", Notation::Hex, kStart}};
    QTest::newRow("long reads and long steps")
        << Pieces{{all, Notation::Dec, kStart}, {all, Notation::Dec, kStart + 4}, {"x", Notation::Dec, kStart + 90'000'000}};
    QTest::newRow("notation changes between reads")
        << Pieces{{all, Notation::Hex, kStart}, {all, Notation::Ascii, kStart + 1}, {all, Notation::Dec, kStart + 2}};
    QTest::newRow("a read across a chunk boundary")
        << Pieces{{QByteArray(kChunk - 3, 'a'), Notation::Ascii, kStart}, {"bcdefg", Notation::Hex, kStart + 7}};
    QTest::newRow("a read over several chunks, one after")
        << Pieces{{"a", Notation::Ascii, kStart}, {everyByte(3 * kChunk / 256), Notation::Hex, kStart + 2},
                  {"z", Notation::Hex, kStart + 2}};
    QTest::newRow("clock set back")
        << Pieces{{"ab", Notation::Ascii, kStart}, {"cd", Notation::Ascii, kStart - 3'600'000}, {"ef", Notation::Ascii, kStart - 3'599'999}};
    QTest::newRow("no bytes, no read")
        << Pieces{{"ab", Notation::Ascii, kStart}, {"", Notation::Ascii, kStart + 1}, {"c", Notation::Ascii, kStart + 2}};
    Pieces paced;
    for (qint64 ms = 0; ms < (ReceiveLog::kRawChunks + 4) * kChunk / 11; ++ms)
        paced.append(Piece{everyByte(1).mid(ms % 7, 11 + ms % 2), Notation(ms / 500 % 3), kStart + ms + ms % 3});
    QTest::newRow("paced reads, compressed chunks") << paced;
}

// Bytes read back their read's time, however the reads fall across chunks.
void TestReceiveLog::timesReadBack()
{
    QFETCH(Pieces, pieces);
    const ReceiveLog log = logOf(pieces);
    struct Read
    {
        qint64 first = 0;
        qint64 count = 0;
        qint64 msecs = 0;
    };
    QList<Read> expected;
    for (const Piece &piece : pieces) {
        if (piece.bytes.isEmpty())
            continue;
        const qint64 first = expected.isEmpty() ? 0 : expected.constLast().first + expected.constLast().count;
        expected.append(Read{first, piece.bytes.size(), piece.msecs});
    }
    // A read's first and last byte, and each first byte of a chunk it fills.
    for (const Read &read : std::as_const(expected)) {
        const qint64 end = read.first + read.count;
        for (qint64 byte = read.first; byte < end; byte = (byte / kChunk + 1) * kChunk)
            QCOMPARE(log.arrivalTime(byte), read.msecs);
        QCOMPARE(log.arrivalTime(end - 1), read.msecs);
    }
    qsizetype packed = 0;
    for (qsizetype i = 0; i < log.chunkCount(); ++i)
        packed += log.chunk(i).chunk->times().isCompressed();
    QCOMPARE(packed > 0, pieces.size() > 1000);
}

void TestReceiveLog::clearEmptiesTheTimes()
{
    ReceiveLog log;
    log.append(QByteArray(2 * kChunk, 'a'), Notation::Ascii, kStart);
    log.clear();
    log.append(QByteArrayView("b"), Notation::Hex, kStart + 5);
    QCOMPARE(log.byteCount(), 1);
    QCOMPARE(log.arrivalTime(0), kStart + 5);
}

QTEST_GUILESS_MAIN(TestReceiveLog)
#include "tst_receivelog.moc"
