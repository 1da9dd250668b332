#pragma once

#include "messageline.h"

#include <QByteArray>
#include <QList>

#include <functional>

// A line that keeps what is sent on it, one entry a write, and can be opened, closed
// and made to answer each write.
class FakeLine : public MessageLine
{
public:
    bool isOpen() const override { return m_open; }
    void send(QByteArrayView bytes) override
    {
        writes.append(bytes.toByteArray());
        if (answer)
            answer(writes.back());
    }
    qsizetype pending() const override { return 0; }
    bool waitForRoom(int) override { return false; }

    void setOpen(bool open)
    {
        m_open = open;
        Q_EMIT openChanged(open);
    }

    QList<QByteArray> writes;
    std::function<void(const QByteArray &)> answer;

private:
    bool m_open = true;
};
