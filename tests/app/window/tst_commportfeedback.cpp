#include "commport.h"

#include "indicatorshape.h"
#include "ptyline.h"
#include "windowcontrols.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>
#include <QtTest>

// What the operator learns without hovering, and how far the keyboard reaches.
class TestCommPortFeedback : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void failureReasonShowsBesideConnect_data();
    void failureReasonShowsBesideConnect();
    void focusAfterConnect_data();
    void focusAfterConnect();
    void transmitBoxKeys_data();
    void transmitBoxKeys();
    void errorLightsSayTheirState_data();
    void errorLightsSayTheirState();
    void accessibleNames_data();
    void accessibleNames();

private:
    static constexpr int kWait = 5000;

    QPushButton *connectButton() const { return control<QPushButton>(*m_window, "Connect"); }
    QPlainTextEdit *text2() const { return control<QPlainTextEdit>(*m_window, "Text2"); }
    // Port 3 has no device, so pressing Connect on it fails.
    void pressConnectOn(int portIndex)
    {
        option(*m_window, "Port", portIndex)->click();
        connectButton()->setFocus();
        QTest::keyClick(connectButton(), Qt::Key_Space);
    }

    std::unique_ptr<PtyLine> m_pty;
    std::unique_ptr<CommPort> m_window;
};

void TestCommPortFeedback::init()
{
    m_pty = std::make_unique<PtyLine>();
    QVERIFY(m_pty->isValid());
    m_window = std::make_unique<CommPort>(m_pty->directory());
}

void TestCommPortFeedback::cleanup()
{
    QToolTip::hideText();
    m_window.reset();
    m_pty.reset();
}

void TestCommPortFeedback::failureReasonShowsBesideConnect_data()
{
    QTest::addColumn<bool>("loseLine"); // else the open is refused
    QTest::addColumn<bool>("minimised");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("focus"); // where the keyboard was, and stays

    const QString refused = QStringLiteral("Port 3 could not be opened");
    const QString lost = QStringLiteral("Port 1 was closed");
    const QString connect = QStringLiteral("Connect");
    const QString text2 = QStringLiteral("Text2");
    QTest::newRow("refused open") << false << false << refused << connect;
    QTest::newRow("lost line") << true << false << lost << text2;
    QTest::newRow("refused open while minimised") << false << true << refused << connect;
    QTest::newRow("lost line while minimised") << true << true << lost << text2;
}

void TestCommPortFeedback::failureReasonShowsBesideConnect()
{
    QFETCH(bool, loseLine);
    QFETCH(bool, minimised);
    QFETCH(QString, reason);
    QFETCH(QString, focus);

    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    if (loseLine)
        pressConnectOn(0);
    if (minimised) {
        m_window->showMinimized();
        QTRY_VERIFY(m_window->isMinimized());
    }
    if (loseLine)
        m_pty->closeMaster();
    else
        pressConnectOn(2);

    QTRY_VERIFY_WITH_TIMEOUT(!connectButton()->isChecked(), kWait);
    QVERIFY2(connectButton()->toolTip().startsWith(reason), qPrintable(connectButton()->toolTip()));
    QCOMPARE(QToolTip::isVisible(), !minimised);
    if (!minimised)
        QCOMPARE(QToolTip::text(), connectButton()->toolTip());
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
}

void TestCommPortFeedback::focusAfterConnect_data()
{
    QTest::addColumn<int>("portIndex");
    QTest::addColumn<bool>("opens");
    QTest::newRow("port opens") << 0 << true;
    QTest::newRow("port refused") << 2 << false;
}

void TestCommPortFeedback::focusAfterConnect()
{
    QFETCH(int, portIndex);
    QFETCH(bool, opens);

    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    pressConnectOn(portIndex);
    QCOMPARE(m_window->serialControl().PortOpen(), opens);
    QCOMPARE(QApplication::focusWidget(), opens ? static_cast<QWidget *>(text2()) : connectButton());
}

