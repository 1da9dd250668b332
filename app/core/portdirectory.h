#pragma once

#include "ttyidentity.h"

#include <QString>

#include <array>
#include <vector>

// Numbers serial devices 1 to 8 for the life of the program. On Windows port n is
// COMn, as the system numbers them, described by the friendly name SetupAPI gives it.
// On Linux the first scan, when the directory is made, numbers the devices present in
// this order: /dev/ttyS* whose UART exists, then ttyUSB*, ttyACM*, ttyAMA*, rfcomm*, each group by ascending number;
// links with such names count, dangling links do not. From then on a number stays with
// its device (TtyIdentity): empty while the device is away, back with it under any
// kernel name. A device never seen takes the lowest number never given out; once all
// eight were given out, the lowest whose device is away. Scanning reads folder listings
// and sysfs only and never opens a device. The folders are arguments for the tests.
class PortDirectory
{
public:
    static constexpr int kPorts = 8;

    // What one port number stands for.
    struct Port
    {
        // An empty key: the number was never given out.
        TtyIdentity device;
        // Where the device is, or where it was last seen.
        QString path;
        bool present = false;
    };

#ifdef Q_OS_WIN
    PortDirectory() = default;
#else
    explicit PortDirectory(QString devDir = QStringLiteral("/dev"),
                           QString sysTtyDir = QStringLiteral("/sys/class/tty"));
#endif

    // Both scan again first; numbers outside 1 to 8 stand for nothing.
    Port port(int number);
    // The device of port `number` when it is present, else empty.
    QString devicePath(int number);
    // The folder standing for /dev.
    const QString &devDir() const { return m_devDir; }

private:
    // Empty on Windows, whose ports are no nodes in a folder.
    QString m_devDir;
#ifndef Q_OS_WIN
    struct Found
    {
        QString path;
        TtyIdentity identity;
        bool numbered = false;
    };

    void scan();
    std::vector<Found> devicesPresent() const;
    Port *numberOf(const TtyIdentity &identity, bool samePlace);
    Port *freeNumber();
    bool uartExists(const QString &name) const;

    QString m_sysTtyDir;
    std::array<Port, kPorts> m_ports;
#endif
};
