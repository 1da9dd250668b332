#pragma once

#include "logchunk.h"
#include "receivenotation.h"

#include <QByteArrayView>
#include <QExplicitlySharedDataPointer>
#include <QList>
#include <QString>

// The road of a received byte: the serial notifier reads what the line has (MSComm),
// the window's serial event drains it, hands it to a recording if there is one, and
// appends it here in the notation selected then, with the time of the read; the
// receive box (LogView) shares the new chunk as a block of its text (LogText), its
// wrap (WrapLayout) counts the new lines, and at most once a frame the box shapes
// (ShapedLine) and paints the lines in view, rendering their chunks' text only then.
//
// The received text, kept as what it is made of: the received bytes, one byte each,
// the notation each arrived in and the time it arrived. Its text (each byte written
// in that notation) is rendered only where it is read. The bytes sit in chunks of
// kChunkSize; only the last grows, and chunks further than kRawChunks behind it are
// compressed. Readers share the chunks and may keep them after the log itself is gone.
//
// Arrival times: every append is one read, and all its bytes get the time it was
// read, in ms since the epoch from the system clock. Times are kept as given: when
// the clock is set back, later bytes show earlier times, and nothing is reordered or
// clamped, so that each byte shows what the clock said when it came. A file writer
// goes through the reads in order, a slice at a time:
//
//     for (qint64 from = 0; from < log.byteCount();) {
//         const QList<ReceiveLog::Read> reads = log.reads(from, 1000);
//         for (const ReceiveLog::Read &read : reads)
//             ...; // one line: read.msecs, bytes [read.first, read.first + read.count)
//         from = reads.constLast().first + reads.constLast().count;
//     }
class ReceiveLog
{
public:
    static constexpr qsizetype kChunkSize = LogChunk::kCapacity;
    static constexpr qsizetype kRawChunks = 16;

    // Bytes, counted from 0 since the last clear, that one read brought.
    struct Read
    {
        qint64 first = 0;
        qint64 count = 0;
        qint64 msecs = 0; // since the epoch, as the clock said
        friend bool operator==(const Read &, const Read &) = default;
    };

    // The bytes of one read, read at msecs since the epoch; no bytes, no read.
    void append(QByteArrayView bytes, ReceiveNotation::Notation notation, qint64 msecs);
    // Empties the bytes and their times.
    void clear();

    // In characters of text.
    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    qint64 byteCount() const { return m_byteCount; }
    QString toString() const;

    // When byte `byte` arrived; byte in [0, byteCount()).
    qint64 arrivalTime(qint64 byte) const;
    // The reads from the one that brought byte `from` on, in order, at most max of
    // them; none when from is not in [0, byteCount()). Each is whole, however many
    // chunks it fills.
    QList<Read> reads(qint64 from, qsizetype max) const;

    // Every chunk but the last is full.
    qsizetype chunkCount() const { return m_chunks.size(); }
    LogChunk::Snapshot chunk(qsizetype index) const;
    // Every chunk, to be read on another thread: the last, which grows on here, as
    // a copy unless it is full.
    QList<LogChunk::Snapshot> snapshot() const;
    // The index of the chunk with that id, or -1.
    qsizetype indexOf(quint64 id) const;

    // Differs between any two states of which the later is not the earlier grown:
    // every clear and every new log starts a new generation.
    quint64 generation() const { return m_generation; }

private:
    QList<QExplicitlySharedDataPointer<LogChunk>> m_chunks;
    qsizetype m_size = 0;
    qint64 m_byteCount = 0;
    quint64 m_generation = nextGeneration();

    static quint64 nextGeneration();
};
