#include "logrecorder.h"

#include "filesync.h"

#include <cerrno>
#include <cstring>

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
    // Writes block as they do to any file.
    const int fd = FileSync::openAppend(path);
    if (fd < 0) {
        *reason = errno == ESPIPE ? QStringLiteral("a pipe or a socket cannot be recorded to") : reasonOf(errno);
        return false;
    }
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
        const qint64 n = FileSync::write(m_fd, bytes);
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
    const int result = FileSync::syncData(m_fd);
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
