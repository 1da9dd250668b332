#pragma once

#include <QByteArrayView>
#include <QString>

// The system calls that put a capture on the disk, and nothing else: writing,
// syncing, the kind of file a descriptor is. The recorder and the saver reach the
// disk only through here, from their writer threads. Errors are errno values,
// 0 for none; reasonOf() turns one into the sentence the window shows.
namespace DiskFile {

// The sync call the writers use: fdatasync, or a slow or failing stand-in a test
// puts in place. Called on writer threads.
using SyncCall = int (*)(int fd);
void setSyncCall(SyncCall call); // null: fdatasync again
// The stand-in in place, or null.
SyncCall syncCall();

QString reasonOf(int error);

// Opens for recording: created, or appended to. Only a regular file or /dev/null:
// a terminal, pipe or socket could hold a write up on flow control or end the
// program with SIGPIPE. -1 and a reason otherwise.
int openForRecording(const QString &path, QString *reason);
// Why a descriptor is no place to record to, or an empty string when it is one.
QString refusalOf(int fd);

// All of bytes, retried on EINTR; a write that takes nothing is ENOSPC.
int writeAll(int fd, QByteArrayView bytes);
// What was written is on the disk. File systems that cannot sync have nothing to
// wait for (EINVAL, EROFS, ESPIPE count as done).
int syncData(int fd);
// Starts [from, to) on its way to the disk, and waits for [settled, from) to be
// there, dropping it from the page cache.
int pushRange(int fd, qint64 settled, qint64 from, qint64 to);
int close(int fd);

} // namespace DiskFile
