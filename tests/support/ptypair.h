#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

// A pseudo-terminal standing in for a serial line, with a temporary device folder in
// which `ttyUSB0` links to its slave, as a virtual null modem would. The test talks
// through the master end.
class PtyPair
{
public:
    PtyPair()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_slavePath = QString::fromLocal8Bit(name);
        QDir().mkpath(devDir());
        QFile::link(m_slavePath, devDir() + QStringLiteral("/ttyUSB0"));
        QDir().mkpath(sysDir());
    }
    ~PtyPair()
    {
        closeMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0 && m_dirs.isValid(); }
    QString devDir() const { return m_dirs.path() + QStringLiteral("/dev"); }
    QString sysDir() const { return m_dirs.path() + QStringLiteral("/sys"); }
    QString slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }
    int slaveFd() const { return m_slave; }

    bool write(const QByteArray &bytes) const
    {
        return ::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // What the master end has received so far, without waiting.
    QByteArray readAvailable() const
    {
        QByteArray all;
        char buffer[4096];
        for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;)
            all.append(buffer, n);
        return all;
    }
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    QTemporaryDir m_dirs;
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
