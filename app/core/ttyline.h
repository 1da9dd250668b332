#pragma once

#include "serialline.h"
#include "ttydevice.h"

#include <QByteArray>

class QSocketNotifier;

// The termios line: a TtyDevice read through a socket notifier, with output queued
// and drained by a write notifier, so that nothing blocks and nothing is lost when
// the kernel's buffer is full.
class TtyLine : public SerialLine
{
    Q_OBJECT

public:
    using SerialLine::SerialLine;
    ~TtyLine() override;

    void open(const QString &path, const PortSettings &settings) override;
    void close() override;
    bool isOpen() const override { return m_device.isOpen(); }
    const QString &path() const override { return m_device.path(); }
    void write(QByteArrayView bytes) override;
    qsizetype pending() const override { return m_out.size(); }
    bool waitForBytesWritten(int msecs) override;
    bool marksErrors() const override { return true; }

private:
    void readAvailable();
    void writePending();
    void lose();

    TtyDevice m_device;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_out;
};
