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

// The notifier may be the one whose activation is running when the watch stops, so
// it goes later; the descriptor closes at once.
struct DeviceWatch::Source
{
    int fd = -1;
    QSocketNotifier *notifier = nullptr;

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
    if (m_source)
        return true;
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return false;
    if (::inotify_add_watch(fd, m_devDir.toLocal8Bit().constData(), kAppeared | IN_ATTRIB | IN_ONLYDIR) < 0) {
        ::close(fd);
        return false;
    }
    auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    m_source.reset(new Source{fd, notifier});
    connect(notifier, &QSocketNotifier::activated, this, &DeviceWatch::readChanges);
    return true;
}

void DeviceWatch::stop()
{
    m_source.reset();
}

// All waiting events are taken before any is told, since a receiver may stop the watch.
void DeviceWatch::readChanges()
{
    QList<std::pair<QString, Change>> changes;
    alignas(inotify_event) char buffer[8 * 1024];
    ssize_t n = 0;
    while (m_source && (n = ::read(m_source->fd, buffer, sizeof buffer)) != 0) {
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
