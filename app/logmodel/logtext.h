#pragma once

#include "fieldspans.h"
#include "logchunk.h"
#include "receivelog.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <memory>

// The text the receive box shows, as a list of blocks. A block received from the log
// is a snapshot of one of the log's chunks, rendered when it is read (a few recent
// renderings are kept). A block the operator typed into holds its text: code-page
// bytes, or UTF-16 if the typed text has a character the code page lacks, with the
// HEX and DEC stretches it kept from the log. Blocks are never empty; positions are
// UTF-16 code units counted from 0.
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

    // A block's text as read. Holding it keeps the text alive.
    struct BlockView
    {
        QByteArray bytes; // the code-page form, or
        QString chars;    // the UTF-16 form
        bool wide = false;
        FieldSpans fields; // in positions of the block
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
    BlockView view(qsizetype block) const;
    // The log chunk a block shows, or null for a block the operator edited.
    const LogChunk::Snapshot *logged(qsizetype block) const;

    void clear();
    // The text becomes the log's text of some moment, sharing its chunks: catchUp()
    // brings it up to date. When the text before keepBefore is known to be the log's,
    // the blocks wholly before it are kept, and so are the log's chunks after the
    // last block the operator changed.
    BlockChange assign(const ReceiveLog &log, qsizetype keepBefore = 0);
    // The text must be the log's text of some earlier moment; brings in what the log
    // got since, in time proportional to that.
    BlockChange catchUp(const ReceiveLog &log);
    // Replaces [from, to) with text; from and to are clamped, to not before from.
    // The typed text has no HEX or DEC stretch; the text around it keeps its own.
    BlockChange replace(qsizetype from, qsizetype to, const QString &text);

    static char16_t decode(char c) { return kDecodeTable[quint8(c)]; }

private:
    struct Edited
    {
        QByteArray bytes;
        QString chars;
        bool wide = false;
        FieldSpans fields;
        qsizetype size() const { return wide ? chars.size() : bytes.size(); }
    };
    struct Block
    {
        LogChunk::Snapshot logged;            // a piece of the log, or
        std::shared_ptr<const Edited> edited; // text the operator changed
        qsizetype size() const { return edited ? edited->size() : logged.chars; }
    };
    struct Rendering
    {
        quint64 id = 0;
        qsizetype bytes = 0;
        QByteArray text;
        FieldSpans fields;
    };

    static const std::array<char16_t, 256> kDecodeTable;
    // As long as the longest text of a chunk, so that one edit does not split a block.
    static constexpr qsizetype kSplitSize = ReceiveNotation::kMaxChars * ReceiveLog::kChunkSize;

    const Rendering &rendering(const LogChunk::Snapshot &logged) const;
    void takePacked(const ReceiveLog &log);
    static QList<Block> blocksOf(const ReceiveLog &log, qsizetype fromChunk, qsizetype toChunk);
    BlockChange splice(qsizetype first, qsizetype removed, QList<Block> blocks);
    void markChanged(const BlockChange &change);
    Edited joined(qsizetype first, qsizetype last, bool wide) const;
    QList<Block> splitBlock(Edited edited) const;

    QList<Block> m_blocks;
    QList<qsizetype> m_starts{0}; // m_starts[i] = position of block i; last = size
    qsizetype m_loggedUpTo = 0; // one past the last of the log's chunks the blocks hold
    bool m_changed = false;
    qsizetype m_changedFrom = 0;
    qsizetype m_changedTo = 0;
    mutable std::array<Rendering, 8> m_renderings;
    mutable qsizetype m_nextRendering = 0;
};
