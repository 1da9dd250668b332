#include "porttooltips.h"

#include <QAbstractButton>
#include <QHelpEvent>
#include <QToolTip>
#include <QVariant>

namespace {

const char *const kPortProperty = "lorvanePort";

} // namespace

PortToolTips::PortToolTips(PortDirectory &ports, QObject *parent)
    : QObject(parent)
    , m_ports(ports)
{
}

void PortToolTips::watch(QAbstractButton *option, int number)
{
    option->setProperty(kPortProperty, number);
    option->installEventFilter(this);
}

QString PortToolTips::text(int number, const PortDirectory::Port &port)
{
    if (port.path.isEmpty())
        return QStringLiteral("Port %1: no serial device present").arg(number);
    if (!port.present)
        return QStringLiteral("Port %1: %2 (unplugged)").arg(number).arg(port.path);
    if (port.device.description.isEmpty())
        return QStringLiteral("Port %1: %2").arg(number).arg(port.path);
    return QStringLiteral("Port %1: %2, %3").arg(number).arg(port.path, port.device.description);
}

bool PortToolTips::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QObject::eventFilter(watched, event);
    const int number = watched->property(kPortProperty).toInt();
    QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), text(number, m_ports.port(number)),
                       static_cast<QWidget *>(watched));
    return true;
}
