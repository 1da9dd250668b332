#include "mscomm.h"

#include "commerror.h"
#include "ptyline.h"

#include <QtTest>

#include <ctime>

#include <sys/file.h>

namespace {

constexpr int kTimeout = 10000;
constexpr qsizetype kLargeOutput = 1024 * 1024;

// Records every OnComm with the CommEvent it reported and, like the window, takes
// the waiting bytes one at a time on each data event.
struct Receiver {
    explicit Receiver(MSComm &comm)
    {
        QObject::connect(&comm, &MSComm::OnComm, &comm, [this, &comm] {
            events.append(comm.CommEvent());
            if (comm.CommEvent() != MSComm::comEvReceive)
                return;
            while (comm.InBufferCount() > 0)
                data.append(char(comm.Input()[0]));
        });
    }
    QList<qint16> events;
    QByteArray data;
};

double processCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

} // namespace

class TestMSComm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void receiveRawRaisesEvents_data();
    void receiveRawRaisesEvents();
    void countsCarryToTheNextRead();
    void closingInAHandlerStopsTheEvents();
    void rejectsBadSettings_data();
    void rejectsBadSettings();
    void rejectsBadPort_data();
    void rejectsBadPort();
    void receivesEveryByteValue_data();
    void receivesEveryByteValue();
    void sendsEveryByteValue_data();
    void sendsEveryByteValue();
    void largeOutputArrivesComplete();
    void openingAndClosingAreTold();
    void heldPortFailsToOpen();
    void devicesReadAgainAtOpen();
    void settingsReopenPort();
    void closingReleasesDevice();
    void hangUpClosesPortOnce_data();
    void hangUpClosesPortOnce();
    void runTimeFailureSaysWhy_data();
    void runTimeFailureSaysWhy();
};

// Qt warns, among others, of a notifier left on a closed descriptor.
void TestMSComm::init()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
}

void TestMSComm::receiveRawRaisesEvents_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<int>("split");
    QTest::addColumn<bool>("withCounters");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QList<qint16>>("events");

    const auto raw = [](const char *bytes, int size) { return QByteArray(bytes, size); };
    QTest::newRow("nothing") << QByteArray() << -1 << false << QByteArray() << QList<qint16>{};
    QTest::newRow("data") << raw("AB", 2) << -1 << false << raw("AB", 2) << QList<qint16>{2};
    QTest::newRow("parity, framing, break, then data")
        << raw("\xFF\x00P\xFF\x00" "F\xFF\x00\x00" "D", 10) << -1 << true << raw("PFD", 3)
        << QList<qint16>{1009, 1004, 1001, 2};
    QTest::newRow("break alone delivers no byte") << raw("\xFF\x00\x00", 3) << -1 << false << QByteArray()
                                                  << QList<qint16>{1001};
    QTest::newRow("mark on a line without parity") << raw("\xFF\x00X", 3) << -1 << false << raw("X", 1)
                                                   << QList<qint16>{1004, 2};
    QTest::newRow("half of 0xFF 0xFF waits") << raw("\xFF\xFF", 2) << 1 << false << raw("\xFF", 1)
                                            << QList<qint16>{2};
    QTest::newRow("mark split before its byte") << raw("\xFF\x00X", 3) << 2 << false << raw("X", 1)
                                                << QList<qint16>{1004, 2};
}

void TestMSComm::receiveRawRaisesEvents()
{
    QFETCH(QByteArray, raw);
    QFETCH(int, split);
    QFETCH(bool, withCounters);
    QFETCH(QByteArray, data);
    QFETCH(QList<qint16>, events);

    MSComm comm;
    QList<qint16> seen;
    connect(&comm, &MSComm::OnComm, this, [&] { seen.append(comm.CommEvent()); });
    const std::optional<LineCounters> counters =
        withCounters ? std::optional(LineCounters{1, 1, 1}) : std::nullopt;
    if (split >= 0) {
        comm.receiveRaw(QByteArrayView(raw).first(split), counters);
        QCOMPARE(seen, QList<qint16>{});
        comm.receiveRaw(QByteArrayView(raw).sliced(split), counters);
    } else {
        comm.receiveRaw(raw, counters);
    }
    QCOMPARE(seen, events);

    for (qsizetype i = 0; i < data.size(); ++i) {
        QCOMPARE(comm.InBufferCount(), qint16(data.size() - i));
        QCOMPARE(comm.Input()[0], quint8(data[i]));
    }
    QCOMPARE(comm.InBufferCount(), qint16(0));
    QCOMPARE(comm.Input()[0], quint8(0));
    QCOMPARE(seen, events);
}

