#include "commport.h"

#include "globals.h"
#include "indicatorshape.h"
#include "logview.h"
#include "ptyline.h"
#include "receivepieces.h"
#include "version.h"
#include "windowcontrols.h"

#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <sys/file.h>
#include <termios.h>

namespace {

constexpr int kWait = 5000;

speed_t deviceSpeed(int fd)
{
    termios t{};
    ::tcgetattr(fd, &t);
    return cfgetospeed(&t);
}

} // namespace

class TestCommPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startUpState();
    void connectOpensWithTheChosenSettings();
    void settingChangesWhileConnectedReopen();
    void eachOptionReachesTheLine_data();
    void eachOptionReachesTheLine();
    void settingChangesWhileDisconnectedAreStored();
    void failedOpenSpringsBack_data();
    void failedOpenSpringsBack();
    void anotherPortWhileConnected();
    void lostDeviceDisconnects();
    void exitClosesThePort();

    void receivedBytesInEachNotation_data();
    void receivedBytesInEachNotation();
    void notationSwitchInMidStream();
    void clearEmptiesBothBoxesAndTheLog();
    void everyEventRefreshesTheBox();
    void parityErrorsRestartTheTimer();
    void framingErrorLightsOnlyFrame();

    void typedKeysGoOutAsSingleBytes();
    void typingWhileClosedSendsNothing();
    void composedCharactersAreSent();

private:
    QPushButton *connectButton() const { return control<QPushButton>(*m_window, "Connect"); }
    QString received() const { return control<LogView>(*m_window, "Text1")->toPlainText(); }
    void connectPort1()
    {
        option(*m_window, "Port", 0)->click();
        connectButton()->click();
        QVERIFY(m_window->serialControl().PortOpen());
    }

    std::unique_ptr<PtyLine> m_pty;
    std::unique_ptr<CommPort> m_window;
};

void TestCommPort::init()
{
    m_pty = std::make_unique<PtyLine>();
    QVERIFY(m_pty->isValid());
    m_window = std::make_unique<CommPort>(m_pty->directory());
}

void TestCommPort::cleanup()
{
    m_window.reset();
    m_pty.reset();
}

void TestCommPort::startUpState()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Lorvane %1,%2,%3")
                                          .arg(Version::kMajor).arg(Version::kMinor).arg(Version::kRevision));
    QVERIFY(option(*m_window, "Baudrate", 2)->isChecked());
    QCOMPARE(option(*m_window, "Baudrate", 2)->text(), QStringLiteral("9600"));
    QVERIFY(option(*m_window, "Parity", 2)->isChecked());
    QCOMPARE(option(*m_window, "Parity", 2)->text(), QStringLiteral("None"));
    QVERIFY(option(*m_window, "StopBits", 0)->isChecked());
    QVERIFY(option(*m_window, "Display", 0)->isChecked());
    QCOMPARE(option(*m_window, "Display", 0)->text(), QStringLiteral("ASCII"));
    for (int i = 0; i < 8; ++i)
        QVERIFY(!option(*m_window, "Port", i)->isChecked());
    QVERIFY(!connectButton()->isEnabled());
    QVERIFY(!connectButton()->isChecked());
    QVERIFY(!m_window->serialControl().PortOpen());
    QCOMPARE(control<IndicatorShape>(*m_window, "PE")->fillColor(), IndicatorShape::kQuiet);
    QCOMPARE(control<IndicatorShape>(*m_window, "FE")->fillColor(), IndicatorShape::kQuiet);
    QVERIFY(!control<QTimer>(*m_window, "Timer1")->isActive());
    QCOMPARE(Globals::ControlCodeNames[27], QStringLiteral("ESC"));
}

void TestCommPort::connectOpensWithTheChosenSettings()
{
    option(*m_window, "Port", 0)->click();
    QVERIFY(connectButton()->isEnabled());
    QVERIFY(!m_window->serialControl().PortOpen());

    connectButton()->click();
    const MSComm &comm = m_window->serialControl();
    QVERIFY(comm.PortOpen());
    QCOMPARE(comm.CommPort(), qint16(1));
    QCOMPARE(comm.Settings(), QStringLiteral("9600,n,8,1"));
    QCOMPARE(deviceSpeed(m_pty->slave()), speed_t(B9600));

    connectButton()->click();
    QVERIFY(!comm.PortOpen());
    QVERIFY(!connectButton()->isChecked());
}

