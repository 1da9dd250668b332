#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <unistd.h>

// A USB serial adapter as sysfs shows it. Empty strings are attributes the adapter
// does not have.
struct FakeUsbAdapter
{
    QString vendor;
    QString product;
    QString serial;
    QString manufacturer;
    QString productName;
    int interface = 0;
};

// Sysfs links are relative, as the kernel makes them.
inline bool relativeLink(const QString &target, const QString &link)
{
    return ::symlink(target.toLocal8Bit().constData(), link.toLocal8Bit().constData()) == 0;
}

// Makes kernel tty `name` a port of `adapter` plugged into USB port `usbPort` (1-2,
// 1-2.3), in a folder standing for /sys/class/tty. The device tree sits in its hidden
// folder ".devices", laid out as the kernel lays it: ttyUSB under a usb-serial port
// folder inside the interface, ttyACM right under the interface.
inline bool plugFakeUsb(const QString &sysTtyDir, const QString &name, const FakeUsbAdapter &adapter,
                        const QString &usbPort)
{
    const QString usb = QStringLiteral(".devices/usb1/") + usbPort;
    const QString interfaceName = usbPort + QStringLiteral(":1.") + QString::number(adapter.interface);
    const QString interface = usb + u'/' + interfaceName;
    const bool acm = name.startsWith(QStringLiteral("ttyACM"));
    const QString tty = (acm ? interface : interface + u'/' + name) + QStringLiteral("/tty/") + name;
    QDir sys(sysTtyDir);
    const auto write = [&](const QString &file, const QString &value) {
        QFile out(sys.filePath(file));
        if (value.isEmpty())
            return !out.exists() || out.remove();
        return out.open(QIODevice::WriteOnly) && out.write(value.toUtf8() + '\n') > 0;
    };
    sys.remove(name);
    sys.remove(tty + QStringLiteral("/device"));
    return sys.mkpath(tty) && write(usb + QStringLiteral("/idVendor"), adapter.vendor)
           && write(usb + QStringLiteral("/idProduct"), adapter.product)
           && write(usb + QStringLiteral("/serial"), adapter.serial)
           && write(usb + QStringLiteral("/manufacturer"), adapter.manufacturer)
           && write(usb + QStringLiteral("/product"), adapter.productName)
           && write(interface + QStringLiteral("/bInterfaceNumber"), QString::asprintf("%02x", adapter.interface))
           && relativeLink(QStringLiteral("../../../") + (acm ? interfaceName : name),
                           sys.filePath(tty + QStringLiteral("/device")))
           && relativeLink(tty, sys.filePath(name));
}
