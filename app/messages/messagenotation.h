#pragma once

#include "serialstring.h"

#include <QString>
#include <QStringView>

#include <optional>

// The text notation of a message, one word a byte in that byte's own mode:
// STX (CONTROL), 0x4F (HEX), 79 (DECIMAL), 0b1001111 (BINARY) and "ON" (a run of
// ASCII bytes, with \", \\ and \xNN inside). A CONTROL byte above 31 has no name and
// is written CNT(200), and a byte whose mode names no notation in decimal. Reading
// gives back the same values and modes; a record's entries past its count are not
// written and read back as zeros.
namespace MessageNotation {

// Where reading stopped and what it expected there; the column counts from 1.
struct Error
{
    int column = 0;
    QString text;
};

struct Reading
{
    SerialString message;
    std::optional<Error> error;
};

QString write(const SerialString &message);
// Reads a whole message; `firstColumn` is the column of text[0] in its line.
Reading read(QStringView text, int firstColumn = 1);

// A quoted text as written in the notation, for names: \" and \\ escaped.
QString quoted(const QString &text);

} // namespace MessageNotation
