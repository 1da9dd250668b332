#include "ttydevice.h"

#include "commerror.h"
#include "termiosbuilder.h"

#include <cerrno>

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
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

void TtyDevice::open(const QString &path, const PortSettings &settings)
{
    close();
    const QByteArray file = path.toLocal8Bit();
    const int fd = retryOnInterrupt([&] { return ::open(file.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
    if (fd < 0)
        throw CommError::fromErrno(errno, path);

    auto fail = [&](const CommError &error, const termios *restore = nullptr) {
        if (restore)
            retryOnInterrupt([&] { return ::tcsetattr(fd, TCSANOW, restore); });
        ::close(fd);
        return error;
    };
    // flock keeps out other programs that lock too; TIOCEXCL keeps out the rest
    // (except root). The line turns exclusive only once everything else has worked,
    // so that a refused open leaves it as it was.
    if (retryOnInterrupt([&] { return ::flock(fd, LOCK_EX | LOCK_NB); }) != 0)
        throw fail(CommError::fromErrno(errno == EWOULDBLOCK ? EBUSY : errno, path));
    termios original{};
    if (retryOnInterrupt([&] { return ::tcgetattr(fd, &original); }) != 0)
        throw fail(CommError::fromErrno(errno, path));

    const termios wanted = TermiosBuilder::build(original, settings);
    termios actual{};
    if (retryOnInterrupt([&] { return ::tcsetattr(fd, TCSANOW, &wanted); }) != 0
        || retryOnInterrupt([&] { return ::tcgetattr(fd, &actual); }) != 0)
        throw fail(CommError::fromErrno(errno, path), &original);
    if (!TermiosBuilder::sameLine(wanted, actual))
        throw fail(CommError(path + QStringLiteral(": the device does not take the setting ") + toString(settings)),
                   &original);
    if (retryOnInterrupt([&] { return ::ioctl(fd, TIOCEXCL); }) != 0)
        throw fail(CommError::fromErrno(errno, path), &original);
    retryOnInterrupt([&] { return ::tcflush(fd, TCIOFLUSH); });

    m_fd = fd;
    m_path = path;
    m_original = original;
    m_counters = readCounters();
}

void TtyDevice::close()
{
    if (m_fd < 0)
        return;
    // Typed bytes still queued are dropped, so that neither the restored settings nor
    // the driver's wait for the output to drain can hold up the close.
    retryOnInterrupt([&] { return ::tcflush(m_fd, TCOFLUSH); });
    retryOnInterrupt([&] { return ::tcsetattr(m_fd, TCSANOW, &m_original); });
    retryOnInterrupt([&] { return ::ioctl(m_fd, TIOCNXCL); });
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
    m_counters.reset();
}

qsizetype TtyDevice::read(char *buffer, qsizetype size)
{
    const ssize_t n = retryOnInterrupt([&] { return ::read(m_fd, buffer, size_t(size)); });
    if (n > 0)
        return n;
    if (n < 0 && errno == EAGAIN)
        return 0;
    // End of file: the driver hung the line up, as it does when a USB adapter is
    // pulled or a pseudo-terminal's far end closes.
    m_failure = n == 0 ? m_path + QStringLiteral(": the line hung up (device unplugged, or its far end closed)")
                       : CommError::fromErrno(errno, m_path).message();
    return -1;
}

qsizetype TtyDevice::write(const char *data, qsizetype size)
{
    const ssize_t n = retryOnInterrupt([&] { return ::write(m_fd, data, size_t(size)); });
    if (n >= 0)
        return n;
    if (errno == EAGAIN)
        return 0;
    m_failure = CommError::fromErrno(errno, m_path).message();
    return -1;
}

std::optional<LineCounters> TtyDevice::takeCounterChanges()
{
    const std::optional<LineCounters> now = readCounters();
    if (!now || !m_counters)
        return std::nullopt;
    const LineCounters change{now->frame - m_counters->frame, now->parity - m_counters->parity,
                              now->brk - m_counters->brk};
    m_counters = now;
    return change;
}

std::optional<LineCounters> TtyDevice::readCounters() const
{
    serial_icounter_struct icount{};
    if (retryOnInterrupt([&] { return ::ioctl(m_fd, TIOCGICOUNT, &icount); }) != 0)
        return std::nullopt;
    return LineCounters{icount.frame, icount.parity, icount.brk};
}
