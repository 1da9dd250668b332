#pragma once

#include "latchbutton.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <array>

// Makes the window's controls with their names and design places, so that building
// the window reads as the list of its controls.
namespace FormBuilder {

QGroupBox *frame(QWidget *parent, const QString &name, const QString &caption, QRect place);
QLabel *label(QWidget *parent, const QString &name, const QString &caption, QRect place);
QPushButton *button(QWidget *parent, const QString &name, const QString &caption, QRect place);
LatchButton *latchButton(QWidget *parent, const QString &name, const QString &caption, QRect place);

// A control array in a frame: element i is named "name[i]", captioned caption(i) and
// placed at place(i). A caption such as "1" means little alone, so a screen reader
// hears it after the frame's ("Port 1").
template<std::size_t N, typename Caption, typename Place>
void options(std::array<QRadioButton *, N> &array, QGroupBox *frame, const QString &name, Caption caption,
             Place place)
{
    for (std::size_t i = 0; i < N; ++i) {
        array[i] = new QRadioButton(caption(int(i)), frame);
        array[i]->setObjectName(QStringLiteral("%1[%2]").arg(name).arg(i));
        array[i]->setAccessibleName(frame->title() + u' ' + array[i]->text());
        array[i]->setGeometry(place(int(i)));
    }
}

} // namespace FormBuilder
