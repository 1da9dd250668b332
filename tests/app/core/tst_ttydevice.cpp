#include "ttydevice.h"

#include "commerror.h"
#include "portsettings.h"
#include "ptyline.h"
#include "termiosbuilder.h"

#include <QtTest>

#include <sys/file.h>

// The state an open leaves on a pseudo-terminal, what a refused open or a close
// leaves behind, exclusivity and what reads and writes report.
class TestTtyDevice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openSetsLine_data();
    void openSetsLine();
    void refusedSettingLeavesDevice_data();
    void refusedSettingLeavesDevice();
    void closeRestoresDevice();
    void heldDeviceIsBusy_data();
    void heldDeviceIsBusy();
    void unusableDevice_data();
    void unusableDevice();
    void readReportsIdleAndHangUp();
    void writeReportsFullBuffer();
};

namespace {

enum UnusableKind { NoSuchFile, DanglingLink, PlainFile };

bool sameTermios(const termios &a, const termios &b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_lflag == b.c_lflag
        && a.c_cflag == b.c_cflag && cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b);
}

PortSettings settingsOf(const char *text)
{
    return parsePortSettings(QString::fromLatin1(text)).value_or(PortSettings{});
}

bool waitReadable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 5000) == 1;
}

} // namespace

void TestTtyDevice::openSetsLine_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<uint>("speed");
    QTest::addColumn<bool>("twoStopBits");
    QTest::newRow("2400,n,8,1") << QStringLiteral("2400,n,8,1") << uint(B2400) << false;
    QTest::newRow("4800,n,8,1") << QStringLiteral("4800,n,8,1") << uint(B4800) << false;
    QTest::newRow("9600,n,8,1") << QStringLiteral("9600,n,8,1") << uint(B9600) << false;
    QTest::newRow("19200,n,8,1") << QStringLiteral("19200,n,8,1") << uint(B19200) << false;
    QTest::newRow("38400,n,8,1") << QStringLiteral("38400,n,8,1") << uint(B38400) << false;
    QTest::newRow("57600,n,8,1") << QStringLiteral("57600,n,8,1") << uint(B57600) << false;
    QTest::newRow("115200,n,8,1") << QStringLiteral("115200,n,8,1") << uint(B115200) << false;
    QTest::newRow("2400,n,8,2") << QStringLiteral("2400,n,8,2") << uint(B2400) << true;
    QTest::newRow("115200,n,8,2") << QStringLiteral("115200,n,8,2") << uint(B115200) << true;
}

void TestTtyDevice::openSetsLine()
{
    QFETCH(QString, settings);
    QFETCH(uint, speed);
    QFETCH(bool, twoStopBits);

    PtyLine line;
    QVERIFY(line.isValid());
    TtyDevice device;
    device.open(line.linkPath(), settingsOf(qPrintable(settings)));
    QVERIFY(device.isOpen());
    QCOMPARE(device.path(), line.linkPath());

    const termios t = line.slaveTermios();
    QCOMPARE(uint(cfgetispeed(&t)), speed);
    QCOMPARE(uint(cfgetospeed(&t)), speed);
    QCOMPARE(bool(t.c_cflag & CSTOPB), twoStopBits);
    QCOMPARE(t.c_cflag & (CSIZE | PARENB), tcflag_t(CS8));
    QCOMPARE(t.c_cflag & (CREAD | CLOCAL | CRTSCTS), tcflag_t(CREAD | CLOCAL));
    QCOMPARE(t.c_iflag & (INPCK | PARMRK | IGNPAR | IGNBRK | BRKINT), tcflag_t(INPCK | PARMRK));
    QCOMPARE(t.c_iflag & (ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF), tcflag_t(0));
    QCOMPARE(t.c_oflag & OPOST, tcflag_t(0));
    QCOMPARE(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), tcflag_t(0));
    QVERIFY(!lockIsFree(line.slavePath()));
    QVERIFY(line.isExclusive());
}

void TestTtyDevice::refusedSettingLeavesDevice_data()
{
    QTest::addColumn<QString>("settings");
    QTest::newRow("even parity") << QStringLiteral("9600,e,8,1");
    QTest::newRow("odd parity") << QStringLiteral("115200,o,8,2");
    QTest::newRow("seven data bits") << QStringLiteral("9600,n,7,1");
}

// A pseudo-terminal keeps 8 data bits and no parity whatever it is asked, so these
// opens must fail and leave the device as they found it, unlocked.
void TestTtyDevice::refusedSettingLeavesDevice()
{
    QFETCH(QString, settings);

    PtyLine line;
    QVERIFY(line.isValid());
    const termios before = line.slaveTermios();
    TtyDevice device;
    QVERIFY_THROWS_EXCEPTION(CommError, device.open(line.linkPath(), settingsOf(qPrintable(settings))));
    QVERIFY(!device.isOpen());
    QVERIFY(sameTermios(line.slaveTermios(), before));
    QVERIFY(lockIsFree(line.slavePath()));
    QVERIFY(!line.isExclusive());
}