void TestCommPort::settingChangesWhileConnectedReopen()
{
    connectPort1();
    option(*m_window, "Baudrate", 6)->click();
    QVERIFY(m_window->serialControl().PortOpen());
    QCOMPARE(m_window->serialControl().Settings(), QStringLiteral("115200,n,8,1"));
    QCOMPARE(deviceSpeed(m_pty->slave()), speed_t(B115200));

    option(*m_window, "StopBits", 1)->click();
    QVERIFY(m_window->serialControl().PortOpen());
    QCOMPARE(m_window->serialControl().Settings(), QStringLiteral("115200,n,8,2"));

    // A pseudo-terminal cannot take parity: the reopen fails and the button springs back.
    option(*m_window, "Parity", 0)->click();
    QVERIFY(!m_window->serialControl().PortOpen());
    QVERIFY(!connectButton()->isChecked());
    QVERIFY(connectButton()->toolTip().contains(QStringLiteral("115200,e,8,2")));
    QVERIFY(option(*m_window, "Parity", 0)->isChecked());
    QVERIFY(option(*m_window, "Port", 0)->isChecked());
}

void TestCommPort::eachOptionReachesTheLine_data()
{
    QTest::addColumn<QString>("array");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("speed"); // 0: a pseudo-terminal refuses the setting

    const std::array<speed_t, 7> speeds = {B2400, B4800, B9600, B19200, B38400, B57600, B115200};
    const QStringList rates = {QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"),
                               QStringLiteral("19200"), QStringLiteral("38400"), QStringLiteral("57600"),
                               QStringLiteral("115200")};
    for (int i = 0; i < 7; ++i) {
        QTest::addRow("Baudrate %d", i) << QStringLiteral("Baudrate") << i << rates[i] + QStringLiteral(",n,8,1")
                                        << int(speeds[i]);
    }
    QTest::newRow("Even") << QStringLiteral("Parity") << 0 << QStringLiteral("9600,e,8,1") << 0;
    QTest::newRow("Odd") << QStringLiteral("Parity") << 1 << QStringLiteral("9600,o,8,1") << 0;
    QTest::newRow("None") << QStringLiteral("Parity") << 2 << QStringLiteral("9600,n,8,1") << int(B9600);
    QTest::newRow("one stop bit") << QStringLiteral("StopBits") << 0 << QStringLiteral("9600,n,8,1") << int(B9600);
    QTest::newRow("two stop bits") << QStringLiteral("StopBits") << 1 << QStringLiteral("9600,n,8,2") << int(B9600);
}

// Chosen while disconnected, then connected: the port opens with exactly that setting.
void TestCommPort::eachOptionReachesTheLine()
{
    QFETCH(QString, array);
    QFETCH(int, index);
    QFETCH(QString, settings);
    QFETCH(int, speed);

    option(*m_window, qPrintable(array), index)->click();
    option(*m_window, "Port", 0)->click();
    QSignalSpy toggles(connectButton(), &QPushButton::toggled);
    connectButton()->click();
    if (speed == 0) {
        // Pressed, then released by the failed open: two toggles and no third.
        QCOMPARE(toggles.count(), 2);
        QVERIFY(!m_window->serialControl().PortOpen());
        QVERIFY2(connectButton()->toolTip().contains(settings), qPrintable(connectButton()->toolTip()));
        return;
    }
    QCOMPARE(toggles.count(), 1);
    QVERIFY(m_window->serialControl().PortOpen());
    QCOMPARE(m_window->serialControl().Settings(), settings);
    QCOMPARE(deviceSpeed(m_pty->slave()), speed_t(speed));
    termios t{};
    ::tcgetattr(m_pty->slave(), &t);
    QCOMPARE(bool(t.c_cflag & CSTOPB), settings.endsWith(u'2'));
}

void TestCommPort::settingChangesWhileDisconnectedAreStored()
{
    option(*m_window, "Port", 0)->click();
    option(*m_window, "Baudrate", 3)->click();
    QVERIFY(!m_window->serialControl().PortOpen());
    connectButton()->click();
    QVERIFY(m_window->serialControl().PortOpen());
    QCOMPARE(m_window->serialControl().Settings(), QStringLiteral("19200,n,8,1"));
    QCOMPARE(deviceSpeed(m_pty->slave()), speed_t(B19200));
}

void TestCommPort::failedOpenSpringsBack_data()
{
    QTest::addColumn<int>("portIndex");
    QTest::addColumn<bool>("holdDevice");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no device for the port") << 2 << false << QStringLiteral("no serial device present");
    QTest::newRow("device held by another program") << 0 << true << QStringLiteral("busy");
}

void TestCommPort::failedOpenSpringsBack()
{
    QFETCH(int, portIndex);
    QFETCH(bool, holdDevice);
    QFETCH(QString, reason);

    const int holder = holdDevice ? ::open(m_pty->slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY) : -1;
    if (holdDevice)
        QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);

    option(*m_window, "Port", portIndex)->click();
    connectButton()->click();
    QVERIFY(!connectButton()->isChecked());
    QVERIFY(!m_window->serialControl().PortOpen());
    QVERIFY2(connectButton()->toolTip().contains(reason), qPrintable(connectButton()->toolTip()));
    QVERIFY(connectButton()->toolTip().contains(QStringLiteral("Port %1").arg(portIndex + 1)));
    QVERIFY(option(*m_window, "Port", portIndex)->isChecked());
    if (holder >= 0)
        ::close(holder);
}

