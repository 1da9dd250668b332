#pragma once

#include "messagebook.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The message table in a file: UTF-8 text, one slot a line,
//     slot 1 "Power on": STX 0x50 "ON" ETX
// after the first line "# Lorvane messages, format 1". Other lines starting with #
// and blank lines are ignored. Slots not in the file are empty under their default
// names. A file that breaks any rule is refused whole, with the line and column where
// reading stopped and what was expected there.
namespace MessageFile {

inline constexpr qint64 kMaxBytes = 1024 * 1024;
inline const QString kHeader = QStringLiteral("# Lorvane messages, format 1");

struct Error
{
    int line = 0;   // 0 when the file as a whole is refused
    int column = 0;
    QString text;

    // "Line 3, column 12: expected ..."
    QString toString() const;
};

struct Reading
{
    MessageBook book;
    std::optional<Error> error;
};

// A slot is written when it holds a message or a name other than its default.
QByteArray write(const MessageBook &book);
Reading read(QByteArrayView data);

// Reads at most kMaxBytes and one more byte, so a huge file costs nothing.
Reading load(const QString &path);
// Written beside the target and renamed, so a failure leaves the old file; the
// reason when it fails.
std::optional<QString> save(const QString &path, const MessageBook &book);

} // namespace MessageFile
