#pragma once

#include <QByteArrayView>
#include <QString>

// The few file calls of the capture that differ between Linux and Windows. Each
// returns what its Linux call returns (-1 with errno on failure) and retries on EINTR.
namespace FileSync {

// Opens `path` for writing at its end, creating it. A pipe or a socket is refused
// with ESPIPE: one whose reader goes away would end the program with SIGPIPE. The
// open itself does not block, so that a pipe nobody reads fails at once.
int openAppend(const QString &path);
// Writes some of `bytes` (write(2); _write on Windows, which counts in int).
qint64 write(int fd, QByteArrayView bytes);
// The data written so far on its way to the disk (fdatasync; _commit on Windows).
int syncData(int fd);
// Starts writing a stretch out without waiting (Linux only; Windows leaves it all
// to the last sync).
void startWriteBack(int fd, qint64 offset, qint64 length);
// Waits for a stretch to be on the disk and lets it leave the page cache.
int finishWriteBack(int fd, qint64 offset, qint64 length);

} // namespace FileSync