void TestCommPort::anotherPortWhileConnected()
{
    PtyLine second;
    QVERIFY(QFile::link(second.slavePath(), m_pty->devDir() + QStringLiteral("/ttyUSB1")));
    connectPort1();
    option(*m_window, "Port", 1)->click();
    QVERIFY(m_window->serialControl().PortOpen());
    QCOMPARE(m_window->serialControl().CommPort(), qint16(2));

    // Only the new port is open: the first can be locked again.
    const int fd = ::open(m_pty->slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);
    QVERIFY(second.send("x"));
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("x"), kWait);
}

void TestCommPort::lostDeviceDisconnects()
{
    connectPort1();
    m_pty->closeMaster();
    QTRY_VERIFY_WITH_TIMEOUT(!connectButton()->isChecked(), kWait);
    QVERIFY(!m_window->serialControl().PortOpen());
    QVERIFY2(connectButton()->toolTip().contains(QStringLiteral(": the line hung up")),
             qPrintable(connectButton()->toolTip()));
}

void TestCommPort::exitClosesThePort()
{
    connectPort1();
    control<QPushButton>(*m_window, "command2")->click();
    QVERIFY(!m_window->serialControl().PortOpen());
}

void TestCommPort::receivedBytesInEachNotation_data()
{
    QTest::addColumn<int>("display");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QByteArray hi("\x48\x69\x0D\x0A", 4);
    const QByteArray zeroAndFF("\x00\xFF", 2);
    QTest::newRow("ASCII Hi CR LF") << 0 << hi << QStringLiteral("Hi\r\n");
    QTest::newRow("HEX Hi CR LF") << 1 << hi << QStringLiteral("48,69,0D,0A,");
    QTest::newRow("DEC Hi CR LF") << 2 << hi << QStringLiteral("72,105,13,10,");
    QTest::newRow("ASCII 0 and 255") << 0 << zeroAndFF << QStringLiteral("\u00FF");
    QTest::newRow("HEX 0 and 255") << 1 << zeroAndFF << QStringLiteral("00,FF,");
    QTest::newRow("DEC 0 and 255") << 2 << zeroAndFF << QStringLiteral(",255,");
    QTest::newRow("ASCII euro and unassigned 0x81")
        << 0 << QByteArray("\x80\x81", 2) << QStringLiteral("\u20AC\u0081");
}

void TestCommPort::receivedBytesInEachNotation()
{
    QFETCH(int, display);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    option(*m_window, "Display", display)->click();
    connectPort1();
    QVERIFY(m_pty->send(bytes));
    QTRY_COMPARE_WITH_TIMEOUT(received(), text, kWait);
    QCOMPARE(textOf(m_window->receivedText()), text);
}

void TestCommPort::notationSwitchInMidStream()
{
    connectPort1();
    QVERIFY(m_pty->send("Hi"));
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("Hi"), kWait);

    option(*m_window, "Display", 1)->click();
    QCOMPARE(received(), QString());
    QCOMPARE(textOf(m_window->receivedText()), QStringLiteral("Hi"));

    QVERIFY(m_pty->send("A"));
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("Hi41,"), kWait);
    option(*m_window, "Display", 2)->click();
    QVERIFY(m_pty->send("A"));
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("Hi41,65,"), kWait);
}

void TestCommPort::clearEmptiesBothBoxesAndTheLog()
{
    connectPort1();
    auto *text2 = control<QPlainTextEdit>(*m_window, "Text2");
    QTest::keyClicks(text2, QStringLiteral("ab"));
    QVERIFY(m_pty->send("xyz"));
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("xyz"), kWait);

    control<QPushButton>(*m_window, "Clear")->click();
    QCOMPARE(received(), QString());
    QCOMPARE(text2->toPlainText(), QString());
    QCOMPARE(m_window->receivedText().byteCount(), 0);

    QVERIFY(m_pty->send("n"));
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("n"), kWait);
}

// A Display click blanks the box; any serial event, even one without data, shows the
// kept text again.
void TestCommPort::everyEventRefreshesTheBox()
{
    connectPort1();
    QVERIFY(m_pty->send("Hi"));
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("Hi"), kWait);
    option(*m_window, "Display", 2)->click();
    QCOMPARE(received(), QString());
    m_window->serialControl().receiveRaw(QByteArray("\xFF\x00\x00", 3));
    QCOMPARE(received(), QStringLiteral("Hi"));
}

