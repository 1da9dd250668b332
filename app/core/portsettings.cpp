#include "portsettings.h"

#include "termiosbuilder.h"

#include <QStringList>

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
    if (!ok[0] || !ok[1] || !ok[2] || fields[1].size() != 1)
        return std::nullopt;
    settings.parity = char(fields[1].at(0).toLower().toLatin1());

    const bool parityOk = settings.parity == 'e' || settings.parity == 'o' || settings.parity == 'n';
    if (!parityOk || !TermiosBuilder::speedCode(settings.baud)
        || settings.dataBits < 5 || settings.dataBits > 8
        || (settings.stopBits != 1 && settings.stopBits != 2))
        return std::nullopt;
    return settings;
}

QString toString(const PortSettings &settings)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(settings.baud)
        .arg(QChar::fromLatin1(settings.parity))
        .arg(settings.dataBits)
        .arg(settings.stopBits);
}
