#include "reconnectwait.h"

#include <QFileInfo>

#include <unistd.h>

ReconnectWait::ReconnectWait(PortDirectory &ports, QObject *parent)
    : QObject(parent)
    , m_ports(ports)
    , m_watch(ports.devDir())
{
    connect(&m_watch, &DeviceWatch::changed, this, &ReconnectWait::deviceChanged);
}

bool ReconnectWait::start(int number)
{
    const PortDirectory::Port port = m_ports.port(number);
    m_port = number;
    m_device = port.device;
    m_path = port.path;
    m_permissionRetry = false;
    return m_watch.start();
}

void ReconnectWait::stop()
{
    m_watch.stop();
    m_permissionRetry = false;
}

// The kernel makes the node as root's alone and udev hands it to its group a moment
// later, so an open right at its appearance may be refused; one retry is owed then.
void ReconnectWait::openFailed(bool permissionDenied)
{
    m_permissionRetry = permissionDenied;
}

bool ReconnectWait::mayOpen(const QString &path)
{
    return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
}

// Unrelated nodes come and go in /dev too; only the port's own device counts, and its
// attributes only while the retry is owed and until they allow the open.
void ReconnectWait::deviceChanged(const QString &name, DeviceWatch::Change change)
{
    const bool appeared = change == DeviceWatch::Change::Appeared;
    if (!appeared && !m_permissionRetry)
        return;
    const PortDirectory::Port port = m_ports.port(m_port);
    if (!port.present || port.device.key != m_device.key
        || (!name.isEmpty() && QFileInfo(port.path).fileName() != name))
        return;
    if (!appeared && !mayOpen(port.path))
        return;
    m_path = port.path;
    m_permissionRetry = false;
    Q_EMIT deviceBack();
}
