#pragma once

#include "logchunk.h"
#include "receivenotation.h"

#include <QByteArrayView>
#include <QExplicitlySharedDataPointer>
#include <QList>
#include <QString>

// The road of a received byte: the serial notifier reads what the line has (MSComm),
// the window's serial event drains it and appends it here in the notation selected
// then; the receive box (LogView) shares the new chunk, its wrap (WrapLayout) counts
// the new lines, and at most once a frame the box shapes (ShapedLine) and paints the
// lines in view, rendering their chunks' text only then.
//
// The received text, kept as what it is made of: the received bytes, one byte each,
// and the notation each arrived in. Its text (each byte written in that notation) is
// rendered only where it is read. The bytes sit in chunks of kChunkSize; only the
// last grows, and chunks further than kRawChunks behind it are compressed. Readers
// share the chunks and may keep them after the log itself is gone.
class ReceiveLog
{
public:
    static constexpr qsizetype kChunkSize = LogChunk::kCapacity;
    static constexpr qsizetype kRawChunks = 16;

    void append(QByteArrayView bytes, ReceiveNotation::Notation notation);
    void clear();

    // In characters of text.
    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    qint64 byteCount() const { return m_byteCount; }
    QString toString() const;

    // Every chunk but the last is full.
    qsizetype chunkCount() const { return m_chunks.size(); }
    LogChunk::Snapshot chunk(qsizetype index) const;
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
