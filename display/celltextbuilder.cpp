#include "celltextbuilder.h"

#include "cellpalette.h"
#include "codepage.h"
#include "displaymetrics.h"
#include "globals.h"
#include "serialstring.h"

namespace {

// Characters below the space have no printable form; they all show as code 127.
constexpr quint8 kFirstPrintable = 32;
constexpr quint8 kUnprintableStandIn = 127;

QString asciiText(quint8 value)
{
    return QString(CodePage::toUnicode(value < kFirstPrintable ? kUnprintableStandIn : value));
}

QString controlText(quint8 value)
{
    if (value < Globals::kControlCodes)
        return Globals::ControlCodeNames[value] + u'c';
    return QStringLiteral("ERRORc");
}

} // namespace

std::optional<QString> CellTextBuilder::valueText(quint8 value, quint8 mode)
{
    switch (ByteMode(mode)) {
    case ByteMode::ASCII:
        return asciiText(value);
    case ByteMode::HEX:
        return QString::number(value, 16).toUpper().rightJustified(2, u'0') + u'h';
    case ByteMode::DECIMAL:
        return QString::number(value).rightJustified(3, u'0') + u'd';
    case ByteMode::BINARY:
        return Globals::ByteToBinaryText(value) + u'b';
    case ByteMode::CONTROL:
        return controlText(value);
    }
    return std::nullopt;
}

CellText CellTextBuilder::next(quint8 value, quint8 mode)
{
    const bool asciiRun = mode == quint8(ByteMode::ASCII) && m_previousMode == quint8(ByteMode::ASCII);
    const bool comma = !m_first && !asciiRun;

    if (const std::optional<QString> body = valueText(value, mode)) {
        m_previousBody = *body;
        m_previousColour = *CellPalette::modeColour(mode);
    } else if (m_first) {
        m_previousBody.clear();
        m_previousColour = CellPalette::defaultInk();
    }
    m_first = false;
    m_previousMode = mode;

    CellText cell;
    cell.text = comma ? u',' + m_previousBody : m_previousBody;
    cell.colour = m_previousColour;
    cell.separatorWidth = comma ? DisplayMetrics::kCharWidth : 0;
    return cell;
}
