#pragma once

#include <QChar>

#include <optional>

// The system's 8-bit code page, Windows-1252, in both directions. Its five unassigned
// positions (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control characters of the
// same value, so every byte has a character and decoding is lossless.
namespace CodePage {

QChar toUnicode(quint8 byte);
// The byte of `c`, or nothing when the code page has no such character.
std::optional<quint8> fromUnicode(QChar c);

} // namespace CodePage
