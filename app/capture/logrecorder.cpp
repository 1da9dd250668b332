#include "logrecorder.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

LogRecorder::LogRecorder(QObject *parent)
    : QObject(parent)
{
    m_syncTimer.setInterval(kSyncMs);
    connect(&m_syncTimer, &QTimer::timeout, this, [this] {
        if (const int error = sync())
            fail(error);
    });
}

LogRecorder::~LogRecorder()
{
    sync();
    close();
}

bool LogRecorder::start(const QString &path, QString *reason)
{
    stop();
    // Not blocking while it opens, so that a pipe nobody reads fails at once instead
    // of holding up the window; writes block as they do to any file.
    const QByteArray name = path.toLocal8Bit();
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        *reason = reasonOf(errno);
        return false;
    }
    // A pipe or a socket whose reader goes away would end the program with SIGPIPE.
    struct stat info{};
    if (::fstat(fd, &info) != 0 || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        ::close(fd);
        *reason = QStringLiteral("a pipe or a socket cannot be recorded to");
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fd = fd;
    m_path = path;
    m_syncTimer.start();
    return true;
}

void LogRecorder::stop()
{
    if (!isRecording())
        return;
    const int error = sync();
    close();
    if (error)
        Q_EMIT failed(reasonOf(error));
}

void LogRecorder::write(QByteArrayView bytes)
{
    while (isRecording() && !bytes.isEmpty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), size_t(bytes.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(n < 0 ? errno : ENOSPC);
            return;
        }
        m_unsynced = true;
        bytes = bytes.sliced(n);
    }
}

// A pipe or a device that cannot sync (EINVAL, EROFS) has nothing to wait for.
int LogRecorder::sync()
{
    if (!m_unsynced || m_fd < 0)
        return 0;
    m_unsynced = false;
    int result = 0;
    do {
        result = ::fdatasync(m_fd);
    } while (result != 0 && errno == EINTR);
    return result == 0 || errno == EINVAL || errno == EROFS ? 0 : errno;
}

void LogRecorder::close()
{
    m_syncTimer.stop();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void LogRecorder::fail(int error)
{
    close();
    Q_EMIT failed(reasonOf(error));
}
