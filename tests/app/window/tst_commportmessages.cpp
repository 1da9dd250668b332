#include "commport.h"

#include "filedialogs.h"
#include "globals.h"
#include "messages.h"
#include "messagesession.h"
#include "messageswindow.h"
#include "ptyline.h"
#include "windowcontrols.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kWait = 5000;
constexpr int kPowerOn = 1;

} // namespace

class TestCommPortMessages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void transmitMenuLeadsToTheMessagesWindow();
    void functionKeySendsItsSlotAndTimesTheReply();
    void sendFileItemSendsTheFile();

private:
    QPlainTextEdit *text2() const { return control<QPlainTextEdit>(*m_window, "Text2"); }
    QMenu *openTransmitMenu();
    void connectPort1()
    {
        option(*m_window, "Port", 0)->click();
        control<QPushButton>(*m_window, "Connect")->click();
        QVERIFY(m_window->serialControl().PortOpen());
    }

    std::unique_ptr<PtyLine> m_pty;
    std::unique_ptr<CommPort> m_window;
};

void TestCommPortMessages::init()
{
    m_pty = std::make_unique<PtyLine>();
    QVERIFY(m_pty->isValid());
    m_window = std::make_unique<CommPort>(m_pty->directory());
    for (int slot = 0; slot < Globals::SlotTable::kSlots; ++slot)
        Globals::MessageTable.setSlot(slot, SerialString{});
}

void TestCommPortMessages::cleanup()
{
    m_window.reset();
    m_pty.reset();
}

QMenu *TestCommPortMessages::openTransmitMenu()
{
    Q_EMIT text2()->customContextMenuRequested(QPoint(5, 5));
    return m_window->findChild<QMenu *>(QStringLiteral("TransmitMenu"));
}

// The box's own edit items stay; ours follow them, and Messages opens a tool window.
void TestCommPortMessages::transmitMenuLeadsToTheMessagesWindow()
{
    m_window->show();
    QMenu *menu = openTransmitMenu();
    QStringList names;
    for (const QAction *action : menu->actions())
        names << action->objectName();
    QVERIFY(names.contains(QStringLiteral("edit-copy")));
    QVERIFY(names.contains(QStringLiteral("select-all")));
    QCOMPARE(names.mid(names.size() - 2), (QStringList{QStringLiteral("menuMessages"), QStringLiteral("menuSendFile")}));
    QVERIFY(!m_window->findChild<MessagesWindow *>());
    menu->findChild<QAction *>(QStringLiteral("menuMessages"))->trigger();
    QTRY_VERIFY(m_window->findChild<MessagesWindow *>());
    auto *messages = m_window->findChild<MessagesWindow *>();
    QVERIFY(messages->isVisible());
    QVERIFY(messages->windowFlags().testFlag(Qt::Tool));
    QVERIFY(!messages->isModal());
}

// F2 sends slot 1 and puts no character into the box; the reply comes in two writes
// of the far end after other bytes and is matched once.
void TestCommPortMessages::functionKeySendsItsSlotAndTimesTheReply()
{
    Globals::MessageTable.setSlot(kPowerOn, makeMessage({{2, kControl}, {'P', kAscii}, {3, kControl}}));
    Globals::MessageTable.setSlot(kPowerOn + 10, makeMessage({{6, kControl}, {'O', kAscii}, {'K', kAscii}}));
    connectPort1();
    m_pty->startReading();
    QTest::keyClick(text2(), Qt::Key_F2);
    QTRY_COMPARE_WITH_TIMEOUT(m_pty->received(), QByteArray("\x02P\x03"), kWait);
    QCOMPARE(text2()->toPlainText(), QString());
    MessageSession &session = m_window->findChild<MessagesWindow *>()->session();
    QSignalSpy replied(&session, &MessageSession::replied);
    QVERIFY(m_pty->send("noise\x06O"));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->receivedText().byteCount() == 7, kWait);
    QVERIFY(m_pty->send("K\x06OK"));
    QTRY_COMPARE_WITH_TIMEOUT(replied.count(), 1, kWait);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->receivedText().byteCount() == 11, kWait);
    QCOMPARE(replied.count(), 1);
    QCOMPARE(replied.at(0).at(0).toInt(), kPowerOn + 10);
}

void TestCommPortMessages::sendFileItemSendsTheFile()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("script.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("AT\r\nATI\r\n");
    file.close();
    connectPort1();
    m_pty->startReading();
    answerFileDialog(file.fileName());
    // Then the delays: the defaults are taken.
    QTimer::singleShot(0, m_window.get(), [] {
        auto *poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [poll] {
            auto *delays = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!delays || delays->objectName() != u"SendFileDialog")
                return;
            QCOMPARE(delays->findChild<QSpinBox *>(QStringLiteral("LineDelay"))->value(), 0);
            delays->accept();
            poll->deleteLater();
        });
        poll->start(5);
    });
    openTransmitMenu()->findChild<QAction *>(QStringLiteral("menuSendFile"))->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(m_pty->received(), QByteArray("AT\r\nATI\r\n"), kWait);
}

QTEST_MAIN(TestCommPortMessages)
#include "tst_commportmessages.moc"
