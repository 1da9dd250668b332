#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The received text: one code-page character per byte, kept in chunks of kChunkSize.
// Full chunks are never touched again, so a reader can share them (implicitly) and
// keep them alive after the log itself is gone. Only the last chunk grows.
class ReceiveLog
{
public:
    static constexpr qsizetype kChunkSize = 4096;

    void append(char c);
    void append(QByteArrayView chars);
    void clear();

    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    QString toString() const;

    // Chunk i holds the characters from i * kChunkSize on; every chunk but the last is full.
    qsizetype chunkCount() const { return m_chunks.size(); }
    QByteArray chunk(qsizetype index) const { return m_chunks.at(index); }

    // Differs between any two states of which the later is not the earlier grown:
    // every clear and every new log starts a new generation.
    quint64 generation() const { return m_generation; }

private:
    QByteArray &openChunk();

    QList<QByteArray> m_chunks;
    qsizetype m_size = 0;
    quint64 m_generation = nextGeneration();

    static quint64 nextGeneration();
};
