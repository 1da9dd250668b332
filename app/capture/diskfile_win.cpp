#include "diskfile.h"

#include <algorithm>
#include <cerrno>
#include <limits>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace DiskFile {

namespace {

// Windows' null device stands where /dev/null does on Linux.
bool isNullDevice(const QString &path)
{
    return path.compare(QStringLiteral("NUL"), Qt::CaseInsensitive) == 0
        || path.compare(QStringLiteral("\\\\.\\NUL"), Qt::CaseInsensitive) == 0;
}

DWORD typeOf(int fd)
{
    return ::GetFileType(reinterpret_cast<HANDLE>(::_get_osfhandle(fd)));
}

} // namespace

// Binary, or the C library would write every LF as CR LF.
int openForRecording(const QString &path, QString *reason)
{
    const int fd = ::_wopen(reinterpret_cast<const wchar_t *>(path.utf16()),
                            _O_WRONLY | _O_CREAT | _O_APPEND | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        *reason = reasonOf(errno);
        return -1;
    }
    *reason = isNullDevice(path) ? QString() : refusalOf(fd);
    if (!reason->isEmpty()) {
        ::_close(fd);
        return -1;
    }
    return fd;
}

QString refusalOf(int fd)
{
    switch (typeOf(fd)) {
    case FILE_TYPE_DISK:
        return QString();
    case FILE_TYPE_PIPE:
        return QStringLiteral("a pipe or a socket cannot be recorded to");
    case FILE_TYPE_CHAR:
        return QStringLiteral("a terminal or a device cannot be recorded to");
    default:
        return QStringLiteral("not a regular file");
    }
}

int writeAll(int fd, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const auto size = unsigned(std::min<qsizetype>(bytes.size(), std::numeric_limits<int>::max()));
        const int n = ::_write(fd, bytes.data(), size);
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        bytes = bytes.sliced(n);
    }
    return 0;
}

// The null device has nothing to flush.
int syncData(int fd)
{
    if (typeOf(fd) != FILE_TYPE_DISK)
        return 0;
    const SyncCall call = syncCall();
    return (call ? call(fd) : ::_commit(fd)) == 0 ? 0 : errno;
}

// Windows has no call to start a stretch on its way alone: the last sync takes it all.
int pushRange(int, qint64, qint64, qint64)
{
    return 0;
}

int close(int fd)
{
    return ::_close(fd) == 0 ? 0 : errno;
}

} // namespace DiskFile
