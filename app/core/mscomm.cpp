#include "mscomm.h"

#include "commerror.h"

#include <QSocketNotifier>

#include <algorithm>
#include <limits>

#include <cerrno>
#include <poll.h>

namespace {

// One notifier activation reads at most this much, so that during a flood the event
// loop comes round between events often enough for a typed key to go out at once.
// A terminal's line discipline hands over at most 4 KiB per read anyway.
constexpr qsizetype kReadBudget = 4 * 1024;
constexpr qsizetype kReadChunk = 4 * 1024;

} // namespace

MSComm::MSComm(PortDirectory ports, QObject *parent)
    : QObject(parent)
    , m_ports(std::move(ports))
{
}

MSComm::~MSComm()
{
    closeDevice();
}

void MSComm::setCommPort(qint16 port)
{
    if (port < 1 || port > 8)
        throw CommError(QStringLiteral("Port %1 does not exist (ports are 1 to 8)").arg(port));
    if (PortOpen())
        throw CommError(QStringLiteral("The port number cannot change while the port is open"));
    m_commPort = port;
}

void MSComm::setSettings(const QString &text)
{
    const std::optional<PortSettings> settings = parsePortSettings(text);
    if (!settings)
        throw CommError(QStringLiteral("Invalid settings \"%1\"").arg(text));
    const PortSettings before = m_settings;
    m_settings = *settings;
    if (!PortOpen())
        return;
    closeDevice();
    try {
        setPortOpen(true);
    } catch (const CommError &) {
        // The port is closed now; it keeps the settings it had, not ones no line took.
        m_settings = before;
        noteOpen();
        throw;
    }
}

void MSComm::setPortOpen(bool open)
{
    if (!open) {
        closeDevice();
        noteOpen();
        return;
    }
    if (m_device.isOpen())
        return;
    const QString path = m_ports.devicePath(m_commPort);
    if (path.isEmpty())
        throw CommError(QStringLiteral("no serial device present"));
    m_device.open(path, m_settings);
    m_decoder.reset();
    m_decoder.setParityEnabled(m_settings.parity != Parity::None);
    m_unusedCounts.reset();
    m_in.clear();
    m_inPos = 0;
    m_out.clear();

    m_readNotifier = new QSocketNotifier(m_device.fd(), QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &MSComm::readAvailable);
    m_writeNotifier = new QSocketNotifier(m_device.fd(), QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] {
        writePending();
        if (m_out.isEmpty() && PortOpen())
            Q_EMIT OutputDrained();
    });
    noteOpen();
}

qint16 MSComm::InBufferCount() const
{
    return qint16(std::min<qsizetype>(m_in.size() - m_inPos, std::numeric_limits<qint16>::max()));
}

std::array<quint8, 1> MSComm::Input()
{
    if (m_inPos >= m_in.size())
        return {0};
    const quint8 byte = quint8(m_in[m_inPos++]);
    if (m_inPos == m_in.size()) {
        m_in.resize(0);
        m_inPos = 0;
    }
    return {byte};
}

void MSComm::Output(QByteArrayView bytes)
{
    if (!PortOpen())
        return;
    m_out.append(bytes);
    writePending();
}

bool MSComm::waitForBytesWritten(int msecs)
{
    if (m_out.isEmpty() || !PortOpen())
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

void MSComm::receiveRaw(QByteArrayView raw, std::optional<LineCounters> counters)
{
    if (counters)
        *(m_unusedCounts ? &*m_unusedCounts : &m_unusedCounts.emplace()) += *counters;
    const qsizetype before = m_in.size();
    const quint64 closes = m_closes;
    for (const LineDecoder::Event event : m_decoder.decode(raw, m_in, m_unusedCounts ? &*m_unusedCounts : nullptr)) {
        if (m_closes != closes)
            return;
        switch (event) {
        case LineDecoder::Event::ParityError: raise(comEventRxParity); break;
        case LineDecoder::Event::FramingError: raise(comEventFrame); break;
        case LineDecoder::Event::Break: raise(comEventBreak); break;
        }
    }
    if (m_closes == closes && m_in.size() > before && InBufferCount() > 0)
        raise(comEvReceive);
}

void MSComm::readAvailable()
{
    char buffer[kReadChunk];
    for (qsizetype total = 0; total < kReadBudget && m_device.isOpen();) {
        const qsizetype n = m_device.read(buffer, kReadChunk);
        if (n < 0) {
            lose(m_device.failure());
            return;
        }
        if (n == 0)
            return;
        receiveRaw(QByteArrayView(buffer, n), m_device.takeCounterChanges());
        total += n;
    }
}

void MSComm::writePending()
{
    while (!m_out.isEmpty() && m_device.isOpen()) {
        const qsizetype n = m_device.write(m_out.constData(), m_out.size());
        if (n < 0) {
            lose(m_device.failure());
            return;
        }
        if (n == 0)
            break;
        m_out.remove(0, n);
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_out.isEmpty());
}

void MSComm::raise(qint16 event)
{
    m_commEvent = event;
    Q_EMIT OnComm();
}

void MSComm::lose(const QString &reason)
{
    closeDevice();
    Q_EMIT portLost(reason);
    noteOpen();
}

void MSComm::noteOpen()
{
    if (m_toldOpen == PortOpen())
        return;
    m_toldOpen = PortOpen();
    Q_EMIT portOpenChanged(m_toldOpen);
}

// The notifiers may be the ones whose activation is running, so they go later.
void MSComm::closeDevice()
{
    for (QSocketNotifier **notifier : {&m_readNotifier, &m_writeNotifier}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
            *notifier = nullptr;
        }
    }
    if (m_device.isOpen())
        ++m_closes;
    m_device.close();
    m_in.clear();
    m_inPos = 0;
    m_out.clear();
}