void TestCommPort::parityErrorsRestartTheTimer()
{
    connectPort1();
    auto *pe = control<IndicatorShape>(*m_window, "PE");
    auto *timer = control<QTimer>(*m_window, "Timer1");
    const LineCounters parity{0, 1, 0};

    m_window->serialControl().receiveRaw(QByteArray("\xFF\x00" "A", 3), parity);
    QCOMPARE(pe->fillColor(), IndicatorShape::kError);
    QCOMPARE(control<IndicatorShape>(*m_window, "FE")->fillColor(), IndicatorShape::kQuiet);
    QVERIFY(timer->isActive());
    QCOMPARE(received(), QStringLiteral("A"));

    // No event runs while the test sleeps, so the timer cannot fire however long the
    // sleep turns out: the second error comes at least 600 ms after the first.
    QThread::msleep(600);
    const int before = timer->remainingTime();
    QVERIFY(before <= 400);
    m_window->serialControl().receiveRaw(QByteArray("\xFF\x00" "B", 3), parity);
    QVERIFY(timer->remainingTime() > 900);
    // 1000 ms after the first error, the indicator is still red.
    QThread::msleep(500);
    QCoreApplication::processEvents();
    QCOMPARE(pe->fillColor(), IndicatorShape::kError);
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), kWait);
    QCOMPARE(pe->fillColor(), IndicatorShape::kQuiet);
    QCOMPARE(received(), QStringLiteral("AB"));
}

void TestCommPort::framingErrorLightsOnlyFrame()
{
    connectPort1();
    auto *pe = control<IndicatorShape>(*m_window, "PE");
    auto *fe = control<IndicatorShape>(*m_window, "FE");
    // No parity on the line: a marked byte can only be a framing error.
    m_window->serialControl().receiveRaw(QByteArray("\xFF\x00" "C", 3));
    QCOMPARE(fe->fillColor(), IndicatorShape::kError);
    QCOMPARE(pe->fillColor(), IndicatorShape::kQuiet);

    m_window->serialControl().receiveRaw(QByteArray("\xFF\x00" "D", 3), LineCounters{0, 1, 0});
    QCOMPARE(pe->fillColor(), IndicatorShape::kError);
    QTRY_COMPARE_WITH_TIMEOUT(fe->fillColor(), IndicatorShape::kQuiet, kWait);
    QCOMPARE(pe->fillColor(), IndicatorShape::kQuiet);
}

void TestCommPort::typedKeysGoOutAsSingleBytes()
{
    connectPort1();
    m_pty->startReading();
    auto *text2 = control<QPlainTextEdit>(*m_window, "Text2");
    QTest::keyClicks(text2, QStringLiteral("Ab"));
    QTest::keyClick(text2, Qt::Key_Return);
    QTest::keyClick(text2, Qt::Key_Backspace);
    QTest::keyClick(text2, Qt::Key_Escape);
    QTest::keyClick(text2, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(text2, Qt::Key_Left);
    QTest::keyClick(text2, Qt::Key_Delete);
    QTest::keyClick(text2, Qt::Key_F1);

    QTRY_COMPARE_WITH_TIMEOUT(m_pty->received(), QByteArray("Ab\r\b\x1b\x03"), kWait);
    // The box still edited as usual: Backspace took the line break back, and Delete
    // after Left took the "b", both without sending anything for Delete.
    QCOMPARE(text2->toPlainText(), QStringLiteral("A"));
    QCOMPARE(received(), QString());
}

void TestCommPort::typingWhileClosedSendsNothing()
{
    auto *text2 = control<QPlainTextEdit>(*m_window, "Text2");
    QTest::keyClicks(text2, QStringLiteral("abc"));
    QCOMPARE(text2->toPlainText(), QStringLiteral("abc"));

    m_pty->startReading();
    connectPort1();
    QTest::keyClick(text2, Qt::Key_D);
    QTRY_COMPARE_WITH_TIMEOUT(m_pty->received(), QByteArray("d"), kWait);
    QCOMPARE(text2->toPlainText(), QStringLiteral("abcd"));
}

void TestCommPort::composedCharactersAreSent()
{
    m_pty->startReading();
    connectPort1();
    auto *text2 = control<QPlainTextEdit>(*m_window, "Text2");
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("\u00E9\u03B1\u20AC"));
    QCoreApplication::sendEvent(text2, &composed);
    // The Greek letter has no byte in the code page: it stays in the box only.
    QTRY_COMPARE_WITH_TIMEOUT(m_pty->received(), QByteArray("\xE9\x80"), kWait);
    QCOMPARE(text2->toPlainText(), QStringLiteral("\u00E9\u03B1\u20AC"));
}

QTEST_MAIN(TestCommPort)
#include "tst_commport.moc"
