#include "filesync.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

template<typename Call>
auto retryOnInterrupt(Call call)
{
    decltype(call()) result;
    do {
        result = call();
    } while (result == -1 && errno == EINTR);
    return result;
}

} // namespace

int FileSync::openAppend(const QString &path)
{
    const QByteArray name = path.toLocal8Bit();
    const int fd = retryOnInterrupt(
        [&] { return ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0666); });
    if (fd < 0)
        return -1;
    struct stat info{};
    if (::fstat(fd, &info) != 0 || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        ::close(fd);
        errno = ESPIPE;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

qint64 FileSync::write(int fd, QByteArrayView bytes)
{
    return retryOnInterrupt([&] { return ::write(fd, bytes.data(), size_t(bytes.size())); });
}

int FileSync::syncData(int fd)
{
    return retryOnInterrupt([&] { return ::fdatasync(fd); });
}

void FileSync::startWriteBack(int fd, qint64 offset, qint64 length)
{
    ::sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE);
}

int FileSync::finishWriteBack(int fd, qint64 offset, qint64 length)
{
    const int result = ::sync_file_range(fd, offset, length,
                                         SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    ::posix_fadvise(fd, offset, length, POSIX_FADV_DONTNEED);
    return result;
}