void TestCommPortFeedback::transmitBoxKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<bool>("keepsFocus");
    QTest::addColumn<QString>("boxText");

    QTest::newRow("Tab") << int(Qt::Key_Tab) << int(Qt::NoModifier) << QByteArray() << false << QString();
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << QByteArray() << false << QString();
    QTest::newRow("Ctrl+I") << int(Qt::Key_I) << int(Qt::ControlModifier) << QByteArray("\t") << true << QString();
    QTest::newRow("Ctrl+F, the receive box's find") << int(Qt::Key_F) << int(Qt::ControlModifier) << QByteArray("\x06") << true
                                                     << QString();
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << int(Qt::ControlModifier) << QByteArray("\x13") << true << QString();
    QTest::newRow("Alt+A") << int(Qt::Key_A) << int(Qt::AltModifier) << QByteArray() << true << QString();
    QTest::newRow("plain A") << int(Qt::Key_A) << int(Qt::NoModifier) << QByteArray("a") << true
                             << QStringLiteral("a");
}

void TestCommPortFeedback::transmitBoxKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QByteArray, sent);
    QFETCH(bool, keepsFocus);
    QFETCH(QString, boxText);

    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    pressConnectOn(0);
    QCOMPARE(QApplication::focusWidget(), text2());
    m_pty->startReading();

    QTest::keyClick(text2(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(QApplication::focusWidget() == text2(), keepsFocus);
    QCOMPARE(text2()->toPlainText(), boxText);
    // A byte sent after the key shows that whatever the key sent has arrived.
    m_window->serialControl().Output("|");
    QTRY_COMPARE_WITH_TIMEOUT(m_pty->received(), sent + '|', kWait);
}

void TestCommPortFeedback::errorLightsSayTheirState_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<bool>("parityCount");
    QTest::addColumn<QString>("parityWords");
    QTest::addColumn<QString>("frameWords");

    const QString parityQuiet = QStringLiteral("Parity: no error in the last second");
    const QString frameQuiet = QStringLiteral("Frame: no error in the last second");
    QTest::newRow("quiet line") << QByteArray("A") << false << parityQuiet << frameQuiet;
    QTest::newRow("parity error") << QByteArray("\xFF\x00" "A", 3) << true << QStringLiteral("Parity error")
                                  << frameQuiet;
    QTest::newRow("framing error") << QByteArray("\xFF\x00" "A", 3) << false << parityQuiet
                                   << QStringLiteral("Framing error");
}

void TestCommPortFeedback::errorLightsSayTheirState()
{
    QFETCH(QByteArray, raw);
    QFETCH(bool, parityCount);
    QFETCH(QString, parityWords);
    QFETCH(QString, frameWords);

    pressConnectOn(0);
    m_window->serialControl().receiveRaw(raw, parityCount ? std::optional(LineCounters{0, 1, 0}) : std::nullopt);
    for (const auto &[name, words] : {std::pair{"PE", parityWords}, std::pair{"FE", frameWords}}) {
        const auto *light = control<IndicatorShape>(*m_window, name);
        QCOMPARE(light->toolTip(), words);
        QCOMPARE(light->accessibleDescription(), words);
    }
}

void TestCommPortFeedback::accessibleNames_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::newRow("port option") << QStringLiteral("Port[0]") << QStringLiteral("Port 1");
    QTest::newRow("last port option") << QStringLiteral("Port[7]") << QStringLiteral("Port 8");
    QTest::newRow("speed option") << QStringLiteral("Baudrate[6]") << QStringLiteral("Baudrate 115200");
    QTest::newRow("stop bits option") << QStringLiteral("StopBits[1]") << QStringLiteral("Stop Bits 2");
    QTest::newRow("notation option") << QStringLiteral("Display[1]") << QStringLiteral("Display HEX");
    QTest::newRow("receive box") << QStringLiteral("Text1") << QStringLiteral("Receive");
    QTest::newRow("transmit box") << QStringLiteral("Text2") << QStringLiteral("Transmit");
    QTest::newRow("parity light") << QStringLiteral("PE") << QStringLiteral("Parity");
    QTest::newRow("Exit") << QStringLiteral("command2") << QStringLiteral("Exit");
}

void TestCommPortFeedback::accessibleNames()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    QCOMPARE(m_window->findChild<QWidget *>(control)->accessibleName(), name);
}

QTEST_MAIN(TestCommPortFeedback)
#include "tst_commportfeedback.moc"
