#include "receivelog.h"

#include "codepage.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <vector>

quint64 ReceiveLog::nextGeneration()
{
    static std::atomic<quint64> counter{0};
    return ++counter;
}

void ReceiveLog::append(QByteArrayView bytes, ReceiveNotation::Notation notation, qint64 msecs)
{
    bool sameRead = false;
    while (!bytes.isEmpty()) {
        if (m_chunks.isEmpty() || m_chunks.constLast()->room() == 0) {
            if (m_chunks.size() > kRawChunks) {
                QExplicitlySharedDataPointer<LogChunk> &behind = m_chunks[m_chunks.size() - kRawChunks - 1];
                behind = behind->packed();
            }
            m_chunks.append(QExplicitlySharedDataPointer<LogChunk>(new LogChunk));
        }
        LogChunk &last = *m_chunks.constLast();
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
    m_chunks.clear();
    m_size = 0;
    m_byteCount = 0;
    m_generation = nextGeneration();
}

QString ReceiveLog::toString() const
{
    QByteArray text;
    FieldSpans fields;
    for (const QExplicitlySharedDataPointer<LogChunk> &chunk : m_chunks)
        chunk->render(0, chunk->byteCount(), text, fields);
    QString unicode;
    unicode.reserve(text.size());
    for (const char c : std::as_const(text))
        unicode.append(CodePage::toUnicode(quint8(c)));
    return unicode;
}

LogChunk::Snapshot ReceiveLog::chunk(qsizetype index) const
{
    const LogChunk *chunk = m_chunks.at(index).data();
    return LogChunk::Snapshot{QExplicitlySharedDataPointer<const LogChunk>(chunk), qint32(chunk->byteCount()),
                              qint32(chunk->textSize())};
}

QList<LogChunk::Snapshot> ReceiveLog::snapshot() const
{
    QList<LogChunk::Snapshot> chunks;
    chunks.reserve(m_chunks.size());
    for (qsizetype i = 0; i < m_chunks.size(); ++i)
        chunks.append(chunk(i));
    if (!chunks.isEmpty() && chunks.constLast().bytes < kChunkSize)
        chunks.last().chunk = QExplicitlySharedDataPointer<const LogChunk>(new LogChunk(*m_chunks.constLast()));
    return chunks;
}

qsizetype ReceiveLog::indexOf(quint64 id) const
{
    const auto it = std::partition_point(m_chunks.cbegin(), m_chunks.cend(),
                                         [id](const QExplicitlySharedDataPointer<LogChunk> &c) { return c->id() < id; });
    return it != m_chunks.cend() && (*it)->id() == id ? it - m_chunks.cbegin() : -1;
}

qint64 ReceiveLog::arrivalTime(qint64 byte) const
{
    Q_ASSERT(byte >= 0 && byte < m_byteCount);
    return m_chunks.at(byte / kChunkSize)->times().timeOf(byte % kChunkSize);
}

QList<ReceiveLog::Read> ReceiveLog::reads(qint64 from, qsizetype max) const
{
    QList<Read> reads;
    if (from < 0 || from >= m_byteCount || max <= 0)
        return reads;
    // Back to where the read that brought `from` began, chunks before if it is long.
    qsizetype chunk = from / kChunkSize;
    std::vector<ChunkTimes::Read> local = m_chunks.at(chunk)->times().reads();
    auto read = std::prev(std::partition_point(local.cbegin() + 1, local.cend(), [&](const ChunkTimes::Read &r) {
        return r.from <= from % kChunkSize;
    }));
    while (read == local.cbegin() && m_chunks.at(chunk)->times().continued()) {
        local = m_chunks.at(--chunk)->times().reads();
        read = local.cend() - 1;
    }
    for (;; ++chunk) {
        const LogChunk &c = *m_chunks.at(chunk);
        for (; read != local.cend(); ++read) {
            const qsizetype end = std::next(read) != local.cend() ? std::next(read)->from : c.byteCount();
            if (read == local.cbegin() && c.times().continued() && !reads.isEmpty()) {
                reads.last().count += end; // the last read goes on in this chunk
                continue;
            }
            if (reads.size() == max)
                return reads;
            reads.append(Read{chunk * qint64(kChunkSize) + read->from, end - read->from, read->msecs});
        }
        if (chunk + 1 == m_chunks.size())
            return reads;
        local = m_chunks.at(chunk + 1)->times().reads();
        read = local.cbegin();
    }
}
