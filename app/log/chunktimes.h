#pragma once

#include <QtGlobal>

#include <array>
#include <vector>

// When the bytes of one log chunk arrived: the reads that brought them, each as the
// chunk byte it begins at and the time it was read. Times are kept as the clock gave
// them, never reordered. A paced line brings a read a millisecond, so every read
// after the first is held as one small entry (the previous read's length and the
// step in time, mostly one byte), and a full chunk packs its entries with zstd.
class ChunkTimes
{
public:
    struct Read
    {
        qsizetype from = 0; // the first byte of the chunk it brought
        qint64 msecs = 0;   // since the epoch
    };

    ChunkTimes() = default;
    // A copy that can grow on as this one can.
    ChunkTimes(const ChunkTimes &other);
    ChunkTimes &operator=(const ChunkTimes &) = delete;
    ~ChunkTimes();

    // A read whose bytes begin at byte `from`, after every read added so far. The
    // first begins at 0; continued: it began in the chunk before.
    void add(qsizetype from, qint64 msecs, bool continued);
    // Once, when the chunk is full; nothing is added afterwards.
    void pack();

    bool continued() const { return m_continued; }
    bool isCompressed() const { return m_compressed; }
    // In order, the first at byte 0.
    std::vector<Read> reads() const;
    // The time of the read that brought byte `byte` of the chunk.
    qint64 timeOf(qsizetype byte) const;

private:
    static constexpr qint32 kLocal = sizeof(char *);

    const char *held() const { return m_heldSize <= kLocal ? m_local.data() : m_heap; }
    std::vector<char> plainEntries() const;
    void hold(const char *entry, qsizetype size);
    void holdExactly(const char *held, qint32 size);

    // The entries, or their zstd frame once compressed; in place while they fit, as
    // the one entry of a chunk that two long reads share does. Small on purpose: a
    // log holds one for every chunk.
    union {
        char *m_heap = nullptr;
        std::array<char, kLocal> m_local;
    };
    qint64 m_last = 0; // the last read's time; the first's is m_last less every step
    qint32 m_heldSize = 0;
    qint16 m_lastFrom = 0;
    bool m_continued = false;
    bool m_compressed = false;
};
