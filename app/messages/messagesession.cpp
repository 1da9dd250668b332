#include "messagesession.h"

#include "globals.h"
#include "messageline.h"
#include "messagenotation.h"

#include <QTime>
#include <QTimer>

namespace {

constexpr qint64 kNsPerTenth = 100'000;

QByteArray bytesOf(const SerialString &message)
{
    const int count = std::clamp<int>(message.count, 0, SerialString::kCapacity);
    return QByteArray(reinterpret_cast<const char *>(message.values), count);
}

} // namespace

MessageSession::MessageSession(QObject *parent)
    : QObject(parent)
    , m_timeout(new QTimer(this))
{
    const MessageBook defaults = MessageBook::defaults();
    m_names = defaults.names;
    m_timeout->setSingleShot(true);
    m_timeout->setTimerType(Qt::PreciseTimer);
    connect(m_timeout, &QTimer::timeout, this, &MessageSession::replyMissed);
}

void MessageSession::setLine(MessageLine *line)
{
    m_line = line;
}

bool MessageSession::canSend() const
{
    return m_line && m_line->isOpen();
}

void MessageSession::setName(int slot, const QString &name)
{
    if (Globals::SlotTable::isValidSlot(slot))
        m_names[std::size_t(slot)] = name;
}

QString MessageSession::label(int slot) const
{
    const QString given = name(slot);
    return given.isEmpty() ? QStringLiteral("Slot %1").arg(slot) : given;
}

bool MessageSession::sendSlot(int slot)
{
    if (!Globals::SlotTable::isValidSlot(slot))
        return false;
    if (m_sendingAll)
        finishSendAll(QStringLiteral("Send all stopped by a send of %1").arg(label(slot)));
    const SerialString message = Globals::MessageTable.slot(slot);
    if (message.count <= 0 && canSend()) {
        Q_EMIT refused(QStringLiteral("%1 is empty: nothing was sent").arg(label(slot)));
        return false;
    }
    if (!send(message, label(slot)))
        return false;
    if (slot < kCommands)
        watchReply(slot);
    return true;
}

bool MessageSession::sendMessage(const SerialString &message, const QString &label)
{
    if (m_sendingAll)
        finishSendAll(QStringLiteral("Send all stopped by a send of %1").arg(label));
    return send(message, label);
}

bool MessageSession::lineReady()
{
    if (canSend())
        return true;
    Q_EMIT refused(m_line ? QStringLiteral("The port is closed: nothing was sent")
                          : QStringLiteral("No port here: messages go out from the main window's Messages"));
    return false;
}

bool MessageSession::send(const SerialString &message, const QString &label)
{
    if (!lineReady())
        return false;
    const QByteArray bytes = bytesOf(message);
    if (bytes.isEmpty())
        return false;
    m_watch.stop();
    m_timeout->stop();
    m_line->send(bytes);
    m_sentAt.start();
    log(label + QStringLiteral("  ") + MessageNotation::write(message));
    return true;
}

void MessageSession::watchReply(int command)
{
    const QByteArray reply = bytesOf(Globals::MessageTable.slot(command + kCommands));
    if (reply.isEmpty())
        return;
    m_watchedCommand = command;
    m_watch.start(reply);
    m_timeout->start(m_timeoutMs);
}

void MessageSession::received(QByteArrayView bytes)
{
    if (!m_watch.feed(bytes))
        return;
    const qint64 tenths = (m_sentAt.nsecsElapsed() + kNsPerTenth / 2) / kNsPerTenth;
    m_timeout->stop();
    const int reply = m_watchedCommand + kCommands;
    log(QStringLiteral("%1 after %2 ms  %3")
            .arg(label(reply), SendAllSummary::milliseconds(tenths),
                 MessageNotation::write(Globals::MessageTable.slot(reply))));
    Q_EMIT replied(reply, tenths);
    if (m_sendingAll) {
        m_outcomes.push_back({label(m_watchedCommand), label(reply), tenths});
        QTimer::singleShot(0, this, &MessageSession::sendNext);
    }
}

void MessageSession::replyMissed()
{
    m_watch.stop();
    const int reply = m_watchedCommand + kCommands;
    log(QStringLiteral("No %1 within %2 ms").arg(label(reply)).arg(m_timeoutMs));
    if (m_sendingAll) {
        m_outcomes.push_back({label(m_watchedCommand), label(reply), std::nullopt});
        sendNext();
    }
}

void MessageSession::startSendAll()
{
    if (m_sendingAll)
        return;
    if (!lineReady())
        return;
    m_toSend.clear();
    for (int slot = kCommands - 1; slot >= 0; --slot) {
        if (Globals::MessageTable.slot(slot).count > 0)
            m_toSend.push_back(slot);
    }
    if (m_toSend.empty()) {
        Q_EMIT refused(QStringLiteral("Slots 0 to 9 are empty: nothing was sent"));
        return;
    }
    m_outcomes.clear();
    m_sent = 0;
    m_sendingAll = true;
    Q_EMIT sendAllChanged(true);
    sendNext();
}

void MessageSession::stopSendAll()
{
    if (m_sendingAll)
        finishSendAll(QStringLiteral("Send all stopped"));
}

// The next command, or the summary once none is left; a command without a reply to
// wait for is followed at once by the next.
void MessageSession::sendNext()
{
    while (m_sendingAll && !m_watch.isActive()) {
        if (m_toSend.empty())
            return finishSendAll(SendAllSummary::text(m_outcomes, m_sent, m_timeoutMs));
        const int slot = m_toSend.back();
        m_toSend.pop_back();
        if (!send(Globals::MessageTable.slot(slot), label(slot)))
            return finishSendAll(QStringLiteral("Send all stopped: the port is closed"));
        ++m_sent;
        watchReply(slot);
    }
}

void MessageSession::finishSendAll(const QString &closing)
{
    m_sendingAll = false;
    m_watch.stop();
    m_timeout->stop();
    log(closing);
    Q_EMIT sendAllChanged(false);
}

void MessageSession::log(const QString &text)
{
    Q_EMIT logged(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) + QStringLiteral("  ") + text);
}
