#include "receivelog.h"

#include "codepage.h"

#include <QtGlobal>

#include <algorithm>
#include <atomic>

quint64 ReceiveLog::nextGeneration()
{
    static std::atomic<quint64> counter{0};
    return ++counter;
}

// The last chunk, with room for at least one more character. A chunk still shared
// with a reader is copied first, with its full capacity, so that the copy does not
// reallocate on every later append.
QByteArray &ReceiveLog::openChunk()
{
    if (m_chunks.isEmpty() || m_chunks.constLast().size() == kChunkSize) {
        m_chunks.append(QByteArray());
        m_chunks.last().reserve(kChunkSize);
    }
    QByteArray &last = m_chunks.last();
    if (!last.isDetached()) {
        QByteArray own;
        own.reserve(kChunkSize);
        own.append(last);
        last.swap(own);
    }
    return last;
}

void ReceiveLog::append(char c)
{
    openChunk().append(c);
    ++m_size;
}

void ReceiveLog::append(QByteArrayView chars)
{
    while (!chars.isEmpty()) {
        QByteArray &last = openChunk();
        const qsizetype room = kChunkSize - last.size();
        const qsizetype n = std::min(room, chars.size());
        last.append(chars.first(n));
        m_size += n;
        chars = chars.sliced(n);
    }
}

void ReceiveLog::clear()
{
    m_chunks.clear();
    m_size = 0;
    m_generation = nextGeneration();
}

QString ReceiveLog::toString() const
{
    QString text;
    text.reserve(m_size);
    for (const QByteArray &chunk : m_chunks) {
        for (const char c : chunk)
            text.append(CodePage::toUnicode(quint8(c)));
    }
    return text;
}
