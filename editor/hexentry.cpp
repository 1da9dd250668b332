#include "hexentry.h"

#include "numbertext.h"

#include <limits>

HEXentry::HEXentry(QWidget *parent)
    : SpinEntry(FocusOrder::ButtonsFirst, parent)
{
    // Bounds at the ends of the range make every 16-bit value acceptable.
    m_state.min_value = std::numeric_limits<qint16>::min();
    m_state.max_value = std::numeric_limits<qint16>::max();
}

void HEXentry::set_values(const qint16 &inp, const QString &tool_tip_text)
{
    setTextToolTip(tool_tip_text);
    showValue(inp);
    stopRepeat();
}

qint16 HEXentry::valueFromText(const QString &text) const
{
    return NumberText::hexFromText(text);
}

QString HEXentry::textFromValue(qint16 value) const
{
    return NumberText::hexText(value);
}
