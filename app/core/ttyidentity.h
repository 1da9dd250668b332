#pragma once

#include <QString>

#include <optional>

// Who a serial device is, so that a port number can follow it through unplugging and
// replugging. A USB adapter is read from sysfs without opening anything: vendor and
// product id, its serial number or else the USB port it sits in, and its interface
// and port number (one per port of a multi-port adapter). Any other device is its name.
struct TtyIdentity
{
    // Equal for the same device under any kernel name.
    QString key;
    // Where the device sits; tells apart clones that share a serial number.
    QString place;
    // What the device is, for the operator; empty unless it is a USB adapter.
    QString description;

    static TtyIdentity named(const QString &name);
    // The identity of kernel tty `name` when sysfs (`sysTtyDir` standing for
    // /sys/class/tty) shows it on a USB device.
    static std::optional<TtyIdentity> readUsb(const QString &sysTtyDir, const QString &name);
};
