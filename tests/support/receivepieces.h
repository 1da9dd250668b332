#pragma once

#include "codepage.h"
#include "receivelog.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

// What arrives: reads of bytes, each in the notation selected when it came.
struct Piece
{
    QByteArray bytes;
    ReceiveNotation::Notation notation;
    qint64 msecs = 0;
};
using Pieces = QList<Piece>;

Q_DECLARE_METATYPE(Pieces)

inline ReceiveLog logOf(const Pieces &pieces)
{
    ReceiveLog log;
    for (const Piece &piece : pieces)
        log.append(piece.bytes, piece.notation, piece.msecs);
    return log;
}

// The log's text as the window writes it: each chunk rendered as the box renders it.
inline QString textOf(const ReceiveLog &log)
{
    QByteArray text;
    FieldSpans fields;
    for (qsizetype i = 0; i < log.chunkCount(); ++i) {
        const LogChunk::Snapshot chunk = log.chunk(i);
        chunk.chunk->render(0, chunk.bytes, text, fields);
    }
    QString unicode;
    for (const char c : std::as_const(text))
        unicode.append(CodePage::toUnicode(quint8(c)));
    return unicode;
}
