#pragma once

#include <QObject>
#include <QRadioButton>
#include <QString>

// A window's controls found by their names: "Connect", "Text2", and "Port[2]" for an
// element of an option array.
template<typename T>
T *control(const QObject &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}

inline QRadioButton *option(const QObject &window, const char *array, int index)
{
    return window.findChild<QRadioButton *>(QStringLiteral("%1[%2]").arg(QLatin1String(array)).arg(index));
}
