#pragma once

#include "spinentry.h"

// Entry of a signed 16-bit integer between two bounds given by the host, typed in
// decimal or stepped with the spin buttons. The message editor uses it for the byte
// count of a message.
class IntegerEntry : public SpinEntry
{
    Q_OBJECT

public:
    explicit IntegerEntry(QWidget *parent = nullptr);

    // Raises no event; `inp` is shown limited to the bounds, the caller's value untouched.
    void set_values(const qint16 &inp, const qint16 &mini, const qint16 &maxi,
                    const QString &tool_tip_text);

protected:
    qint16 valueFromText(const QString &text) const override;
    QString textFromValue(qint16 value) const override;
};
