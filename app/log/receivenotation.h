#pragma once

#include <QtGlobal>

// How a received byte is written into the log: ASCII drops a 0 byte and writes the
// code-page character otherwise; HEX writes two digits and a comma; DEC writes the
// digits without leading zeros ("###", so nothing for 0) and a comma.
namespace ReceiveNotation {

enum class Notation { Ascii, Hex, Dec };

inline constexpr int kMaxChars = 4;

// "0" to "9", "A" to "F"; "0" for anything else.
char HexDigit(int value);

// Writes the characters of `byte` to `out` and returns how many (0 to kMaxChars).
int render(quint8 byte, Notation notation, char *out);

} // namespace ReceiveNotation