// A driver's count can move one read before its mark arrives.
void TestMSComm::countsCarryToTheNextRead()
{
    MSComm comm;
    QList<qint16> seen;
    connect(&comm, &MSComm::OnComm, this, [&] { seen.append(comm.CommEvent()); });
    comm.receiveRaw("A", LineCounters{0, 1, 0});
    comm.receiveRaw(QByteArray("\xFF\x00X", 3), LineCounters{});
    QCOMPARE(seen, (QList<qint16>{2, 1009, 2}));
}

void TestMSComm::closingInAHandlerStopsTheEvents()
{
    PtyLine line;
    QVERIFY(line.isValid());
    MSComm comm(line.directory());
    comm.setPortOpen(true);
    QList<qint16> seen;
    connect(&comm, &MSComm::OnComm, this, [&] {
        seen.append(comm.CommEvent());
        comm.setPortOpen(false);
    });
    comm.receiveRaw(QByteArray("\xFF\x00P\xFF\x00" "F", 6), LineCounters{1, 1, 0});
    QCOMPARE(seen, QList<qint16>{1009});
    QVERIFY(!comm.PortOpen());
}

void TestMSComm::rejectsBadSettings_data()
{
    QTest::addColumn<QString>("settings");
    QTest::newRow("empty") << QString();
    QTest::newRow("three fields") << QStringLiteral("9600,n,8");
    QTest::newRow("unknown parity") << QStringLiteral("9600,x,8,1");
    QTest::newRow("odd speed") << QStringLiteral("9601,n,8,1");
}

// A failed assignment throws and keeps the value before it.
void TestMSComm::rejectsBadSettings()
{
    QFETCH(QString, settings);
    MSComm comm;
    comm.setSettings(QStringLiteral("4800,o,8,2"));
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setSettings(settings));
    QCOMPARE(comm.Settings(), QStringLiteral("4800,o,8,2"));
}

void TestMSComm::rejectsBadPort_data()
{
    QTest::addColumn<int>("port");
    QTest::newRow("port 0") << 0;
    QTest::newRow("port 9") << 9;
    QTest::newRow("negative") << -1;
}

void TestMSComm::rejectsBadPort()
{
    QFETCH(int, port);
    MSComm comm;
    comm.setCommPort(8);
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setCommPort(qint16(port)));
    QCOMPARE(comm.CommPort(), qint16(8));
}

void TestMSComm::receivesEveryByteValue_data()
{
    QTest::addColumn<bool>("bytePerWrite");
    QTest::newRow("one write") << false;
    QTest::newRow("one write per byte") << true;
}

// All 256 values from the far end arrive once, in order, as data events only,
// and the port stays open once the line falls quiet.
void TestMSComm::receivesEveryByteValue()
{
    QFETCH(bool, bytePerWrite);

    PtyLine line;
    QVERIFY(line.isValid());
    MSComm comm(line.directory());
    Receiver receiver(comm);
    QSignalSpy lost(&comm, &MSComm::portLost);
    comm.setPortOpen(true);

    const QByteArray all = allByteValues();
    if (bytePerWrite) {
        for (qsizetype i = 0; i < all.size(); ++i) {
            QVERIFY(line.send(all.sliced(i, 1)));
            QTRY_COMPARE_WITH_TIMEOUT(receiver.data.size(), i + 1, kTimeout);
        }
    } else {
        QVERIFY(line.send(all));
        QTRY_COMPARE_WITH_TIMEOUT(receiver.data.size(), all.size(), kTimeout);
    }
    QCOMPARE(receiver.data, all);
    QCOMPARE(receiver.events.count(MSComm::comEvReceive), receiver.events.size());
    QVERIFY(line.send("!"));
    QTRY_COMPARE_WITH_TIMEOUT(receiver.data.size(), all.size() + 1, kTimeout);
    QVERIFY(comm.PortOpen());
    QCOMPARE(lost.count(), 0);
}

void TestMSComm::sendsEveryByteValue_data()
{
    QTest::addColumn<bool>("bytePerOutput");
    QTest::newRow("one Output") << false;
    QTest::newRow("one Output per byte") << true;
}

