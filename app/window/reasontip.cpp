#include "reasontip.h"

#include <QToolTip>
#include <QWidget>

namespace ReasonTip {

void show(QWidget *control, const QString &reason)
{
    control->setToolTip(reason);
    const QWidget *window = control->window();
    if (window->isActiveWindow() && !window->isMinimized())
        QToolTip::showText(control->mapToGlobal(QPoint(0, control->height())), reason, control, QRect(), kShownMs);
}

} // namespace ReasonTip
