#include "mscomm.h"

#include "commerror.h"
#include "portdirectory.h"

#include <QtTest>

// The control over two Wine COM ports joined by a null modem of pseudo-terminals,
// named by LORVANE_WINE_PORTS ("5 6"); scripts/windows/test.sh links them. Without
// them the test skips: it never opens a port it was not given.
class TestWinComPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void portsNameTheirDevice();
    void bytesBothWays_data();
    void bytesBothWays();

private:
    qint16 m_near = 0;
    qint16 m_far = 0;
};

void TestWinComPort::initTestCase()
{
    const QStringList ports = qEnvironmentVariable("LORVANE_WINE_PORTS").split(u' ', Qt::SkipEmptyParts);
    if (ports.size() != 2)
        QSKIP("LORVANE_WINE_PORTS names no pair of linked COM ports");
    m_near = qint16(ports[0].toInt());
    m_far = qint16(ports[1].toInt());
    QVERIFY(m_near > 4 && m_far > 4);
}

void TestWinComPort::portsNameTheirDevice()
{
    PortDirectory ports;
    const PortDirectory::Port port = ports.port(m_near);
    QVERIFY(port.present);
    QCOMPARE(port.path, QStringLiteral("\\\\.\\COM%1").arg(m_near));
    QCOMPARE(ports.devicePath(m_near), port.path);
    QVERIFY(!ports.port(PortDirectory::kPorts + 1).present);
}

void TestWinComPort::bytesBothWays_data()
{
    QTest::addColumn<QString>("settings");
    QTest::newRow("9600,n,8,1") << QStringLiteral("9600,n,8,1");
    QTest::newRow("115200,e,8,2") << QStringLiteral("115200,e,8,2");
}

// Every byte value, 00 and FF included, each way.
void TestWinComPort::bytesBothWays()
{
    QFETCH(QString, settings);

    QByteArray all;
    for (int v = 0; v < 256; ++v)
        all.append(char(v));
    MSComm near;
    MSComm far;
    QByteArray atNear;
    QByteArray atFar;
    for (auto [control, port, got] : {std::tuple{&near, m_near, &atNear}, std::tuple{&far, m_far, &atFar}}) {
        connect(control, &MSComm::OnComm, control, [control, got] {
            while (control->InBufferCount() > 0)
                got->append(char(control->Input()[0]));
        });
        control->setCommPort(port);
        control->setSettings(settings);
        control->setPortOpen(true);
        QVERIFY(control->PortOpen());
    }
    near.Output(all);
    QTRY_COMPARE_WITH_TIMEOUT(atFar, all, 10000);
    far.Output(all);
    QTRY_COMPARE_WITH_TIMEOUT(atNear, all, 10000);
}

QTEST_GUILESS_MAIN(TestWinComPort)
#include "tst_wincomport.moc"
