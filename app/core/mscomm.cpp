#include "mscomm.h"

#include "commerror.h"

#include <algorithm>
#include <limits>

MSComm::MSComm(PortDirectory ports, QObject *parent)
    : QObject(parent)
    , m_ports(std::move(ports))
{
    connect(m_line.get(), &SerialLine::received, this, &MSComm::receiveRaw);
    connect(m_line.get(), &SerialLine::failed, this, &MSComm::lose);
    connect(m_line.get(), &SerialLine::drained, this, &MSComm::OutputDrained);
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
    if (m_line->isOpen())
        return;
    const QString path = m_ports.devicePath(m_commPort);
    if (path.isEmpty())
        throw CommError(QStringLiteral("no serial device present"));
    m_line->open(path, m_settings);
    m_decoder.reset();
    m_decoder.setMarked(m_line->marksErrors());
    m_decoder.setParityEnabled(m_settings.parity != Parity::None);
    m_unusedCounts.reset();
    m_in.clear();
    m_inPos = 0;
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
    m_line->write(bytes);
}

bool MSComm::waitForBytesWritten(int msecs)
{
    return m_line->waitForBytesWritten(msecs);
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

// Counts a line that closed itself on failure too, so that its remaining events stop.
void MSComm::closeDevice()
{
    ++m_closes;
    m_line->close();
    m_in.clear();
    m_inPos = 0;
}
