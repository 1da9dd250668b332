#pragma once

#include "portdirectory.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <memory>
#include <utility>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal standing in for a serial line. The control opens the slave
// through a link (`ttyUSB0` unless named otherwise) in a temporary dev folder, as a
// socat null modem would appear; a second line can put its link into the folders of
// another. The test plays the far end on the master, which stays non-blocking, and
// keeps its own slave descriptor so that it can read the line's termios.
class PtyLine
{
public:
    explicit PtyLine(QString linkName = QStringLiteral("ttyUSB0"), const PtyLine *folders = nullptr)
        : m_linkName(std::move(linkName))
        , m_devDir(folders ? folders->devDir() : m_dev.path())
        , m_sysDir(folders ? folders->sysDir() : m_sys.path())
    {
        char name[128] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        m_slavePath = QString::fromLocal8Bit(name);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_linked = QFile::link(m_slavePath, linkPath());
    }
    PtyLine(const PtyLine &) = delete;
    PtyLine &operator=(const PtyLine &) = delete;
    ~PtyLine()
    {
        m_reader.reset();
        closeMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }

    bool isValid() const
    {
        return m_master >= 0 && m_slave >= 0 && m_dev.isValid() && m_sys.isValid() && m_linked;
    }
    QString devDir() const { return m_devDir; }
    QString sysDir() const { return m_sysDir; }
    QString linkPath() const { return m_devDir + u'/' + m_linkName; }
    const QString &slavePath() const { return m_slavePath; }
    PortDirectory directory() const { return PortDirectory(devDir(), sysDir()); }
    int slave() const { return m_slave; }
    int master() const { return m_master; }

    // Whether the line refuses new opens (TIOCEXCL), which root would not notice.
    bool isExclusive() const
    {
        int exclusive = 0;
        return ::ioctl(m_slave, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
    }

    termios slaveTermios() const
    {
        termios t{};
        ::tcgetattr(m_slave, &t);
        return t;
    }

    // Writes all of `bytes` as the far end, waiting for room; false on error.
    bool send(QByteArrayView bytes)
    {
        while (!bytes.isEmpty()) {
            const ssize_t n = ::write(m_master, bytes.data(), size_t(bytes.size()));
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            if (n > 0)
                bytes = bytes.sliced(n);
            else if (pollfd p{m_master, POLLOUT, 0}; ::poll(&p, 1, 5000) <= 0)
                return false;
        }
        return true;
    }

    // From now on the event loop collects what the line sends into received().
    void startReading()
    {
        m_reader = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
        QObject::connect(m_reader.get(), &QSocketNotifier::activated, m_reader.get(), [this] {
            char buffer[16 * 1024];
            ssize_t n = 0;
            while ((n = ::read(m_master, buffer, sizeof buffer)) > 0)
                m_received.append(buffer, n);
        });
    }
    const QByteArray &received() const { return m_received; }

    // From now on every read of the line by another holder (the control under test)
    // fails with EIO, as on a device that broke down: its descriptor is replaced by a
    // pseudo-terminal master whose slave is closed, which the kernel answers so.
    // False when nobody else has the line open.
    bool failReadsElsewhere()
    {
        int replaced = 0;
        const QDir fds(QStringLiteral("/proc/self/fd"));
        for (const QString &entry : fds.entryList(QDir::Files | QDir::System)) {
            const int fd = entry.toInt();
            if (fd == m_slave || QFileInfo(fds.filePath(entry)).symLinkTarget() != m_slavePath)
                continue;
            int master = -1;
            int slave = -1;
            if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
                return false;
            ::close(slave);
            replaced += ::dup2(master, fd) == fd ? 1 : 0;
            ::close(master);
        }
        return replaced > 0;
    }

    // The far end hangs up, as an unplugged adapter would.
    void closeMaster()
    {
        m_reader.reset();
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    QTemporaryDir m_dev;
    QTemporaryDir m_sys;
    QString m_linkName;
    QString m_devDir;
    QString m_sysDir;
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    bool m_linked = false;
    std::unique_ptr<QSocketNotifier> m_reader;
    QByteArray m_received;
};

// Whether another program could take the device's lock now.
inline bool lockIsFree(const QString &path)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    const bool free = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (fd >= 0)
        ::close(fd);
    return free;
}

// Every byte value once, 0 first.
inline QByteArray allByteValues()
{
    QByteArray bytes(256, Qt::Uninitialized);
    for (int v = 0; v < 256; ++v)
        bytes[v] = char(v);
    return bytes;
}
