#include "commline.h"

#include "mscomm.h"

CommLine::CommLine(MSComm &control, QObject *parent)
    : MessageLine(parent)
    , m_control(control)
{
    connect(&m_control, &MSComm::portOpenChanged, this, &MessageLine::openChanged);
    connect(&m_control, &MSComm::OutputDrained, this, &MessageLine::drained);
    connect(&m_control, &MSComm::portLost, this, &MessageLine::lost);
}

bool CommLine::isOpen() const
{
    return m_control.PortOpen();
}

void CommLine::send(QByteArrayView bytes)
{
    m_control.Output(bytes);
}

bool CommLine::waitForRoom(int msecs)
{
    return m_control.waitForBytesWritten(msecs);
}

qsizetype CommLine::pending() const
{
    return m_control.OutBufferCount();
}
