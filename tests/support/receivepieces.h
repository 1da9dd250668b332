#pragma once

#include "receivelog.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>

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
