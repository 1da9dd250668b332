#pragma once

#include <QString>

#include <exception>

// The error of a serial-port assignment. Carries a sentence for the operator; the
// serial layer never shows it, the window decides.
class CommError : public std::exception
{
public:
    explicit CommError(QString message)
        : m_message(std::move(message)), m_bytes(m_message.toUtf8())
    {
    }

    // The message for a failed system call on `device`, from its errno (Linux) or
    // from GetLastError (Windows); each platform defines its own.
    static CommError fromErrno(int error, const QString &device);
    static CommError fromWinError(quint32 error, const QString &device);

    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_bytes.constData(); }

private:
    QString m_message;
    QByteArray m_bytes;
};
