#pragma once

#include "messageline.h"

class MSComm;

// The serial control as a line for the message tools: its output, its queue and what
// it tells of opening, closing, losing the line and a drained queue.
class CommLine : public MessageLine
{
    Q_OBJECT

public:
    explicit CommLine(MSComm &control, QObject *parent = nullptr);

    bool isOpen() const override;
    void send(QByteArrayView bytes) override;
    qsizetype pending() const override;
    bool waitForRoom(int msecs) override;

private:
    MSComm &m_control;
};
