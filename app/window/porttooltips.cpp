#include "porttooltips.h"

#include "portdirectory.h"

#include <QAbstractButton>
#include <QHelpEvent>
#include <QToolTip>
#include <QVariant>

namespace {

const char *const kPortProperty = "lorvanePort";

} // namespace

PortToolTips::PortToolTips(const PortDirectory &ports, QObject *parent)
    : QObject(parent)
    , m_ports(ports)
{
}

void PortToolTips::watch(QAbstractButton *option, int port)
{
    option->setProperty(kPortProperty, port);
    option->installEventFilter(this);
}

QString PortToolTips::text(int port, const QString &device)
{
    return device.isEmpty() ? QStringLiteral("Port %1: no serial device present").arg(port)
                            : QStringLiteral("Port %1: %2").arg(port).arg(device);
}

bool PortToolTips::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QObject::eventFilter(watched, event);
    const int port = watched->property(kPortProperty).toInt();
    QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), text(port, m_ports.devicePath(port)),
                       static_cast<QWidget *>(watched));
    return true;
}
