#pragma once

#include <QPushButton>

// A checkable push button whose pressed state reads at a glance in any style and
// theme: while checked it is drawn sunken in the palette's highlight colours, not
// merely a shade darker than when raised.
class LatchButton : public QPushButton
{
    Q_OBJECT

public:
    LatchButton(const QString &caption, QWidget *parent = nullptr);

protected:
    void initStyleOption(QStyleOptionButton *option) const override;
};
