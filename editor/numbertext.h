#pragma once

#include <QString>

// Reading and writing the text of the spin entries. Every text gives a 16-bit value:
// a text without a readable number is 0 and anything past the 16-bit range is held at
// -32768 or 32767. Blanks, tabs and line feeds anywhere in a text are ignored.
namespace NumberText {

// The leading number of `text`: optional sign, digits, fraction after ".", exponent
// after E or e; or hexadecimal digits after "&H", octal after "&O" (either case).
// Rounded to the nearest integer, an exact half to even, then held to 16 bits.
qint16 integerFromText(const QString &text);

// The leading hexadecimal digits of `text`, no sign. Up to FFFF they are a 16-bit
// two's-complement pattern, up to FFFFFFFF a 32-bit one; a value past FFFFFFFF counts
// as a large positive number. The result is held to 16 bits.
qint16 hexFromText(const QString &text);

// Minus sign and digits, no leading zeros: "-5", "0", "32".
QString decimalText(qint16 value);

// Upper-case digits of the 16-bit pattern, no prefix or leading zeros: -1 is "FFFF".
QString hexText(qint16 value);

} // namespace NumberText
