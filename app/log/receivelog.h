#pragma once

#include "logchunk.h"
#include "receivenotation.h"

#include <QByteArrayView>
#include <QExplicitlySharedDataPointer>
#include <QList>

// The received text, kept as what it is made of: the received bytes, one byte each,
// the notation each arrived in and the time it arrived. Its text (each byte written
// in that notation) is rendered where it is read. The bytes sit in chunks of
// kChunkSize; only the last grows, and chunks further than kRawChunks behind it are
// packed. Readers share the chunks and may keep them after the log itself is gone.
//
// Arrival times: every append is one read, and all its bytes get the time it was
// read, in ms since the epoch from the system clock. Times are kept as given: when
// the clock is set back, later bytes show earlier times, and nothing is reordered or
// clamped, so that each byte shows what the clock said when it came.
class ReceiveLog
{
public:
    static constexpr qsizetype kChunkSize = LogChunk::kCapacity;
    static constexpr qsizetype kRawChunks = 16;

    // The bytes of one read, read at msecs since the epoch; no bytes, no read.
    void append(QByteArrayView bytes, ReceiveNotation::Notation notation, qint64 msecs);
    // Empties the bytes and their times.
    void clear();

    // In characters of text.
    qsizetype size() const { return m_size; }
    qint64 byteCount() const { return m_byteCount; }

    // When byte `byte` arrived; byte in [0, byteCount()).
    qint64 arrivalTime(qint64 byte) const;

    // Every chunk but the last is full.
    qsizetype chunkCount() const { return m_chunkCount; }
    LogChunk::Snapshot chunk(qsizetype index) const;
    // The log as it is now, to be read on another thread while this one grows on:
    // it shares the chunks, but for a copy of the last unless that is full. Taking
    // it costs a pointer for every kPageChunks chunks.
    ReceiveLog snapshot() const;
    // The index of the chunk with that id, or -1.
    qsizetype indexOf(quint64 id) const;

    // Differs between any two states of which the later is not the earlier grown:
    // every clear and every new log starts a new generation.
    quint64 generation() const { return m_generation; }

private:
    using ChunkPointer = QExplicitlySharedDataPointer<LogChunk>;
    // The chunks are held in pages: a snapshot shares the pages, and whichever side
    // then changes a page copies that page alone.
    static constexpr qsizetype kPageChunks = 1024;

    const LogChunk &at(qsizetype index) const { return *m_pages.at(index / kPageChunks).at(index % kPageChunks); }

    QList<QList<ChunkPointer>> m_pages;
    qsizetype m_chunkCount = 0;
    qsizetype m_size = 0;
    qint64 m_byteCount = 0;
    quint64 m_generation = nextGeneration();

    static quint64 nextGeneration();
};
