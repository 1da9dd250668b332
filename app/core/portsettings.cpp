#include "portsettings.h"

#include "serialline.h"

#include <QStringList>

namespace {

std::optional<Parity> parityOf(QChar letter)
{
    switch (letter.toLower().unicode()) {
    case u'n': return Parity::None;
    case u'e': return Parity::Even;
    case u'o': return Parity::Odd;
    default: return std::nullopt;
    }
}

QChar letterOf(Parity parity)
{
    switch (parity) {
    case Parity::Even: return u'e';
    case Parity::Odd: return u'o';
    case Parity::None: break;
    }
    return u'n';
}

} // namespace

std::optional<PortSettings> parsePortSettings(const QString &text)
{
    const QStringList fields = text.split(u',');
    if (fields.size() != 4)
        return std::nullopt;

    bool ok[3] = {};
    PortSettings settings;
    settings.baud = fields[0].toInt(&ok[0]);
    settings.dataBits = fields[2].toInt(&ok[1]);
    settings.stopBits = fields[3].toInt(&ok[2]);
    const std::optional<Parity> parity = fields[1].size() == 1 ? parityOf(fields[1].at(0)) : std::nullopt;
    if (!ok[0] || !ok[1] || !ok[2] || !parity)
        return std::nullopt;
    settings.parity = *parity;

    if (!SerialLine::takesSpeed(settings.baud)
        || settings.dataBits < 5 || settings.dataBits > 8
        || (settings.stopBits != 1 && settings.stopBits != 2))
        return std::nullopt;
    return settings;
}

QString toString(const PortSettings &settings)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(settings.baud)
        .arg(letterOf(settings.parity))
        .arg(settings.dataBits)
        .arg(settings.stopBits);
}
