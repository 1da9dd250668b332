#include "receivelog.h"

#include "codepage.h"

#include <algorithm>
#include <atomic>

quint64 ReceiveLog::nextGeneration()
{
    static std::atomic<quint64> counter{0};
    return ++counter;
}

void ReceiveLog::append(QByteArrayView bytes, ReceiveNotation::Notation notation)
{
    while (!bytes.isEmpty()) {
        if (m_chunks.isEmpty() || m_chunks.constLast()->room() == 0) {
            if (m_chunks.size() > kRawChunks)
                m_chunks.at(m_chunks.size() - kRawChunks - 1)->compress();
            m_chunks.append(QExplicitlySharedDataPointer<LogChunk>(new LogChunk));
        }
        LogChunk &last = *m_chunks.constLast();
        const qsizetype n = std::min(last.room(), bytes.size());
        const qsizetype before = last.textSize();
        last.append(bytes.first(n), notation);
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

qsizetype ReceiveLog::indexOf(quint64 id) const
{
    const auto it = std::partition_point(m_chunks.cbegin(), m_chunks.cend(),
                                         [id](const QExplicitlySharedDataPointer<LogChunk> &c) { return c->id() < id; });
    return it != m_chunks.cend() && (*it)->id() == id ? it - m_chunks.cbegin() : -1;
}
