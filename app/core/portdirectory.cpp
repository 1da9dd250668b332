#include "portdirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::array<const char *, 5> kGroups = {"ttyS", "ttyUSB", "ttyACM", "ttyAMA", "rfcomm"};

} // namespace

PortDirectory::PortDirectory(QString devDir, QString sysTtyDir)
    : m_devDir(std::move(devDir))
    , m_sysTtyDir(std::move(sysTtyDir))
{
}

QStringList PortDirectory::devices() const
{
    const QStringList names = QDir(m_devDir).entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    QStringList result;
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
        for (const auto &entry : numbered)
            result.append(m_devDir + u'/' + entry.second);
    }
    return result;
}

QString PortDirectory::devicePath(int port) const
{
    const QStringList present = devices();
    return port >= 1 && port <= present.size() ? present[port - 1] : QString();
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
