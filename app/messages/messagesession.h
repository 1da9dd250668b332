#pragma once

#include "messagebook.h"
#include "replywatch.h"
#include "sendallsummary.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <vector>

class MessageLine;
class QTimer;

// Sends the message slots on the line and times their replies. Sending command slot
// i (0 to 9) while reply slot 10 + i holds a message starts a watch: the first
// occurrence of the reply in what is received afterwards is the reply, timed from
// the write to the serial event that brought its last byte on a monotonic clock. Send
// all walks the command slots, each after the reply of the one before came or timed
// out. Every send, reply and timeout is told as a line of the protocol log.
class MessageSession : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCommands = 10;
    static constexpr int kDefaultTimeoutMs = 1000;

    explicit MessageSession(QObject *parent = nullptr);

    void setLine(MessageLine *line);
    bool canSend() const;

    QString name(int slot) const { return m_names.at(std::size_t(slot)); }
    void setName(int slot, const QString &name);
    // "Slot 22" where a slot has no name.
    QString label(int slot) const;

    int timeoutMs() const { return m_timeoutMs; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

    // Each sends in one write, or says why not through refused().
    bool sendSlot(int slot);
    bool sendMessage(const SerialString &message, const QString &label);

    bool awaitsReply() const { return m_watch.isActive(); }
    // What one serial event brought.
    void received(QByteArrayView bytes);

    void startSendAll();
    void stopSendAll();
    bool isSendingAll() const { return m_sendingAll; }

Q_SIGNALS:
    void logged(const QString &line);
    void refused(const QString &reason);
    void replied(int slot, qint64 tenthsOfMs);
    void sendAllChanged(bool running);

private:
    // Says why through refused() when the line cannot take a message.
    bool lineReady();
    bool send(const SerialString &message, const QString &label);
    void watchReply(int command);
    void replyMissed();
    void sendNext();
    void finishSendAll(const QString &closing);
    void log(const QString &text);

    QPointer<MessageLine> m_line;
    std::array<QString, MessageBook::kSlots> m_names{};
    int m_timeoutMs = kDefaultTimeoutMs;
    ReplyWatch m_watch;
    int m_watchedCommand = -1;
    QElapsedTimer m_sentAt;
    QTimer *m_timeout = nullptr;

    bool m_sendingAll = false;
    std::vector<int> m_toSend;
    std::vector<SendAllSummary::Outcome> m_outcomes;
    int m_sent = 0;
};
