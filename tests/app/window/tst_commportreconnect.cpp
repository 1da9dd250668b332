#include "commport.h"

#include "logview.h"
#include "ptyline.h"
#include "windowcontrols.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <sys/file.h>
#include <termios.h>

// Reopening a lost port through the real window: a null modem linked as ttyACM0
// hangs up and goes, and a new one comes back under the same link.
class TestCommPortReconnect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void lostLineComesBack_data();
    void lostLineComesBack();
    void deviceThatCannotBeOpenedIsNotRetried();

private:
    static constexpr int kWait = 5000;
    // Long enough for a spinning retry to show many times over.
    static constexpr int kIdleMs = 300;

    QPushButton *connectButton() const { return control<QPushButton>(*m_window, "Connect"); }
    QLabel *waitLabel() const { return control<QLabel>(*m_window, "ReconnectLabel"); }
    QString received() const { return control<LogView>(*m_window, "Text1")->toPlainText(); }
    // Connects port 1 at 115200 baud and two stop bits, then the far end hangs up and
    // the link goes, as socat does when it is killed.
    void connectAndLoseTheLine(bool reconnect);

    std::unique_ptr<PtyLine> m_first;
    std::unique_ptr<CommPort> m_window;
};

void TestCommPortReconnect::init()
{
    m_first = std::make_unique<PtyLine>(QStringLiteral("ttyACM0"));
    QVERIFY(m_first->isValid());
    m_window = std::make_unique<CommPort>(m_first->directory());
}

void TestCommPortReconnect::cleanup()
{
    m_window.reset();
    m_first.reset();
}

void TestCommPortReconnect::connectAndLoseTheLine(bool reconnect)
{
    m_window->findChild<QAction *>(QStringLiteral("menuReconnect"))->setChecked(reconnect);
    option(*m_window, "Port", 0)->click();
    option(*m_window, "Baudrate", 6)->click();
    option(*m_window, "StopBits", 1)->click();
    connectButton()->click();
    QVERIFY(m_window->serialControl().PortOpen());
    QCOMPARE(connectButton()->toolTip().contains(QStringLiteral("Reconnect Automatically is on")), reconnect);
    QVERIFY(m_first->send("before,"));
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("before,"), kWait);

    QVERIFY(QFile::remove(m_first->linkPath()));
    m_first->closeMaster();
    QTRY_VERIFY_WITH_TIMEOUT(!connectButton()->isChecked(), kWait);
    QVERIFY(connectButton()->toolTip().contains(QStringLiteral("Port 1 was closed")));
}

void TestCommPortReconnect::lostLineComesBack_data()
{
    QTest::addColumn<bool>("reconnect");
    QTest::newRow("reconnect on") << true;
    QTest::newRow("reconnect off") << false;
}

void TestCommPortReconnect::lostLineComesBack()
{
    QFETCH(bool, reconnect);
    connectAndLoseTheLine(reconnect);
    QCOMPARE(!waitLabel()->isHidden(), reconnect);
    if (reconnect)
        QCOMPARE(waitLabel()->toolTip(), QStringLiteral("waiting for %1…").arg(m_first->linkPath()));

    PtyLine second(QStringLiteral("ttyACM0"), m_first.get());
    QVERIFY(second.isValid());
    if (!reconnect) {
        QTest::qWait(kIdleMs);
        QVERIFY(!connectButton()->isChecked());
        QVERIFY(!m_window->serialControl().PortOpen());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(m_window->serialControl().PortOpen(), kWait);
    QVERIFY(connectButton()->isChecked());
    QVERIFY(waitLabel()->isHidden());
    const termios line = second.slaveTermios();
    QCOMPARE(cfgetospeed(&line), speed_t(B115200));
    QVERIFY(line.c_cflag & CSTOPB);
    QVERIFY(second.send("after"));
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("before,after"), kWait);
}

// GIVEN a device that comes back locked by another program WHEN it stays so THEN it
// is tried once, not again while the window idles; its next return opens it.
void TestCommPortReconnect::deviceThatCannotBeOpenedIsNotRetried()
{
    connectAndLoseTheLine(true);
    QSignalSpy toggles(connectButton(), &QPushButton::toggled);
    const auto attempts = [&] {
        return std::count_if(toggles.cbegin(), toggles.cend(), [](const QList<QVariant> &a) { return a[0].toBool(); });
    };

    PtyLine locked(QStringLiteral("ttyACM0"), m_first.get());
    QVERIFY(locked.isValid());
    QCOMPARE(::flock(locked.slave(), LOCK_EX | LOCK_NB), 0);
    QTRY_COMPARE_WITH_TIMEOUT(attempts(), 1, kWait);
    QTRY_VERIFY_WITH_TIMEOUT(!connectButton()->isChecked(), kWait);
    QVERIFY(connectButton()->toolTip().contains(QStringLiteral("Port 1 could not be opened")));
    QVERIFY(!waitLabel()->isHidden());
    QTest::qWait(kIdleMs);
    QCOMPARE(attempts(), 1);

    QVERIFY(QFile::remove(locked.linkPath()));
    QCOMPARE(::flock(locked.slave(), LOCK_UN), 0);
    QVERIFY(QFile::link(locked.slavePath(), locked.linkPath()));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->serialControl().PortOpen(), kWait);
    QCOMPARE(attempts(), 2);
}

QTEST_MAIN(TestCommPortReconnect)
#include "tst_commportreconnect.moc"
