#pragma once

#include "receivelog.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

// The text the receive box shows, as a list of blocks. A block received from the log
// stays code-page bytes, shared with the log's chunk; a block the operator typed into
// becomes UTF-16 only if the typed text has a character the code page lacks. Blocks
// are never empty; positions are UTF-16 code units counted from 0.
class LogText
{
public:
    // A change of the block list: blocks [first, first + removed) of the old list
    // became [first, first + added); every block after them is unchanged.
    struct BlockChange
    {
        qsizetype first = 0;
        qsizetype removed = 0;
        qsizetype added = 0;
    };

    qsizetype size() const { return m_starts.constLast(); }
    bool isEmpty() const { return size() == 0; }
    QChar at(qsizetype pos) const;
    QString mid(qsizetype from, qsizetype to) const; // [from, to), clamped to the text
    QString toString() const { return mid(0, size()); }

    qsizetype blockCount() const { return m_blocks.size(); }
    qsizetype blockStart(qsizetype block) const { return m_starts.at(block); }
    qsizetype blockEnd(qsizetype block) const { return m_starts.at(block + 1); }
    // The block holding pos; the last block for the end of the text, -1 when empty.
    qsizetype blockOf(qsizetype pos) const;
    // Both only for code-unit access in tight loops: exactly one is non-null.
    const char *blockBytes(qsizetype block) const;
    const QChar *blockChars(qsizetype block) const;

    void clear();
    // The text becomes the log's text, sharing its chunks. When the text before
    // keepBefore is known to be the log's, the blocks wholly before it are kept.
    BlockChange assign(const ReceiveLog &log, qsizetype keepBefore = 0);
    // The text must be the log's text of some earlier moment; brings in what the log
    // got since, in time proportional to that.
    BlockChange catchUp(const ReceiveLog &log);
    // Replaces [from, to) with text; from and to are clamped, to not before from.
    BlockChange replace(qsizetype from, qsizetype to, const QString &text);

    static char16_t decode(char c) { return kDecodeTable[quint8(c)]; }

private:
    struct Block
    {
        QByteArray bytes; // the code-page form, or
        QString chars;    // the UTF-16 form, when the block holds a character the code page lacks
        bool wide = false;
        qsizetype size() const { return wide ? chars.size() : bytes.size(); }
    };

    static const std::array<char16_t, 256> kDecodeTable;
    static constexpr qsizetype kSplitSize = 2 * ReceiveLog::kChunkSize;

    void rebuildStarts(qsizetype fromBlock);
    QList<Block> splitBlock(Block block) const;

    QList<Block> m_blocks;
    QList<qsizetype> m_starts{0}; // m_starts[i] = position of block i; last = size
};
