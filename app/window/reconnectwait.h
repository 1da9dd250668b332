#pragma once

#include "devicewatch.h"
#include "portdirectory.h"

#include <QObject>
#include <QString>

// Waits for the device of a lost port to come back and says when to open it again:
// when a node that is that port's device appears (the same device by identity, so
// never another one under the old name), and once more when an open refused for want
// of permission meets the attribute change that grants it. Nothing else starts an
// open, no timer least of all, so a device that cannot be opened is tried again only
// when it comes back again.
class ReconnectWait : public QObject
{
    Q_OBJECT

public:
    // The directory outlives the wait; it is the one the opens use.
    explicit ReconnectWait(PortDirectory &ports, QObject *parent = nullptr);

    // Waits for port `number` until stop(). False when the system reports no devices:
    // then there is no wait.
    bool start(int number);
    void stop();
    bool isWaiting() const { return m_watch.isWatching(); }

    int port() const { return m_port; }
    // Where the device is, or was last seen.
    const QString &path() const { return m_path; }

    // The open that deviceBack() asked for failed; the wait goes on. `permissionDenied`:
    // this process was not allowed to open the device when it tried.
    void openFailed(bool permissionDenied);
    // Whether this process may read and write `path`, asked without opening it.
    static bool mayOpen(const QString &path);

Q_SIGNALS:
    void deviceBack();

private:
    void deviceChanged(const QString &name, DeviceWatch::Change change);

    PortDirectory &m_ports;
    DeviceWatch m_watch;
    int m_port = 0;
    // Who the port's device was when the line went: once all eight numbers are out,
    // a newcomer may take over the number of a device that is away.
    TtyIdentity m_device;
    QString m_path;
    bool m_permissionRetry = false;
};
