#include "devicewatch.h"

#include <QList>
#include <QPointer>
#include <QSocketNotifier>

#include <utility>

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr uint32_t kAppeared = IN_CREATE | IN_MOVED_TO;

} // namespace

// The notifier may be the one whose activation is running when the watch goes, so it
// goes later.
struct DeviceWatch::Source
{
    int fd = -1;
    QSocketNotifier *notifier = nullptr;
    int watch = -1;

    ~Source()
    {
        notifier->setEnabled(false);
        notifier->deleteLater();
        ::close(fd);
    }
};

DeviceWatch::DeviceWatch(QString devDir, QObject *parent)
    : QObject(parent)
    , m_devDir(std::move(devDir))
{
}

DeviceWatch::~DeviceWatch() = default;

bool DeviceWatch::start()
{
    if (m_watching)
        return true;
    if (!m_source) {
        const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd < 0)
            return false;
        auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        notifier->setEnabled(false);
        m_source.reset(new Source{fd, notifier});
        connect(notifier, &QSocketNotifier::activated, this, &DeviceWatch::readChanges);
    }
    // What came before this wait, up to the end of the last watch, is no news.
    drain();
    m_source->watch = ::inotify_add_watch(m_source->fd, m_devDir.toLocal8Bit().constData(),
                                          kAppeared | IN_ATTRIB | IN_ONLYDIR);
    m_watching = m_source->watch >= 0;
    m_source->notifier->setEnabled(m_watching);
    return m_watching;
}

// Removing the watch does not wait for the kernel, unlike closing the descriptor.
void DeviceWatch::stop()
{
    if (!m_watching)
        return;
    m_watching = false;
    m_source->notifier->setEnabled(false);
    ::inotify_rm_watch(m_source->fd, m_source->watch);
}

void DeviceWatch::drain()
{
    alignas(inotify_event) char buffer[8 * 1024];
    for (ssize_t n = 0; (n = ::read(m_source->fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR);) {
    }
}

// All waiting events are taken before any is told, since a receiver may stop the watch.
void DeviceWatch::readChanges()
{
    QList<std::pair<QString, Change>> changes;
    alignas(inotify_event) char buffer[8 * 1024];
    ssize_t n = 0;
    while (m_watching && (n = ::read(m_source->fd, buffer, sizeof buffer)) != 0) {
        if (n < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (ssize_t at = 0; at < n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW)
                changes.append({QString(), Change::Appeared});
            else if (event->len > 0 && (event->mask & kAppeared))
                changes.append({QString::fromLocal8Bit(event->name), Change::Appeared});
            else if (event->len > 0 && (event->mask & IN_ATTRIB))
                changes.append({QString::fromLocal8Bit(event->name), Change::AttributesChanged});
        }
    }
    const QPointer<DeviceWatch> alive(this);
    for (const auto &[name, change] : std::as_const(changes)) {
        if (!alive || !isWatching())
            return;
        Q_EMIT changed(name, change);
    }
}
