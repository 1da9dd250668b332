#pragma once

#include <QString>

class QWidget;

// Why something failed, told as the window tells it: the reason stays in the
// control's tooltip and, while the window is in front, shows beside the control for
// a few seconds, with no box to dismiss and without taking the focus.
namespace ReasonTip {

inline constexpr int kShownMs = 5000;

void show(QWidget *control, const QString &reason);

} // namespace ReasonTip
