#pragma once

#include "spinentry.h"

// The hexadecimal twin of IntegerEntry: the text shows and takes the 16-bit pattern in
// hexadecimal, and the range is the whole signed 16-bit range with no host bounds.
// The spin buttons come first in the focus order.
class HEXentry : public SpinEntry
{
    Q_OBJECT

public:
    explicit HEXentry(QWidget *parent = nullptr);

    // Raises no event.
    void set_values(const qint16 &inp, const QString &tool_tip_text);

protected:
    qint16 valueFromText(const QString &text) const override;
    QString textFromValue(qint16 value) const override;
};