void TestTtyDevice::closeRestoresDevice()
{
    PtyLine line;
    QVERIFY(line.isValid());
    const termios before = line.slaveTermios();
    {
        TtyDevice device;
        device.open(line.linkPath(), settingsOf("115200,n,8,2"));
        QVERIFY(!sameTermios(line.slaveTermios(), before));
        device.close();
        QVERIFY(!device.isOpen());
        QVERIFY(sameTermios(line.slaveTermios(), before));
        QVERIFY(lockIsFree(line.slavePath()));
        QVERIFY(!line.isExclusive());
        device.open(line.linkPath(), settingsOf("9600,n,8,1"));
    }
    QVERIFY(sameTermios(line.slaveTermios(), before));
    QVERIFY(lockIsFree(line.slavePath()));
    QVERIFY(!line.isExclusive());
}

void TestTtyDevice::heldDeviceIsBusy_data()
{
    QTest::addColumn<bool>("heldByDevice");
    QTest::newRow("held by another device object") << true;
    QTest::newRow("locked by another program") << false;
}

// We run as root, for whom TIOCEXCL does not stop a second open: the lock must.
void TestTtyDevice::heldDeviceIsBusy()
{
    QFETCH(bool, heldByDevice);

    PtyLine line;
    QVERIFY(line.isValid());
    TtyDevice holder;
    int otherProgram = -1;
    if (heldByDevice) {
        holder.open(line.linkPath(), settingsOf("9600,n,8,1"));
    } else {
        otherProgram = ::open(line.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(otherProgram >= 0);
        QCOMPARE(::flock(otherProgram, LOCK_EX | LOCK_NB), 0);
    }
    const termios held = line.slaveTermios();

    TtyDevice second;
    try {
        second.open(line.linkPath(), settingsOf("115200,n,8,2"));
        QFAIL("a held device opened a second time");
    } catch (const CommError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("busy")), qPrintable(error.message()));
    }
    QVERIFY(!second.isOpen());
    QVERIFY(sameTermios(line.slaveTermios(), held));
    QCOMPARE(holder.isOpen(), heldByDevice);
    QCOMPARE(line.isExclusive(), heldByDevice);

    holder.close();
    if (otherProgram >= 0)
        ::close(otherProgram);
    second.open(line.linkPath(), settingsOf("9600,n,8,1"));
    QVERIFY(second.isOpen());
}

void TestTtyDevice::unusableDevice_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("no such file") << int(NoSuchFile);
    QTest::newRow("link to a vanished pty") << int(DanglingLink);
    QTest::newRow("not a terminal") << int(PlainFile);
}

// Whatever sits at the path, a failed open is an error naming the device, no crash.
void TestTtyDevice::unusableDevice()
{
    QFETCH(int, kind);

    PtyLine line;
    QVERIFY(line.isValid());
    QVERIFY(QFile::remove(line.linkPath()));
    const QString path = line.linkPath();
    if (kind == DanglingLink)
        QVERIFY(QFile::link(line.devDir() + QStringLiteral("/gone"), path));
    if (QFile file(path); kind == PlainFile)
        QVERIFY(file.open(QIODevice::WriteOnly));
    TtyDevice device;
    try {
        device.open(path, settingsOf("9600,n,8,1"));
        QFAIL("an unusable device opened");
    } catch (const CommError &error) {
        QVERIFY2(error.message().startsWith(path), qPrintable(error.message()));
    }
    QVERIFY(!device.isOpen());
}

// 0 means nothing is waiting and the line is still there; only a hang-up is -1.
void TestTtyDevice::readReportsIdleAndHangUp()
{
    PtyLine line;
    QVERIFY(line.isValid());
    TtyDevice device;
    device.open(line.linkPath(), settingsOf("9600,n,8,1"));
    char buffer[16];
    QCOMPARE(device.read(buffer, sizeof buffer), qsizetype(0));

    QVERIFY(line.send("AB"));
    QVERIFY(waitReadable(device.fd()));
    QCOMPARE(device.read(buffer, sizeof buffer), qsizetype(2));
    QCOMPARE(QByteArray(buffer, 2), QByteArray("AB"));
    QCOMPARE(device.read(buffer, sizeof buffer), qsizetype(0));
    QVERIFY(!device.takeCounterChanges());

    line.closeMaster();
    QCOMPARE(device.read(buffer, sizeof buffer), qsizetype(-1));
    QCOMPARE(device.write("A", 1), qsizetype(-1));
}

void TestTtyDevice::writeReportsFullBuffer()
{
    PtyLine line;
    QVERIFY(line.isValid());
    TtyDevice device;
    device.open(line.linkPath(), settingsOf("9600,n,8,1"));
    const QByteArray chunk(4096, 'x');
    qsizetype written = 0;
    qsizetype n = 0;
    for (int i = 0; i < 4096 && (n = device.write(chunk.constData(), chunk.size())) > 0; ++i)
        written += n;
    QCOMPARE(n, qsizetype(0));
    QVERIFY(written > 0);
    QVERIFY(device.isOpen());
}

QTEST_GUILESS_MAIN(TestTtyDevice)
#include "tst_ttydevice.moc"
