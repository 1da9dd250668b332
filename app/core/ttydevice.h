#pragma once

#include "linedecoder.h"
#include "portsettings.h"

#include <QString>

#include <optional>

#include <termios.h>

// Owns the descriptor of one open serial line. Opening is exclusive (flock and
// TIOCEXCL), non-blocking and without a controlling terminal; the line's original
// termios comes back when it closes. Every system call but close() retries on EINTR:
// Linux frees the descriptor even when close() is interrupted, so a retry could
// close a descriptor opened meanwhile.
class TtyDevice
{
public:
    TtyDevice() = default;
    TtyDevice(const TtyDevice &) = delete;
    TtyDevice &operator=(const TtyDevice &) = delete;
    ~TtyDevice() { close(); }

    // Throws CommError when the device cannot be opened or does not take the settings.
    void open(const QString &path, const PortSettings &settings);
    void close();

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const QString &path() const { return m_path; }

    // Bytes read, 0 when nothing is waiting, -1 when the line failed or hung up;
    // failure() then says which.
    qsizetype read(char *buffer, qsizetype size);
    // Bytes written, 0 when the kernel's buffer is full, -1 when the line failed.
    qsizetype write(const char *data, qsizetype size);
    // Why the last read or write gave -1, for the operator; kept after close().
    const QString &failure() const { return m_failure; }
    // How much each error counter grew since the last call; nothing when the driver
    // keeps no counters (a pseudo-terminal, for one).
    std::optional<LineCounters> takeCounterChanges();

private:
    std::optional<LineCounters> readCounters() const;

    int m_fd = -1;
    QString m_path;
    QString m_failure;
    termios m_original{};
    std::optional<LineCounters> m_counters;
};
