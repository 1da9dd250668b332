#include "globals.h"

namespace Globals {

namespace {

// Fixed here rather than read from ControlCodeNames, so that name lookup works
// before InitTables has run.
constexpr std::array<const char *, kControlCodes> kControlCodeText = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
    "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
    "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
    "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",
};

constexpr std::array<const char *, 10> kCommandNames = {
    "Serial enable", "Power on", "Data 1", "Data 2", "Video",
    "Blank", "Volume up", "Volume down", "Power off", "Serial disable",
};

} // namespace

SerialString SlotTable::slot(int slot) const
{
    return isValidSlot(slot) ? m_slots[slot] : SerialString{};
}

void SlotTable::setSlot(int slot, const SerialString &message)
{
    if (isValidSlot(slot))
        m_slots[slot] = message;
}

void InitTables()
{
    const int commands = int(kCommandNames.size());
    for (int i = 0; i < commands; ++i) {
        MessageNames[i] = QString::fromLatin1(kCommandNames[i]);
        MessageNames[commands + i] = MessageNames[i] + QStringLiteral(" reply");
    }
    MessageNames[20] = QStringLiteral("External on");
    MessageNames[21] = QStringLiteral("External off");

    for (int code = 0; code < kControlCodes; ++code)
        ControlCodeNames[code] = QString::fromLatin1(kControlCodeText[code]);
}

qint16 ControlCodeFromName(const QString &name)
{
    for (int code = 0; code < kControlCodes; ++code) {
        if (name == QLatin1String(kControlCodeText[code]))
            return qint16(code);
    }
    return 0;
}

QString ControlCodeName(int code)
{
    return code >= 0 && code < kControlCodes ? QString::fromLatin1(kControlCodeText[code]) : QString();
}

quint8 BinaryTextToByte(const QString &text)
{
    quint8 result = 0;
    for (const QChar c : text)
        result = quint8((result << 1) | (c == u'1' ? 1 : 0));
    return result;
}

QString ByteToBinaryText(quint8 value)
{
    return QString::number(value, 2);
}

} // namespace Globals
