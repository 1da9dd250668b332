#pragma once

#include "fieldspans.h"
#include "receivenotation.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <memory>

// A piece of the receive log: up to kCapacity received bytes and the notation each
// one arrived in. Only its end grows. A full chunk may be compressed in place; that
// changes how its bytes are held, never which they are, so whoever shares the chunk
// and knows how many of its bytes it saw renders the same text from it at any time.
class LogChunk
{
public:
    static constexpr qsizetype kCapacity = 4096;

    // What a reader saw of a chunk: its first `bytes` bytes, written as `chars` characters.
    struct Snapshot
    {
        std::shared_ptr<const LogChunk> chunk;
        qsizetype bytes = 0;
        qsizetype chars = 0;
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

    // Appends the text of the bytes [from, to) to text, and the HEX and DEC stretches
    // of it, in positions of text, to fields.
    void render(qsizetype from, qsizetype to, QByteArray &text, FieldSpans &fields) const;

    static qsizetype textSizeOf(QByteArrayView bytes, ReceiveNotation::Notation notation);

private:
    struct Change
    {
        qsizetype from = 0; // the first byte in the new notation
        ReceiveNotation::Notation notation = ReceiveNotation::Notation::Ascii;
    };

    ReceiveNotation::Notation notationAt(qsizetype index, qsizetype *runEnd) const;

    QByteArray m_held; // the bytes, or their zstd frame once compressed
    ReceiveNotation::Notation m_first = ReceiveNotation::Notation::Ascii;
    QList<Change> m_changes; // after the first byte; empty for most chunks
    qsizetype m_byteCount = 0;
    qsizetype m_textSize = 0;
    quint64 m_id = 0;
    bool m_compressed = false;
    bool m_tried = false;
};
