#include "reconnectwait.h"

#include "fakeusb.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The wait for a lost port's device, over a dev folder of plain files and a sysfs
// folder that makes them USB adapters; nothing is opened, the test only counts when
// the wait would open.
class TestReconnectWait : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void anotherDeviceUnderTheOldNameIsPassedOver();
    void refusedOpenIsRetriedOnlyForPermission_data();
    void refusedOpenIsRetriedOnlyForPermission();
    void nextWaitHearsNoOldNews();

private:
    static constexpr int kWait = 5000;

    bool plug(const QString &name, const FakeUsbAdapter &adapter, const QString &usbPort)
    {
        return plugFakeUsb(m_sys.path(), name, adapter, usbPort) && appear(name);
    }
    bool appear(const QString &name) { return QFile(m_dev.filePath(name)).open(QIODevice::WriteOnly); }
    bool unplug(const QString &name) { return QFile::remove(m_dev.filePath(name)); }
    bool touch(const QString &name)
    {
        return QFile::setPermissions(m_dev.filePath(name), QFile::ReadOwner | QFile::WriteOwner)
               && QFile::setPermissions(m_dev.filePath(name),
                                        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
    }

    static inline const FakeUsbAdapter kBoard{QStringLiteral("2e8a"), QStringLiteral("000a"), QStringLiteral("E66138935F"),
                                              QStringLiteral("Maker"), QStringLiteral("Board"), 0};
    static inline const FakeUsbAdapter kOther{QStringLiteral("2e8a"), QStringLiteral("000a"), QStringLiteral("E661389360"),
                                              QStringLiteral("Maker"), QStringLiteral("Board"), 0};

    QTemporaryDir m_dev;
    QTemporaryDir m_sys;
};

void TestReconnectWait::init()
{
    QVERIFY(m_dev.isValid() && m_sys.isValid());
    QDir(m_dev.path()).removeRecursively();
    QDir(m_sys.path()).removeRecursively();
    QVERIFY(QDir().mkpath(m_dev.path()) && QDir().mkpath(m_sys.path()));
}

// GIVEN the board on port 1 gone WHEN a twin board takes its kernel name and then
// the board comes back under another THEN only the board's return is told.
void TestReconnectWait::anotherDeviceUnderTheOldNameIsPassedOver()
{
    QVERIFY(plug(QStringLiteral("ttyACM0"), kBoard, QStringLiteral("1-2")));
    PortDirectory ports(m_dev.path(), m_sys.path());
    ReconnectWait wait(ports);
    QStringList opened;
    connect(&wait, &ReconnectWait::deviceBack, this, [&] { opened.append(wait.path()); });
    QVERIFY(unplug(QStringLiteral("ttyACM0")));
    QVERIFY(wait.start(1));
    QCOMPARE(wait.path(), m_dev.filePath(QStringLiteral("ttyACM0")));

    QVERIFY(plug(QStringLiteral("ttyACM0"), kOther, QStringLiteral("1-3")));
    QVERIFY(plug(QStringLiteral("ttyACM1"), kBoard, QStringLiteral("1-2")));
    QTRY_VERIFY_WITH_TIMEOUT(!opened.isEmpty(), kWait);
    QCOMPARE(opened, QStringList{m_dev.filePath(QStringLiteral("ttyACM1"))});
    QVERIFY(ports.port(2).present);
}

void TestReconnectWait::refusedOpenIsRetriedOnlyForPermission_data()
{
    QTest::addColumn<bool>("permissionDenied");
    QTest::addColumn<int>("retries");
    QTest::newRow("refused for want of permission") << true << 1;
    QTest::newRow("refused otherwise") << false << 0;
}

// Each appearance asks for one open; after a refusal only the attribute change that
// grants permission asks again, once however many follow. The last appearance
// closes the count: the folder's events come in order.
void TestReconnectWait::refusedOpenIsRetriedOnlyForPermission()
{
    QFETCH(bool, permissionDenied);
    QFETCH(int, retries);
    QVERIFY(plug(QStringLiteral("ttyACM0"), kBoard, QStringLiteral("1-2")));
    PortDirectory ports(m_dev.path(), m_sys.path());
    ReconnectWait wait(ports);
    QSignalSpy back(&wait, &ReconnectWait::deviceBack);
    QVERIFY(wait.start(1));

    QVERIFY(unplug(QStringLiteral("ttyACM0")) && appear(QStringLiteral("ttyACM0")));
    QTRY_COMPARE_WITH_TIMEOUT(back.count(), 1, kWait);
    wait.openFailed(permissionDenied);
    QVERIFY(touch(QStringLiteral("ttyACM0")) && touch(QStringLiteral("ttyACM0")));
    QVERIFY(appear(QStringLiteral("unrelated")) && touch(QStringLiteral("unrelated")));
    QVERIFY(unplug(QStringLiteral("ttyACM0")) && appear(QStringLiteral("ttyACM0")));
    QTRY_COMPARE_WITH_TIMEOUT(back.count(), 1 + retries + 1, kWait);
}

// What the folder told a wait that stopped before hearing it is not told to the next.
void TestReconnectWait::nextWaitHearsNoOldNews()
{
    QVERIFY(plug(QStringLiteral("ttyACM0"), kBoard, QStringLiteral("1-2")));
    PortDirectory ports(m_dev.path(), m_sys.path());
    ReconnectWait wait(ports);
    QSignalSpy back(&wait, &ReconnectWait::deviceBack);
    QVERIFY(wait.start(1));
    QVERIFY(unplug(QStringLiteral("ttyACM0")) && appear(QStringLiteral("ttyACM0")));
    wait.stop();
    QVERIFY(wait.start(1));
    QVERIFY(unplug(QStringLiteral("ttyACM0")) && appear(QStringLiteral("ttyACM0")));
    QTRY_COMPARE_WITH_TIMEOUT(back.count(), 1, kWait);
}

QTEST_MAIN(TestReconnectWait)
#include "tst_reconnectwait.moc"
