#include "fakeline.h"
#include "globals.h"
#include "messages.h"
#include "messagesession.h"

#include <QtTest>

namespace {

constexpr int kPowerOn = 1;
constexpr int kShortTimeoutMs = 30;

} // namespace

class TestMessageSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void replySplitOverEventsIsMatchedOnce();
    void noReplyGivesTheTimeout();
    void refuses_data();
    void refuses();
    void sendAllWalksTheSlotsInOrder();

private:
    FakeLine m_line;
    QStringList m_log;
    QStringList m_refusals;
};

void TestMessageSession::init()
{
    Globals::InitTables();
    for (int slot = 0; slot < Globals::SlotTable::kSlots; ++slot)
        Globals::MessageTable.setSlot(slot, SerialString{});
    Globals::MessageTable.setSlot(kPowerOn, makeMessage({{2, kControl}, {'P', kAscii}, {3, kControl}}));
    Globals::MessageTable.setSlot(kPowerOn + 10, makeMessage({{6, kControl}, {'P', kAscii}}));
    m_line.writes.clear();
    m_line.answer = nullptr;
    m_line.setOpen(true);
    m_log.clear();
    m_refusals.clear();
}

void TestMessageSession::replySplitOverEventsIsMatchedOnce()
{
    MessageSession session;
    session.setLine(&m_line);
    connect(&session, &MessageSession::logged, this, [this](const QString &line) { m_log << line; });
    QSignalSpy replied(&session, &MessageSession::replied);
    QVERIFY(!session.awaitsReply());
    QVERIFY(session.sendSlot(kPowerOn));
    QCOMPARE(m_line.writes, QByteArrayList{QByteArray("\x02P\x03")});
    QVERIFY(session.awaitsReply());
    QTest::qWait(5);
    session.received("xx\x06");
    session.received("P\x06P");
    QCOMPARE(replied.count(), 1);
    QCOMPARE(replied.at(0).at(0).toInt(), kPowerOn + 10);
    QVERIFY(replied.at(0).at(1).toLongLong() >= 50);
    QVERIFY(!session.awaitsReply());
    QCOMPARE(m_log.size(), 2);
    QVERIFY(m_log[0].endsWith(QStringLiteral("  Power on  STX \"P\" ETX")));
    QVERIFY2(m_log[1].contains(QStringLiteral("  Power on reply after ")), qPrintable(m_log[1]));
    QVERIFY(m_log[1].endsWith(QStringLiteral(" ms  ACK \"P\"")));
}

void TestMessageSession::noReplyGivesTheTimeout()
{
    MessageSession session;
    session.setLine(&m_line);
    session.setTimeoutMs(kShortTimeoutMs);
    connect(&session, &MessageSession::logged, this, [this](const QString &line) { m_log << line; });
    QVERIFY(session.sendSlot(kPowerOn));
    session.received("\x06");
    QTRY_COMPARE(m_log.size(), 2);
    QVERIFY(m_log[1].endsWith(QStringLiteral("  No Power on reply within 30 ms")));
    QVERIFY(!session.awaitsReply());
}

void TestMessageSession::refuses_data()
{
    QTest::addColumn<bool>("hasLine");
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("reason");
    QTest::newRow("port closed") << true << false << kPowerOn << QStringLiteral("The port is closed: nothing was sent");
    QTest::newRow("empty slot") << true << true << 5 << QStringLiteral("Blank is empty: nothing was sent");
    QTest::newRow("unnamed empty slot") << true << true << 23 << QStringLiteral("Slot 23 is empty: nothing was sent");
    QTest::newRow("no port") << false << true << kPowerOn
                             << QStringLiteral("No port here: messages go out from the main window's Messages");
}

void TestMessageSession::refuses()
{
    QFETCH(bool, hasLine);
    QFETCH(bool, open);
    QFETCH(int, slot);
    QFETCH(QString, reason);
    MessageSession session;
    session.setLine(hasLine ? &m_line : nullptr);
    m_line.setOpen(open);
    QSignalSpy refused(&session, &MessageSession::refused);
    QVERIFY(!session.sendSlot(slot));
    QCOMPARE(refused.count(), 1);
    QCOMPARE(refused.at(0).at(0).toString(), reason);
    QVERIFY(m_line.writes.isEmpty());
    QVERIFY(!session.awaitsReply());
}

// Slots 1, 3 and 4 hold commands; 1 is answered, 3 has no reply to wait for, 4's
// reply never comes. Each goes after the one before has its outcome.
void TestMessageSession::sendAllWalksTheSlotsInOrder()
{
    Globals::MessageTable.setSlot(3, makeMessage({{'3', kAscii}}));
    Globals::MessageTable.setSlot(4, makeMessage({{'4', kAscii}}));
    Globals::MessageTable.setSlot(14, makeMessage({{'!', kAscii}}));
    MessageSession session;
    session.setLine(&m_line);
    session.setTimeoutMs(kShortTimeoutMs);
    connect(&session, &MessageSession::logged, this, [this](const QString &line) { m_log << line; });
    QSignalSpy running(&session, &MessageSession::sendAllChanged);
    m_line.answer = [&](const QByteArray &write) {
        if (write.startsWith('\x02'))
            QTimer::singleShot(1, &session, [&] { session.received("\x06P"); });
    };
    session.startSendAll();
    QVERIFY(session.isSendingAll());
    QTRY_VERIFY(!session.isSendingAll());
    QCOMPARE(m_line.writes, (QByteArrayList{"\x02P\x03", "3", "4"}));
    QCOMPARE(running.count(), 2);
    QVERIFY2(m_log.last().contains(QStringLiteral("  1 of 2 replies matched, slowest Power on (")), qPrintable(m_log.last()));
    QVERIFY(m_log.last().endsWith(QStringLiteral(" ms); no Video reply within 30 ms")));
}

QTEST_MAIN(TestMessageSession)
#include "tst_messagesession.moc"
