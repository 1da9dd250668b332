#include "portdirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

constexpr std::array<const char *, 5> kGroups = {"ttyS", "ttyUSB", "ttyACM", "ttyAMA", "rfcomm"};

bool isUsbGroup(QStringView prefix)
{
    return prefix == u"ttyUSB" || prefix == u"ttyACM";
}

} // namespace

PortDirectory::PortDirectory(QString devDir, QString sysTtyDir)
    : m_devDir(std::move(devDir))
    , m_sysTtyDir(std::move(sysTtyDir))
{
    scan();
}

PortDirectory::Port PortDirectory::port(int number)
{
    scan();
    return number >= 1 && number <= kPorts ? m_ports[number - 1] : Port();
}

QString PortDirectory::devicePath(int number)
{
    const Port found = port(number);
    return found.present ? found.path : QString();
}

// Devices already numbered are placed before newcomers, so that none of them counts as
// away while a newcomer looks for a free number. Within those, the same place comes
// before the same key alone, so that clones sharing a serial number keep their numbers.
void PortDirectory::scan()
{
    std::vector<Found> found = devicesPresent();
    for (Port &port : m_ports)
        port.present = false;
    const auto give = [](Port *port, Found &device) {
        if (!port)
            return;
        *port = {device.identity, device.path, true};
        device.numbered = true;
    };
    for (const bool samePlace : {true, false}) {
        for (Found &device : found) {
            if (!device.numbered)
                give(numberOf(device.identity, samePlace), device);
        }
    }
    for (Found &device : found) {
        if (!device.numbered)
            give(freeNumber(), device);
    }
}

std::vector<PortDirectory::Found> PortDirectory::devicesPresent() const
{
    const QStringList names = QDir(m_devDir).entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    std::vector<Found> result;
    for (const char *group : kGroups) {
        const QString prefix = QString::fromLatin1(group);
        std::vector<std::pair<qulonglong, QString>> numbered;
        for (const QString &name : names) {
            if (!name.startsWith(prefix))
                continue;
            bool isNumber = false;
            const QStringView digits = QStringView(name).mid(prefix.size());
            const qulonglong number = digits.toULongLong(&isNumber);
            if (!isNumber || !digits.front().isDigit())
                continue;
            // A dangling link (a socat pair that has gone) is no port.
            if (!QFileInfo::exists(m_devDir + u'/' + name) || (prefix == u"ttyS" && !uartExists(name)))
                continue;
            numbered.emplace_back(number, name);
        }
        std::sort(numbered.begin(), numbered.end());
        for (const auto &[number, name] : numbered) {
            const QString path = m_devDir + u'/' + name;
            // A link is known by its own name, whatever sysfs says about a tty of that name.
            const std::optional<TtyIdentity> usb = isUsbGroup(prefix) && !QFileInfo(path).isSymLink()
                                                       ? TtyIdentity::readUsb(m_sysTtyDir, name)
                                                       : std::nullopt;
            result.push_back({path, usb.value_or(TtyIdentity::named(name))});
        }
    }
    return result;
}

PortDirectory::Port *PortDirectory::numberOf(const TtyIdentity &identity, bool samePlace)
{
    const auto it = std::find_if(m_ports.begin(), m_ports.end(), [&](const Port &port) {
        return !port.present && port.device.key == identity.key
               && (!samePlace || port.device.place == identity.place);
    });
    return it != m_ports.end() ? &*it : nullptr;
}

PortDirectory::Port *PortDirectory::freeNumber()
{
    auto it = std::find_if(m_ports.begin(), m_ports.end(), [](const Port &port) { return port.device.key.isEmpty(); });
    if (it == m_ports.end())
        it = std::find_if(m_ports.begin(), m_ports.end(), [](const Port &port) { return !port.present; });
    return it != m_ports.end() ? &*it : nullptr;
}

// The kernel creates every ttyS it might have; an absent UART reports type 0.
// A name without the attribute (a link, say) counts as present.
bool PortDirectory::uartExists(const QString &name) const
{
    QFile type(m_sysTtyDir + u'/' + name + QStringLiteral("/type"));
    if (!type.open(QIODevice::ReadOnly))
        return true;
    bool ok = false;
    const int uart = type.readAll().trimmed().toInt(&ok);
    return !ok || uart != 0;
}
