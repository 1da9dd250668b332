#pragma once

#include "fieldspans.h"
#include "receivenotation.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QExplicitlySharedDataPointer>
#include <QSharedData>

#include <memory>
#include <vector>

// A piece of the receive log: up to kCapacity received bytes and the notation each
// one arrived in. Only its end grows. A full chunk may be compressed in place; that
// changes how its bytes are held, never which they are, so whoever shares the chunk
// and knows how many of its bytes it saw renders the same text from it at any time.
// Small on purpose: a log holds one for every kCapacity bytes it ever received.
class LogChunk : public QSharedData
{
public:
    static constexpr qsizetype kCapacity = 4096;

    // What a reader saw of a chunk: its first `bytes` bytes, written as `chars` characters.
    struct Snapshot
    {
        QExplicitlySharedDataPointer<const LogChunk> chunk;
        qint32 bytes = 0;
        qint32 chars = 0;
    };

    LogChunk();

    quint64 id() const { return m_id; } // grows with every new chunk
    qsizetype byteCount() const { return m_byteCount; }
    qsizetype textSize() const { return m_textSize; }
    qsizetype room() const { return kCapacity - m_byteCount; }
    bool isCompressed() const { return m_compressed; }

    // At most room() bytes.
    void append(QByteArrayView bytes, ReceiveNotation::Notation notation);
    // A full chunk only. One that would shrink too little stays as it is.
    void compress();

    // Appends the first `count` bytes, as received, to out.
    void appendBytes(qsizetype count, QByteArray &out) const;
    // Appends the text of the bytes [from, to) to text, and the HEX and DEC stretches
    // of it, in positions of text, to fields.
    void render(qsizetype from, qsizetype to, QByteArray &text, FieldSpans &fields) const;

private:
    struct Change
    {
        qsizetype from = 0; // the first byte in the new notation
        ReceiveNotation::Notation notation = ReceiveNotation::Notation::Ascii;
    };

    static qsizetype textSizeOf(QByteArrayView bytes, ReceiveNotation::Notation notation);
    ReceiveNotation::Notation notationAt(qsizetype index, qsizetype *runEnd) const;

    std::unique_ptr<char[]> m_held; // the bytes, or their zstd frame once compressed
    std::unique_ptr<std::vector<Change>> m_changes; // after the first byte; none in most chunks
    quint64 m_id = 0;
    qint32 m_heldSize = 0;
    qint32 m_byteCount = 0;
    qint32 m_textSize = 0;
    ReceiveNotation::Notation m_first = ReceiveNotation::Notation::Ascii;
    bool m_compressed = false;
    bool m_tried = false;
};
