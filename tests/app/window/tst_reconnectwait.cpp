#include "reconnectwait.h"

#include "fakeusb.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The wait for port 1's device, a USB board, over a dev folder of plain files and a
// sysfs folder that makes them USB adapters. Nothing is opened: the test counts when
// the wait would open. The folder's events come in order, so a last appearance that
// is told closes the count of what came before it.
class TestReconnectWait : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void anotherDeviceUnderTheOldNameIsPassedOver();
    void refusedOpenIsRetriedOnlyForPermission_data();
    void refusedOpenIsRetriedOnlyForPermission();
    void nextWaitHearsNoOldNews();

private:
    static constexpr int kWait = 5000;
    static constexpr int kHeardMs = 200;
    static inline const FakeUsbAdapter kBoard{QStringLiteral("2e8a"), QStringLiteral("000a"),
                                              QStringLiteral("E66138935F"), QString(), QString(), 0};
    static inline const FakeUsbAdapter kTwin{QStringLiteral("2e8a"), QStringLiteral("000a"),
                                             QStringLiteral("E661389360"), QString(), QString(), 0};

    bool plug(const QString &name, const FakeUsbAdapter &adapter, const QString &usbPort)
    {
        return plugFakeUsb(m_sys->path(), name, adapter, usbPort) && comeBack(name);
    }
    // The node goes and is made again.
    bool comeBack(const QString &name)
    {
        QFile::remove(m_dev->filePath(name));
        return QFile(m_dev->filePath(name)).open(QIODevice::WriteOnly);
    }
    bool changeMode(const QString &name)
    {
        return QFile::setPermissions(m_dev->filePath(name), QFile::ReadOwner | QFile::WriteOwner)
               && QFile::setPermissions(m_dev->filePath(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    }

    std::unique_ptr<QTemporaryDir> m_dev;
    std::unique_ptr<QTemporaryDir> m_sys;
    std::unique_ptr<PortDirectory> m_ports;
    std::unique_ptr<ReconnectWait> m_wait;
};

void TestReconnectWait::init()
{
    m_dev = std::make_unique<QTemporaryDir>();
    m_sys = std::make_unique<QTemporaryDir>();
    QVERIFY(plug(QStringLiteral("ttyACM0"), kBoard, QStringLiteral("1-2")));
    m_ports = std::make_unique<PortDirectory>(m_dev->path(), m_sys->path());
    m_wait = std::make_unique<ReconnectWait>(*m_ports);
    QVERIFY(m_wait->start(1));
}

void TestReconnectWait::cleanup()
{
    m_wait.reset();
    m_ports.reset();
}

// GIVEN the board gone WHEN its twin takes its kernel name and then the board comes
// back under another THEN only the board's return is told.
void TestReconnectWait::anotherDeviceUnderTheOldNameIsPassedOver()
{
    QStringList opened;
    connect(m_wait.get(), &ReconnectWait::deviceBack, this, [&] { opened.append(m_wait->path()); });
    QVERIFY(QFile::remove(m_dev->filePath(QStringLiteral("ttyACM0"))));
    QVERIFY(plug(QStringLiteral("ttyACM0"), kTwin, QStringLiteral("1-3")));
    // Heard alone: read together with the board's return, the twin's would find it back.
    QTest::qWait(kHeardMs);
    QVERIFY(opened.isEmpty());
    QVERIFY(plug(QStringLiteral("ttyACM1"), kBoard, QStringLiteral("1-2")));
    QTRY_VERIFY_WITH_TIMEOUT(!opened.isEmpty(), kWait);
    QCOMPARE(opened, QStringList{m_dev->filePath(QStringLiteral("ttyACM1"))});
}

void TestReconnectWait::refusedOpenIsRetriedOnlyForPermission_data()
{
    QTest::addColumn<bool>("permissionDenied");
    QTest::addColumn<int>("retries");
    QTest::newRow("refused for want of permission") << true << 1;
    QTest::newRow("refused otherwise") << false << 0;
}

// After a refusal only a change of the node's attributes that allows the open asks
// again, and once however many follow; other nodes' changes ask nothing.
void TestReconnectWait::refusedOpenIsRetriedOnlyForPermission()
{
    QFETCH(bool, permissionDenied);
    QFETCH(int, retries);
    QSignalSpy back(m_wait.get(), &ReconnectWait::deviceBack);
    QVERIFY(comeBack(QStringLiteral("ttyACM0")));
    QTRY_COMPARE_WITH_TIMEOUT(back.count(), 1, kWait);
    m_wait->openFailed(permissionDenied);
    QVERIFY(changeMode(QStringLiteral("ttyACM0")) && changeMode(QStringLiteral("ttyACM0")));
    QVERIFY(comeBack(QStringLiteral("unrelated")) && changeMode(QStringLiteral("unrelated")));
    QVERIFY(comeBack(QStringLiteral("ttyACM0")));
    QTRY_COMPARE_WITH_TIMEOUT(back.count(), 1 + retries + 1, kWait);
}

// What the folder told a wait that stopped before hearing it is not told to the next.
void TestReconnectWait::nextWaitHearsNoOldNews()
{
    QSignalSpy back(m_wait.get(), &ReconnectWait::deviceBack);
    QVERIFY(comeBack(QStringLiteral("ttyACM0")));
    m_wait->stop();
    QVERIFY(m_wait->start(1));
    QVERIFY(comeBack(QStringLiteral("ttyACM0")));
    QTRY_COMPARE_WITH_TIMEOUT(back.count(), 1, kWait);
}

QTEST_MAIN(TestReconnectWait)
#include "tst_reconnectwait.moc"
