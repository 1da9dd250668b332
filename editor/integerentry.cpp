#include "integerentry.h"

#include "numbertext.h"

IntegerEntry::IntegerEntry(QWidget *parent)
    : SpinEntry(FocusOrder::TextFirst, parent)
{
}

void IntegerEntry::set_values(const qint16 &inp, const qint16 &mini, const qint16 &maxi,
                              const QString &tool_tip_text)
{
    setTextToolTip(tool_tip_text);
    m_state.max_value = maxi;
    m_state.min_value = mini;
    showValue(inp);
    stopRepeat();
}

qint16 IntegerEntry::valueFromText(const QString &text) const
{
    return NumberText::integerFromText(text);
}

QString IntegerEntry::textFromValue(qint16 value) const
{
    return NumberText::decimalText(value);
}