void TestMSComm::sendsEveryByteValue()
{
    QFETCH(bool, bytePerOutput);

    PtyLine line;
    QVERIFY(line.isValid());
    MSComm comm(line.directory());
    comm.setPortOpen(true);
    line.startReading();

    const QByteArray all = allByteValues();
    if (bytePerOutput) {
        for (qsizetype i = 0; i < all.size(); ++i)
            comm.Output(all.sliced(i, 1));
    } else {
        comm.Output(all);
    }
    QTRY_COMPARE_WITH_TIMEOUT(line.received().size(), all.size(), kTimeout);
    QCOMPARE(line.received(), all);
}

// Far more than the kernel takes at once, queued in two pieces while nothing reads
// the line: Output must return (this thread is also the reader) and lose nothing.
void TestMSComm::largeOutputArrivesComplete()
{
    PtyLine line;
    QVERIFY(line.isValid());
    MSComm comm(line.directory());
    QSignalSpy lost(&comm, &MSComm::portLost);
    QSignalSpy drained(&comm, &MSComm::OutputDrained);
    comm.setPortOpen(true);

    QByteArray payload(kLargeOutput, Qt::Uninitialized);
    for (qsizetype i = 0; i < payload.size(); ++i)
        payload[i] = char((i * 7 + i / 251) & 0xFF);
    comm.Output(payload.first(kLargeOutput / 2));
    comm.Output(payload.sliced(kLargeOutput / 2));
    // Nobody reads yet, so the line refused part of it.
    QVERIFY(comm.OutBufferCount() > 0);
    QCOMPARE(drained.count(), 0);
    line.startReading();

    QTRY_COMPARE_WITH_TIMEOUT(line.received().size(), payload.size(), kTimeout);
    QVERIFY(line.received() == payload);
    QVERIFY(comm.PortOpen());
    QCOMPARE(lost.count(), 0);
    QCOMPARE(comm.OutBufferCount(), 0);
    QCOMPARE(drained.count(), 1);
}

// Each change is told once: a reopen for new settings is none, a hang-up is one.
void TestMSComm::openingAndClosingAreTold()
{
    PtyLine line;
    QVERIFY(line.isValid());
    MSComm comm(line.directory());
    QSignalSpy told(&comm, &MSComm::portOpenChanged);
    comm.setPortOpen(true);
    comm.setSettings(QStringLiteral("115200,n,8,1"));
    comm.setPortOpen(false);
    comm.setPortOpen(false);
    comm.setPortOpen(true);
    line.closeMaster();
    QTRY_VERIFY_WITH_TIMEOUT(!comm.PortOpen(), kTimeout);
    QCOMPARE(told.count(), 4);
    const QList<bool> expected = {true, false, true, false};
    for (int i = 0; i < told.count(); ++i)
        QCOMPARE(told.at(i).at(0).toBool(), expected.at(i));
}

void TestMSComm::heldPortFailsToOpen()
{
    PtyLine line;
    QVERIFY(line.isValid());
    MSComm first(line.directory());
    MSComm second(line.directory());
    Receiver receiver(first);
    first.setPortOpen(true);

    QVERIFY_THROWS_EXCEPTION(CommError, second.setPortOpen(true));
    QVERIFY(!second.PortOpen());
    QVERIFY(first.PortOpen());
    QVERIFY(line.send("A"));
    QTRY_COMPARE_WITH_TIMEOUT(receiver.data, QByteArray("A"), kTimeout);

    first.setPortOpen(false);
    second.setPortOpen(true);
    QVERIFY(second.PortOpen());
}

// A null modem that appears after start-up is found at the next open.
void TestMSComm::devicesReadAgainAtOpen()
{
    PtyLine line;
    QVERIFY(line.isValid());
    QVERIFY(QFile::remove(line.linkPath()));
    MSComm comm(line.directory());
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setPortOpen(true));
    QVERIFY(!comm.PortOpen());

    QVERIFY(QFile::link(line.slavePath(), line.linkPath()));
    comm.setCommPort(2);
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setPortOpen(true));
    comm.setCommPort(1);
    comm.setPortOpen(true);
    QVERIFY(comm.PortOpen());
}

