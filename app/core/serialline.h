#pragma once

#include "linedecoder.h"
#include "portsettings.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

// One serial line as the platform offers it: opened on a device with its settings,
// it reads whatever arrives and drains queued output without ever blocking the
// thread it lives on. The control above it is the same on every platform.
class SerialLine : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The platform's line: termios on Linux, a Win32 COM port on Windows.
    static std::unique_ptr<SerialLine> create();
    // Whether the platform can set the line to `baud` at all: termios only has
    // constants for some rates; a Win32 driver takes or refuses any rate itself.
    static bool takesSpeed(int baud);

    // Throws CommError when the device cannot be opened or does not take the settings.
    virtual void open(const QString &path, const PortSettings &settings) = 0;
    // Drops queued output and closes; nothing is raised afterwards.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The device that is open, empty while closed.
    virtual const QString &path() const = 0;
    // Queues `bytes`; they leave as the line takes them.
    virtual void write(QByteArrayView bytes) = 0;
    // Bytes queued that the device has not taken yet.
    virtual qsizetype pending() const = 0;
    // Waits up to msecs for the device to take more of the queue, and gives it what
    // it takes; false when it took nothing.
    virtual bool waitForBytesWritten(int msecs) = 0;
    // Whether line errors come as marks in the data read (termios PARMRK) or only as
    // counts beside it.
    virtual bool marksErrors() const = 0;

Q_SIGNALS:
    // Bytes read and how much each error count grew with them, when the line knows.
    // A handler may close the line.
    void received(QByteArrayView raw, std::optional<LineCounters> counters);
    // A read or write failed or the line hung up; the line is closed already.
    void failed(const QString &reason);
    // The queue ran empty after the device had refused part of it.
    void drained();
};
