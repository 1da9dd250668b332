#include "commport.h"

#include "fakeusb.h"
#include "ptyline.h"
#include "windowcontrols.h"

#include <QHelpEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>
#include <QtTest>

#include <termios.h>

// Port numbers through the real window: two null modems linked as ttyUSB0 and
// ttyUSB1, and a USB adapter's ttyUSB2 that is only looked at, never opened.
class TestPortNumbering : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void portKeepsItsDeviceWhenAnotherGoes();
};

namespace {

QString toolTipOf(QWidget *option)
{
    QHelpEvent event(QEvent::ToolTip, QPoint(1, 1), option->mapToGlobal(QPoint(1, 1)));
    QCoreApplication::sendEvent(option, &event);
    return QToolTip::text();
}

} // namespace

void TestPortNumbering::portKeepsItsDeviceWhenAnotherGoes()
{
    PtyLine first;
    PtyLine second(QStringLiteral("ttyUSB1"), &first);
    QVERIFY(first.isValid() && second.isValid());
    const QString adapter = first.devDir() + QStringLiteral("/ttyUSB2");
    QVERIFY(QFile(adapter).open(QIODevice::WriteOnly));
    QVERIFY(plugFakeUsb(first.sysDir(), QStringLiteral("ttyUSB2"),
                        {QStringLiteral("0403"), QStringLiteral("6001"), QStringLiteral("A50285BI"),
                         QStringLiteral("FTDI"), QStringLiteral("FT232R USB UART"), 0},
                        QStringLiteral("1-2")));
    CommPort window(first.directory());
    auto *connectButton = control<QPushButton>(window, "Connect");
    const MSComm &comm = window.serialControl();

    option(window, "Port", 1)->click();
    connectButton->click();
    QCOMPARE(comm.devicePath(), second.linkPath());

    // Port 1's null modem goes away; a settings click reopens port 2 on its own line.
    QVERIFY(QFile::remove(first.linkPath()));
    option(window, "Baudrate", 6)->click();
    QVERIFY(comm.PortOpen());
    QCOMPARE(comm.devicePath(), second.linkPath());
    const termios line = second.slaveTermios();
    QCOMPARE(cfgetospeed(&line), speed_t(B115200));

    QCOMPARE(toolTipOf(option(window, "Port", 0)), QStringLiteral("Port 1: %1 (unplugged)").arg(first.linkPath()));
    QCOMPARE(toolTipOf(option(window, "Port", 1)), QStringLiteral("Port 2: %1").arg(second.linkPath()));
    QCOMPARE(toolTipOf(option(window, "Port", 2)),
             QStringLiteral("Port 3: %1, FT232R USB UART (FTDI), serial A50285BI").arg(adapter));
    QCOMPARE(toolTipOf(option(window, "Port", 3)), QStringLiteral("Port 4: no serial device present"));

    // Port 1 springs back rather than falling through to another line.
    option(window, "Port", 0)->click();
    QVERIFY(!comm.PortOpen());
    QVERIFY(!connectButton->isChecked());
    QVERIFY2(connectButton->toolTip().contains(QStringLiteral("Port 1 could not be opened: no serial device present")),
             qPrintable(connectButton->toolTip()));
}

QTEST_MAIN(TestPortNumbering)
#include "tst_portnumbering.moc"
