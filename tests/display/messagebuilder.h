#pragma once

#include "serialstring.h"

#include <QList>
#include <QPair>

#include <utility>

// (value, mode) pairs of a test message; count is the number of pairs.
using ByteList = QList<QPair<int, int>>;

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
    return ByteList(count, qMakePair(value, int(mode)));
}

inline constexpr int kAsc = int(ByteMode::ASCII);
inline constexpr int kHex = int(ByteMode::HEX);
inline constexpr int kDec = int(ByteMode::DECIMAL);
inline constexpr int kBin = int(ByteMode::BINARY);
inline constexpr int kCnt = int(ByteMode::CONTROL);
