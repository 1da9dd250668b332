#include "diskfile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DiskFile {

namespace {

bool cannotSync(int error)
{
    return error == EINVAL || error == EROFS || error == ESPIPE;
}

bool isDevNull(const struct stat &info)
{
    struct stat null{};
    return S_ISCHR(info.st_mode) && ::stat("/dev/null", &null) == 0 && info.st_rdev == null.st_rdev;
}

QString refusalOf(const struct stat &info)
{
    if (S_ISREG(info.st_mode) || isDevNull(info))
        return QString();
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("a pipe cannot be recorded to");
    if (S_ISSOCK(info.st_mode))
        return QStringLiteral("a socket cannot be recorded to");
    if (S_ISCHR(info.st_mode))
        return QStringLiteral("a terminal or a device cannot be recorded to");
    return QStringLiteral("not a regular file");
}

} // namespace

int openForRecording(const QString &path, QString *reason)
{
    const QByteArray name = path.toLocal8Bit();
    // Looked at before opening: opening a pipe waits for its reader, a terminal may
    // become the program's own.
    struct stat info{};
    if (::stat(name.constData(), &info) == 0 && !(*reason = refusalOf(info)).isEmpty())
        return -1;
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        *reason = reasonOf(errno);
        return -1;
    }
    // What was opened may not be what was looked at.
    *reason = refusalOf(fd);
    if (!reason->isEmpty()) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

QString refusalOf(int fd)
{
    struct stat info{};
    if (::fstat(fd, &info) != 0)
        return reasonOf(errno);
    return refusalOf(info);
}

int writeAll(int fd, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t n = ::write(fd, bytes.data(), size_t(bytes.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        bytes = bytes.sliced(n);
    }
    return 0;
}

int syncData(int fd)
{
    const SyncCall call = syncCall();
    int result = 0;
    do {
        result = call ? call(fd) : ::fdatasync(fd);
    } while (result != 0 && errno == EINTR);
    return result == 0 || cannotSync(errno) ? 0 : errno;
}

int pushRange(int fd, qint64 settled, qint64 from, qint64 to)
{
    ::sync_file_range(fd, from, to - from, SYNC_FILE_RANGE_WRITE);
    if (settled >= from)
        return 0;
    const int result = ::sync_file_range(fd, settled, from - settled,
                                         SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    const int error = result == 0 || cannotSync(errno) ? 0 : errno;
    ::posix_fadvise(fd, settled, from - settled, POSIX_FADV_DONTNEED);
    return error;
}

int close(int fd)
{
    // Linux frees the descriptor whatever close says: never retried.
    return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
}

} // namespace DiskFile
