#include "ttyidentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// From a tty's device folder up to its USB device: the usb-serial port (ttyUSB only),
// the interface, the device.
constexpr int kLevels = 3;

QString attribute(const QDir &dir, const char *name)
{
    QFile file(dir.filePath(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

// `usb` is the USB device folder, named by its port path (1-2, 1-2.3).
TtyIdentity usbIdentity(const QDir &usb, const QString &interface, const QString &portNumber)
{
    const QString vendorProduct = attribute(usb, "idVendor") + u':' + attribute(usb, "idProduct");
    const QString serial = attribute(usb, "serial");
    const QString maker = attribute(usb, "manufacturer");
    QString product = attribute(usb, "product");
    // Ports of one interface (an 8-port box) differ only in their port number.
    const QString within = QStringLiteral("interface ") + interface
                           + (portNumber.isEmpty() ? QString() : QStringLiteral(" port ") + portNumber);

    TtyIdentity identity;
    identity.place = usb.dirName() + u' ' + within;
    identity.key = QStringLiteral("usb ") + vendorProduct + u' '
                   + (serial.isEmpty() ? QStringLiteral("at ") + identity.place
                                       : QStringLiteral("serial ") + serial + u' ' + within);
    if (product.isEmpty())
        product = QStringLiteral("USB device ") + vendorProduct;
    identity.description = product + (maker.isEmpty() ? QString() : QStringLiteral(" (") + maker + u')')
                           + (serial.isEmpty() ? QStringLiteral(", USB port ") + usb.dirName()
                                               : QStringLiteral(", serial ") + serial);
    return identity;
}

} // namespace

TtyIdentity TtyIdentity::named(const QString &name)
{
    return {QStringLiteral("name ") + name, name, QString()};
}

// /sys/class/tty/ttyUSB0/device leads to the usb-serial port folder under the
// interface (.../1-2/1-2:1.0/ttyUSB0); ttyACM0/device leads to the interface itself.
std::optional<TtyIdentity> TtyIdentity::readUsb(const QString &sysTtyDir, const QString &name)
{
    const QString device = QFileInfo(sysTtyDir + u'/' + name + QStringLiteral("/device")).canonicalFilePath();
    if (device.isEmpty())
        return std::nullopt;
    QDir dir(device);
    const QString portNumber = attribute(dir, "port_number");
    QString interface;
    for (int level = 0; level < kLevels; ++level) {
        if (interface.isEmpty())
            interface = attribute(dir, "bInterfaceNumber");
        if (QFileInfo::exists(dir.filePath(QStringLiteral("idVendor"))))
            return usbIdentity(dir, interface, portNumber);
        if (!dir.cdUp())
            break;
    }
    return std::nullopt;
}
