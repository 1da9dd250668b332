#pragma once

#include <QString>
#include <QStringList>

// Maps port numbers 1 to 8 to serial devices. Port N is the N-th device present, in
// this order: /dev/ttyS* whose UART exists, then ttyUSB*, ttyACM*, ttyAMA*, rfcomm*,
// each group by ascending number. Links with such names count, so a socat pair linked
// as ttyUSB0 is a port. Scanning reads folder listings and sysfs attributes only; it
// never opens a device. The folders are arguments so that tests can use their own.
class PortDirectory
{
public:
    explicit PortDirectory(QString devDir = QStringLiteral("/dev"),
                           QString sysTtyDir = QStringLiteral("/sys/class/tty"));

    // Full paths of the devices present now, port 1 first.
    QStringList devices() const;
    // The device of port `port` (1-based), empty when there is none.
    QString devicePath(int port) const;

private:
    bool uartExists(const QString &name) const;

    QString m_devDir;
    QString m_sysTtyDir;
};
