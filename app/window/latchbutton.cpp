#include "latchbutton.h"

#include <QStyleOptionButton>

LatchButton::LatchButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    setCheckable(true);
}

void LatchButton::initStyleOption(QStyleOptionButton *option) const
{
    QPushButton::initStyleOption(option);
    if (!isChecked())
        return;
    // Some styles fill a checked button with a dither of Light and others shade
    // Button, so both become the highlight colour.
    option->state |= QStyle::State_Sunken;
    const QColor fill = option->palette.color(QPalette::Highlight);
    for (const QPalette::ColorRole role : {QPalette::Button, QPalette::Light, QPalette::Midlight})
        option->palette.setColor(role, fill);
    option->palette.setColor(QPalette::ButtonText, option->palette.color(QPalette::HighlightedText));
}
