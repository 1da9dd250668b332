#pragma once

#include "serialstring.h"

#include <QtGlobal>

// The byte modes as the controls' Mode property carries them, and one that names none.
inline constexpr qint32 kAscii = qint32(ByteMode::ASCII);
inline constexpr qint32 kHex = qint32(ByteMode::HEX);
inline constexpr qint32 kDecimal = qint32(ByteMode::DECIMAL);
inline constexpr qint32 kBinary = qint32(ByteMode::BINARY);
inline constexpr qint32 kControl = qint32(ByteMode::CONTROL);
inline constexpr qint32 kNoMode = 7;
