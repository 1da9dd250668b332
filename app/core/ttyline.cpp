#include "ttyline.h"

#include "termiosbuilder.h"

#include <QSocketNotifier>

#include <cerrno>
#include <poll.h>

namespace {

// One notifier activation reads at most this much, so that during a flood the event
// loop comes round between events often enough for a typed key to go out at once.
// A terminal's line discipline hands over at most 4 KiB per read anyway.
constexpr qsizetype kReadBudget = 4 * 1024;
constexpr qsizetype kReadChunk = 4 * 1024;

} // namespace

std::unique_ptr<SerialLine> SerialLine::create()
{
    return std::make_unique<TtyLine>();
}

bool SerialLine::takesSpeed(int baud)
{
    return TermiosBuilder::speedCode(baud).has_value();
}

TtyLine::~TtyLine()
{
    close();
}

void TtyLine::open(const QString &path, const PortSettings &settings)
{
    m_device.open(path, settings);
    m_out.clear();
    m_readNotifier = new QSocketNotifier(m_device.fd(), QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &TtyLine::readAvailable);
    m_writeNotifier = new QSocketNotifier(m_device.fd(), QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] {
        writePending();
        if (m_out.isEmpty() && isOpen())
            Q_EMIT drained();
    });
}

// The notifiers may be the ones whose activation is running, so they go later.
void TtyLine::close()
{
    for (QSocketNotifier **notifier : {&m_readNotifier, &m_writeNotifier}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
            *notifier = nullptr;
        }
    }
    m_device.close();
    m_out.clear();
}

void TtyLine::write(QByteArrayView bytes)
{
    if (!isOpen())
        return;
    m_out.append(bytes);
    writePending();
}

bool TtyLine::waitForBytesWritten(int msecs)
{
    if (m_out.isEmpty() || !isOpen())
        return false;
    pollfd ready{m_device.fd(), POLLOUT, 0};
    int n = 0;
    do {
        n = ::poll(&ready, 1, msecs);
    } while (n < 0 && errno == EINTR);
    if (n <= 0)
        return false;
    const qsizetype before = m_out.size();
    writePending();
    return m_out.size() < before;
}

void TtyLine::readAvailable()
{
    char buffer[kReadChunk];
    for (qsizetype total = 0; total < kReadBudget && m_device.isOpen();) {
        const qsizetype n = m_device.read(buffer, kReadChunk);
        if (n < 0) {
            lose();
            return;
        }
        if (n == 0)
            return;
        Q_EMIT received(QByteArrayView(buffer, n), m_device.takeCounterChanges());
        total += n;
    }
}

void TtyLine::writePending()
{
    while (!m_out.isEmpty() && m_device.isOpen()) {
        const qsizetype n = m_device.write(m_out.constData(), m_out.size());
        if (n < 0) {
            lose();
            return;
        }
        if (n == 0)
            break;
        m_out.remove(0, n);
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_out.isEmpty());
}

void TtyLine::lose()
{
    close();
    Q_EMIT failed(m_device.failure());
}
