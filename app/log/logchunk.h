#pragma once

#include "chunktimes.h"
#include "fieldspans.h"
#include "receivenotation.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QExplicitlySharedDataPointer>
#include <QSharedData>

#include <array>
#include <memory>
#include <vector>

// A piece of the receive log: up to kCapacity received bytes, the notation each one
// arrived in and when it arrived. Only the log's last chunk grows, at its end, and
// only on the log's thread; a full chunk never changes: packing it builds a new one
// that takes its place. So whoever shares a chunk and knows how many of its bytes
// it saw renders the same text from it at any time, and a full chunk, or a copy of
// the last, may be read on another thread. Small on purpose: a log holds one for
// every kCapacity bytes.
class LogChunk : public QSharedData
{
public:
    static constexpr qsizetype kCapacity = 4096;
    static constexpr char kUnreadable = '?';

    // What a reader saw of a chunk: its first `bytes` bytes, written as `chars` characters.
    struct Snapshot
    {
        QExplicitlySharedDataPointer<const LogChunk> chunk;
        qint32 bytes = 0;
        qint32 chars = 0;
    };

    LogChunk();
    // The same bytes, notations and times, with the same id, growing on apart.
    LogChunk(const LogChunk &other);
    LogChunk &operator=(const LogChunk &) = delete;

    quint64 id() const { return m_id; } // grows with every new chunk
    qsizetype byteCount() const { return m_byteCount; }
    qsizetype textSize() const { return m_textSize; }
    qsizetype room() const { return kCapacity - m_byteCount; }

    // At most room() bytes, read at msecs. sameRead: they go on with the read that
    // the last append began (in the chunk before, since a read fills a chunk first).
    void append(QByteArrayView bytes, ReceiveNotation::Notation notation, qint64 msecs, bool sameRead);
    // A full chunk only: the same chunk with its bytes and times packed with zstd,
    // to take its place. Bytes that would shrink too little, or that zstd cannot
    // pack, stay as they are.
    QExplicitlySharedDataPointer<LogChunk> packed() const;

    const ChunkTimes &times() const { return m_times; }
    // The byte written at character pos of the text of the first `bytes` bytes: in
    // HEX and DEC the field that holds it, comma included; past that text the last byte.
    qsizetype byteAt(qsizetype pos, qsizetype bytes) const;
    // Appends the first `count` bytes, as received, to out; false, and nothing
    // appended, when they cannot be unpacked.
    bool appendBytes(qsizetype count, QByteArray &out) const;

    // Appends the text of the bytes [from, to) to text, and the HEX and DEC stretches
    // of it, in positions of text, to fields. Bytes that cannot be unpacked show as
    // kUnreadable, the chunk's whole text of them as long as it would be.
    void render(qsizetype from, qsizetype to, QByteArray &text, FieldSpans &fields) const;

private:
    struct Change
    {
        qsizetype from = 0; // the first byte in the new notation
        ReceiveNotation::Notation notation = ReceiveNotation::Notation::Ascii;
    };

    static qsizetype textSizeOf(QByteArrayView bytes, ReceiveNotation::Notation notation);
    ReceiveNotation::Notation notationAt(qsizetype index, qsizetype *runEnd) const;
    // Null when the frame cannot be unpacked.
    const char *plainBytes(std::array<char, kCapacity> &plain) const;

    // Ordered so that no gap follows the shared count: a log holds one chunk per kCapacity bytes.
    qint32 m_heldSize = 0;
    std::unique_ptr<char[]> m_held; // the bytes, or their zstd frame once compressed
    std::unique_ptr<std::vector<Change>> m_changes; // after the first byte; none in most chunks
    ChunkTimes m_times;
    quint64 m_id = 0;
    qint32 m_byteCount = 0;
    qint32 m_textSize = 0;
    ReceiveNotation::Notation m_first = ReceiveNotation::Notation::Ascii;
    bool m_compressed = false;
};