void TestMSComm::settingsReopenPort()
{
    PtyLine line;
    QVERIFY(line.isValid());
    MSComm comm(line.directory());
    comm.setPortOpen(true);
    QCOMPARE(comm.Settings(), QStringLiteral("9600,n,8,1"));

    comm.setSettings(QStringLiteral("115200,n,8,2"));
    QVERIFY(comm.PortOpen());
    termios t = line.slaveTermios();
    QCOMPARE(cfgetospeed(&t), speed_t(B115200));
    QVERIFY(t.c_cflag & CSTOPB);

    QVERIFY_THROWS_EXCEPTION(CommError, comm.setSettings(QStringLiteral("115200,n,8")));
    QVERIFY(comm.PortOpen());
    t = line.slaveTermios();
    QCOMPARE(cfgetospeed(&t), speed_t(B115200));

    // The pseudo-terminal refuses parity: the reopen fails and leaves the port closed,
    // with the settings it had.
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setSettings(QStringLiteral("115200,e,8,2")));
    QVERIFY(!comm.PortOpen());
    QCOMPARE(comm.Settings(), QStringLiteral("115200,n,8,2"));
    QVERIFY(lockIsFree(line.slavePath()));
}

void TestMSComm::closingReleasesDevice()
{
    PtyLine line;
    QVERIFY(line.isValid());
    const termios before = line.slaveTermios();
    {
        MSComm comm(line.directory());
        comm.setPortOpen(true);
        QVERIFY(!lockIsFree(line.slavePath()));
        comm.setPortOpen(false);
        QVERIFY(!comm.PortOpen());
        QVERIFY(lockIsFree(line.slavePath()));
        comm.setPortOpen(true);
    }
    QVERIFY(lockIsFree(line.slavePath()));
    const termios after = line.slaveTermios();
    QCOMPARE(after.c_lflag, before.c_lflag);
    QCOMPARE(after.c_iflag, before.c_iflag);
}

void TestMSComm::hangUpClosesPortOnce_data()
{
    QTest::addColumn<bool>("outputPending");
    QTest::newRow("idle line") << false;
    QTest::newRow("output pending") << true;
}

// The far end going away closes the port and tells once; afterwards the event
// loop is idle (a hung-up descriptor left in the loop would spin it).
void TestMSComm::hangUpClosesPortOnce()
{
    QFETCH(bool, outputPending);

    PtyLine line;
    QVERIFY(line.isValid());
    MSComm comm(line.directory());
    QSignalSpy onComm(&comm, &MSComm::OnComm);
    QList<bool> openWhenLost;
    connect(&comm, &MSComm::portLost, this, [&] { openWhenLost.append(comm.PortOpen()); });
    comm.setPortOpen(true);
    if (outputPending)
        comm.Output(QByteArray(kLargeOutput, 'x'));

    line.closeMaster();
    QTRY_COMPARE_WITH_TIMEOUT(openWhenLost.size(), 1, kTimeout);
    QCOMPARE(openWhenLost, QList<bool>{false});
    QVERIFY(!comm.PortOpen());

    const double cpuBefore = processCpuSeconds();
    QEventLoop idle;
    QTimer::singleShot(500, &idle, &QEventLoop::quit);
    idle.exec();
    const double cpuUsed = processCpuSeconds() - cpuBefore;
    QVERIFY2(cpuUsed < 0.25, qPrintable(QStringLiteral("%1 s of CPU in 0.5 s idle").arg(cpuUsed)));
    QCOMPARE(openWhenLost.size(), 1);
    QCOMPARE(onComm.count(), 0);
}

void TestMSComm::runTimeFailureSaysWhy_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read fails with EIO") << QStringLiteral("read") << QStringLiteral(": input/output error");
    QTest::newRow("write after the far end closed") << QStringLiteral("write")
                                                    << QStringLiteral(": input/output error");
    QTest::newRow("far end hangs up") << QStringLiteral("hang-up") << QStringLiteral(": the line hung up");
}

// A failure on the open line closes the port and says what errno said, after the
// device's name.
void TestMSComm::runTimeFailureSaysWhy()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);

    PtyLine line;
    QVERIFY(line.isValid());
    MSComm comm(line.directory());
    QSignalSpy lost(&comm, &MSComm::portLost);
    comm.setPortOpen(true);
    if (failure == QLatin1String("read")) {
        QVERIFY(line.failReadsElsewhere());
    } else {
        line.closeMaster();
        if (failure == QLatin1String("write"))
            comm.Output("x"); // before the loop sees the hang-up
    }
    QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, kTimeout);
    const QString said = lost.front().front().toString();
    QVERIFY2(said.startsWith(line.linkPath() + reason), qPrintable(said));
    QVERIFY(!comm.PortOpen());
}

QTEST_GUILESS_MAIN(TestMSComm)
#include "tst_mscomm.moc"
