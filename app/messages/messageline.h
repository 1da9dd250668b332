#pragma once

#include <QByteArrayView>
#include <QObject>

// The serial line as the message tools see it: whether it is open, a write, what is
// still queued, and what happens to it. The main window gives its serial control
// through one of these; the Messages window on its own has none. Received bytes come
// the other way: the window hands them to whoever awaits a reply.
class MessageLine : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool isOpen() const = 0;
    // Queues the bytes in one write and returns at once; nothing while closed.
    virtual void send(QByteArrayView bytes) = 0;
    // Bytes handed over that the device has not taken yet.
    virtual qsizetype pending() const = 0;
    // Waits up to msecs for the line to take more of what is pending; false when it
    // took nothing.
    virtual bool waitForRoom(int msecs) = 0;

Q_SIGNALS:
    void openChanged(bool open);
    // The queue ran empty after the device had refused part of it.
    void drained();
    // A read or write failed or the line hung up; the port is closed already.
    void lost(const QString &reason);
};
