#pragma once

#include <QtGlobal>

#include <cstddef>
#include <type_traits>

// The notation of one byte of a message. Stored as one unsigned byte in a record;
// values 5 to 255 fit the field but name no notation.
enum class ByteMode : qint32 {
    ASCII = 0,
    HEX = 1,
    DECIMAL = 2,
    BINARY = 3,
    CONTROL = 4,
};

// One message of up to 32 bytes with a notation per byte. A plain 66-byte value:
// every transfer copies the whole record, including entries past `count`.
struct SerialString {
    static constexpr int kCapacity = 32;

    qint16 count = 0;
    quint8 values[kCapacity] = {};
    quint8 modes[kCapacity] = {};

    friend bool operator==(const SerialString &, const SerialString &) = default;
};

static_assert(std::is_trivially_copyable_v<SerialString>);
static_assert(sizeof(SerialString) == 66);
static_assert(offsetof(SerialString, count) == 0);
static_assert(offsetof(SerialString, values) == 2);
static_assert(offsetof(SerialString, modes) == 34);
