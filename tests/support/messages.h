#pragma once

#include "serialstring.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QtTest>

// Byte modes as the controls' Mode property carries them, and one that names none.
inline constexpr qint32 kAscii = qint32(ByteMode::ASCII);
inline constexpr qint32 kHex = qint32(ByteMode::HEX);
inline constexpr qint32 kDecimal = qint32(ByteMode::DECIMAL);
inline constexpr qint32 kBinary = qint32(ByteMode::BINARY);
inline constexpr qint32 kControl = qint32(ByteMode::CONTROL);
inline constexpr qint32 kNoMode = 7;

// (value, mode) pairs of a test message; count is the number of pairs.
using ByteList = QList<QPair<int, qint32>>;

inline SerialString makeMessage(const ByteList &bytes)
{
    SerialString message;
    for (int i = 0; i < bytes.size() && i < SerialString::kCapacity; ++i) {
        message.values[i] = quint8(bytes[i].first);
        message.modes[i] = quint8(bytes[i].second);
    }
    message.count = qint16(bytes.size());
    return message;
}

inline ByteList repeated(int count, int value, ByteMode mode)
{
    return ByteList(count, qMakePair(value, qint32(mode)));
}

// How QCOMPARE prints a record: the count, then all 32 values and modes, since
// entries past the count are part of the record too.
inline char *toString(const SerialString &message)
{
    const QByteArray values = QByteArray(reinterpret_cast<const char *>(message.values), SerialString::kCapacity);
    const QByteArray modes = QByteArray(reinterpret_cast<const char *>(message.modes), SerialString::kCapacity);
    return QTest::toString("count " + QByteArray::number(message.count) + " values " + values.toHex(' ')
                           + " modes " + modes.toHex(' '));
}
