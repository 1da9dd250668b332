#include "formbuilder.h"

namespace FormBuilder {

namespace {

template<typename Control>
Control *make(QWidget *parent, const QString &name, const QString &caption, QRect place)
{
    auto *control = new Control(caption, parent);
    control->setObjectName(name);
    control->setAccessibleName(caption);
    control->setGeometry(place);
    return control;
}

} // namespace

QGroupBox *frame(QWidget *parent, const QString &name, const QString &caption, QRect place)
{
    return make<QGroupBox>(parent, name, caption, place);
}

QLabel *label(QWidget *parent, const QString &name, const QString &caption, QRect place)
{
    return make<QLabel>(parent, name, caption, place);
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, QRect place)
{
    return make<QPushButton>(parent, name, caption, place);
}

LatchButton *latchButton(QWidget *parent, const QString &name, const QString &caption, QRect place)
{
    return make<LatchButton>(parent, name, caption, place);
}

} // namespace FormBuilder
