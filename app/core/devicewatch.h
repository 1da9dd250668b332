#pragma once

#include <QObject>
#include <QString>

#include <memory>

// Tells, as the system reports it and without polling, when a node appears in a folder
// standing for /dev (made, or moved in) and when a node's attributes change: udev sets
// owner and mode only after the kernel has made the node. It watches only between
// start() and stop(). This one reads Linux inotify through a socket notifier; another
// system's watch would report the same two changes from its own device notices.
class DeviceWatch : public QObject
{
    Q_OBJECT

public:
    enum class Change { Appeared, AttributesChanged };

    explicit DeviceWatch(QString devDir, QObject *parent = nullptr);
    ~DeviceWatch() override;

    // False when the system refused the watch; nothing is reported then.
    bool start();
    void stop();
    bool isWatching() const { return m_watching; }

Q_SIGNALS:
    // `name` is the node's name in the folder; empty when the system lost track of
    // its events, so that any node may have appeared.
    void changed(const QString &name, DeviceWatch::Change change);

private:
    struct Source;

    void readChanges();
    void drain();

    QString m_devDir;
    // Made at the first start and kept until the watch goes: closing an inotify
    // descriptor waits for the kernel's grace period, tens of milliseconds on a busy
    // machine, which would hold up the first read of a port just opened again.
    std::unique_ptr<Source> m_source;
    bool m_watching = false;
};
