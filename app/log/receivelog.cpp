#include "receivelog.h"

#include <algorithm>
#include <atomic>

quint64 ReceiveLog::nextGeneration()
{
    static std::atomic<quint64> counter{0};
    return ++counter;
}

void ReceiveLog::append(QByteArrayView bytes, ReceiveNotation::Notation notation, qint64 msecs)
{
    bool sameRead = false;
    while (!bytes.isEmpty()) {
        if (m_chunkCount == 0 || at(m_chunkCount - 1).room() == 0) {
            if (m_chunkCount > kRawChunks) {
                const qsizetype index = m_chunkCount - kRawChunks - 1;
                ChunkPointer &behind = m_pages[index / kPageChunks][index % kPageChunks];
                behind = behind->packed();
            }
            if (m_chunkCount % kPageChunks == 0) {
                m_pages.append(QList<ChunkPointer>());
                m_pages.last().reserve(kPageChunks);
            }
            m_pages.last().append(ChunkPointer(new LogChunk));
            ++m_chunkCount;
        }
        LogChunk &last = *m_pages.constLast().constLast();
        const qsizetype n = std::min(last.room(), bytes.size());
        const qsizetype before = last.textSize();
        last.append(bytes.first(n), notation, msecs, sameRead);
        sameRead = true;
        m_size += last.textSize() - before;
        m_byteCount += n;
        bytes = bytes.sliced(n);
    }
}

void ReceiveLog::clear()
{
    m_pages.clear();
    m_chunkCount = 0;
    m_size = 0;
    m_byteCount = 0;
    m_generation = nextGeneration();
}

LogChunk::Snapshot ReceiveLog::chunk(qsizetype index) const
{
    const LogChunk &chunk = at(index);
    return LogChunk::Snapshot{QExplicitlySharedDataPointer<const LogChunk>(&chunk), qint32(chunk.byteCount()),
                              qint32(chunk.textSize())};
}

ReceiveLog ReceiveLog::snapshot() const
{
    ReceiveLog copy = *this;
    if (m_chunkCount > 0 && at(m_chunkCount - 1).room() > 0)
        copy.m_pages.last().last() = ChunkPointer(new LogChunk(at(m_chunkCount - 1)));
    return copy;
}

// Ids grow along the log: a packed chunk keeps the id of the one it replaced.
qsizetype ReceiveLog::indexOf(quint64 id) const
{
    const auto page = std::partition_point(m_pages.cbegin(), m_pages.cend(),
                                           [id](const QList<ChunkPointer> &p) { return p.constLast()->id() < id; });
    if (page == m_pages.cend())
        return -1;
    const auto it = std::partition_point(page->cbegin(), page->cend(),
                                         [id](const ChunkPointer &c) { return c->id() < id; });
    if (it == page->cend() || (*it)->id() != id)
        return -1;
    return (page - m_pages.cbegin()) * kPageChunks + (it - page->cbegin());
}

qint64 ReceiveLog::arrivalTime(qint64 byte) const
{
    Q_ASSERT(byte >= 0 && byte < m_byteCount);
    return at(byte / kChunkSize).times().timeOf(byte % kChunkSize);
}
