#include "portdirectory.h"

#include "fakeusb.h"
#include "ptyline.h"

#include <QtTest>

// The numbering on temporary folders standing for /dev and /sys/class/tty. A dev
// entry "name" is an empty file, "name@" a link to a pseudo-terminal slave (as socat
// makes), "name!" a link to nothing (a socat pair that has gone), "name/" a folder,
// "name=adapter@1-2" a USB adapter's tty plugged into USB port 1-2, and "-name"
// unplugs name. A sysfs entry "name=T" gives name's UART type T. A numbering reads
// port 1 first: a name for a device present, "(name)" for one away, "-" for a number
// never given out; trailing "-" are left off.
class TestPortDirectory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstNumbering_data();
    void firstNumbering();
    void devicePath_data();
    void devicePath();
    void numbering_data();
    void numbering();
    void usbDescription_data();
    void usbDescription();

private:
    static bool change(const PtyLine &line, const QString &step);
    static bool setUartTypes(const PtyLine &line, const QStringList &sys);
    static QString numbering(PortDirectory &directory);
};

namespace {

FakeUsbAdapter adapter(const QString &name)
{
    const QString ftdi = QStringLiteral("FTDI");
    if (name == u"ftdi")
        return {QStringLiteral("0403"), QStringLiteral("6001"), QStringLiteral("A50285BI"), ftdi,
                QStringLiteral("FT232R USB UART"), 0};
    if (name.startsWith(u"dual"))
        return {QStringLiteral("0403"), QStringLiteral("6010"), QStringLiteral("FT2XQ1"), ftdi,
                QStringLiteral("Dual RS232-HS"), name.back().digitValue()};
    if (name == u"cheap")
        return {QStringLiteral("1a86"), QStringLiteral("7523"), {}, {}, QStringLiteral("USB2.0-Serial"), 0};
    return {QStringLiteral("1234"), QStringLiteral("5678"), {}, {}, {}, 0};
}

} // namespace

bool TestPortDirectory::change(const PtyLine &line, const QString &step)
{
    QDir devDir(line.devDir());
    for (const QString &entry : step.split(u' ', Qt::SkipEmptyParts)) {
        const QString name = entry.section(u'=', 0, 0);
        bool done = true;
        if (entry.startsWith(u'-')) {
            // Unplugging also takes the sysfs entry, where there is one.
            done = devDir.remove(entry.mid(1));
            QDir(line.sysDir()).remove(entry.mid(1));
        } else if (entry.endsWith(u'@'))
            done = QFile::link(line.slavePath(), devDir.filePath(entry.chopped(1)));
        else if (entry.endsWith(u'!'))
            done = QFile::link(devDir.filePath(QStringLiteral("gone")), devDir.filePath(entry.chopped(1)));
        else if (entry.endsWith(u'/'))
            done = devDir.mkdir(entry.chopped(1));
        else if (QFile file(devDir.filePath(name)); !file.open(QIODevice::WriteOnly))
            done = false;
        else if (name != entry)
            done = plugFakeUsb(line.sysDir(), name, adapter(entry.section(u'=', 1).section(u'@', 0, 0)),
                               entry.section(u'@', 1));
        if (!done)
            return false;
    }
    return true;
}

bool TestPortDirectory::setUartTypes(const PtyLine &line, const QStringList &sys)
{
    const QDir sysDir(line.sysDir());
    for (const QString &entry : sys) {
        const QString name = entry.section(u'=', 0, 0);
        QFile type(sysDir.filePath(name + QStringLiteral("/type")));
        if (!sysDir.mkdir(name) || !type.open(QIODevice::WriteOnly)
            || type.write(entry.section(u'=', 1).toLatin1() + '\n') < 0)
            return false;
    }
    return true;
}

QString TestPortDirectory::numbering(PortDirectory &directory)
{
    QStringList ports;
    for (int number = 1; number <= PortDirectory::kPorts; ++number) {
        const PortDirectory::Port port = directory.port(number);
        const QString name = QFileInfo(port.path).fileName();
        ports << (port.path.isEmpty() ? QStringLiteral("-") : port.present ? name : u'(' + name + u')');
    }
    while (!ports.isEmpty() && ports.last() == u"-")
        ports.removeLast();
    return ports.join(u' ');
}

void TestPortDirectory::firstNumbering_data()
{
    QTest::addColumn<QString>("dev");
    QTest::addColumn<QStringList>("sys");
    QTest::addColumn<QString>("expected");

    const auto list = [](const char *words) {
        return QString::fromLatin1(words).split(u' ', Qt::SkipEmptyParts);
    };
    QTest::newRow("empty folder") << QString() << QStringList() << QString();
    QTest::newRow("UART type 0 is absent") << "ttyS0" << list("ttyS0=0") << QString();
    QTest::newRow("UART type non-zero is present") << "ttyS0" << list("ttyS0=4") << "ttyS0";
    QTest::newRow("no type attribute is present") << "ttyS0" << QStringList() << "ttyS0";
    QTest::newRow("UARTs mixed") << "ttyS3 ttyS2 ttyS1 ttyS0" << list("ttyS0=0 ttyS1=4 ttyS2=0") << "ttyS1 ttyS3";
    QTest::newRow("group order") << "rfcomm0 ttyAMA0 ttyACM0 ttyUSB0 ttyS0" << list("ttyS0=4")
                                 << "ttyS0 ttyUSB0 ttyACM0 ttyAMA0 rfcomm0";
    QTest::newRow("ascending number, not text") << "ttyUSB10 ttyUSB2 ttyUSB1 ttyACM11 ttyACM3 ttyS10 ttyS9"
                                                << QStringList()
                                                << "ttyS9 ttyS10 ttyUSB1 ttyUSB2 ttyUSB10 ttyACM3 ttyACM11";
    QTest::newRow("USB adapters by kernel name") << "ttyUSB1=ftdi@1-1 ttyUSB0=cheap@1-2" << QStringList()
                                                 << "ttyUSB0 ttyUSB1";
    QTest::newRow("socat link to a pty") << "ttyUSB0@" << QStringList() << "ttyUSB0";
    QTest::newRow("dangling link is no port") << "ttyUSB0! ttyUSB1@" << QStringList() << "ttyUSB1";
    QTest::newRow("link named ttyS without attribute") << "ttyS7@" << QStringList() << "ttyS7";
    QTest::newRow("type only rules ttyS") << "ttyUSB0" << list("ttyUSB0=0") << "ttyUSB0";
    QTest::newRow("other names") << "tty tty0 tty63 ttyUSB ttyUSBa ttyUSB1a ttySAC0 ttyS-1 ttyS+1 "
                                    "console ptmx ttyprintk rfcomm xttyUSB0"
                                 << QStringList() << QString();
    QTest::newRow("folders are no devices") << "ttyUSB0/ ttyACM0" << QStringList() << "ttyACM0";
    QTest::newRow("eight numbers, nine devices") << "ttyS0 ttyS1 ttyS2 ttyS3 ttyS4 ttyS5 ttyS6 ttyS7 ttyS8"
                                                 << QStringList() << "ttyS0 ttyS1 ttyS2 ttyS3 ttyS4 ttyS5 ttyS6 ttyS7";
}

void TestPortDirectory::firstNumbering()
{
    QFETCH(QString, dev);
    QFETCH(QStringList, sys);
    QFETCH(QString, expected);

    PtyLine line;
    QVERIFY(line.isValid());
    QVERIFY(QFile::remove(line.linkPath()));
    QVERIFY(change(line, dev));
    QVERIFY(setUartTypes(line, sys));
    PortDirectory directory = line.directory();
    QCOMPARE(numbering(directory), expected);
}

void TestPortDirectory::devicePath_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("name");
    QTest::newRow("port 0") << 0 << QString();
    QTest::newRow("negative") << -1 << QString();
    QTest::newRow("first") << 1 << QStringLiteral("ttyUSB0");
    QTest::newRow("second") << 2 << QStringLiteral("ttyUSB2");
    QTest::newRow("last") << 3 << QStringLiteral("ttyACM0");
    QTest::newRow("one past the end") << 4 << QString();
    QTest::newRow("port 8 with three devices") << 8 << QString();
    QTest::newRow("port 9") << 9 << QString();
}

void TestPortDirectory::devicePath()
{
    QFETCH(int, port);
    QFETCH(QString, name);

    PtyLine line;
    QVERIFY(line.isValid());
    QVERIFY(change(line, QStringLiteral("ttyACM0 ttyUSB2")));
    QCOMPARE(line.directory().devicePath(port), name.isEmpty() ? QString() : line.devDir() + u'/' + name);
}

// Each step changes the folders and scans once.
void TestPortDirectory::numbering_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");

    const auto steps = [](const char *text) { return QString::fromLatin1(text).split(u','); };
    QTest::newRow("unplugged lower device keeps the higher numbers")
        << steps("ttyUSB0@ ttyUSB1@ ttyACM0,-ttyUSB0") << "(ttyUSB0) ttyUSB1 ttyACM0";
    QTest::newRow("returning link by its name") << steps("ttyUSB0@ ttyUSB1@,-ttyUSB0,ttyUSB0@") << "ttyUSB0 ttyUSB1";
    QTest::newRow("link that starts dangling is away") << steps("ttyUSB0@ ttyUSB1@,-ttyUSB0 ttyUSB0!")
                                                       << "(ttyUSB0) ttyUSB1";
    QTest::newRow("replug under another name and socket")
        << steps("ttyUSB0=ftdi@1-1 ttyUSB1=cheap@1-2,-ttyUSB0,ttyUSB2=ftdi@1-4") << "ttyUSB2 ttyUSB1";
    QTest::newRow("ttyACM replugged under another name")
        << steps("ttyUSB0 ttyACM0=bare@1-3,-ttyACM0,ttyACM1=bare@1-3") << "ttyUSB0 ttyACM1";
    QTest::newRow("newcomer takes the lowest never given out")
        << steps("ttyUSB0 ttyUSB1,-ttyUSB0,ttyACM0") << "(ttyUSB0) ttyUSB1 ttyACM0";
    QTest::newRow("newcomer with a lower kernel name") << steps("ttyUSB5,ttyUSB0") << "ttyUSB5 ttyUSB0";
    QTest::newRow("all eight used: newcomer takes the lowest away")
        << steps("ttyS0 ttyS1 ttyS2 ttyS3 ttyS4 ttyS5 ttyS6 ttyS7,-ttyS2 -ttyS5,ttyUSB0")
        << "ttyS0 ttyS1 ttyUSB0 ttyS3 ttyS4 (ttyS5) ttyS6 ttyS7";
    QTest::newRow("all eight used: a displaced device is a newcomer")
        << steps("ttyS0 ttyS1 ttyS2 ttyS3 ttyS4 ttyS5 ttyS6 ttyS7,-ttyS2 -ttyS5,ttyUSB0,ttyS2")
        << "ttyS0 ttyS1 ttyUSB0 ttyS3 ttyS4 ttyS2 ttyS6 ttyS7";
    QTest::newRow("ninth device waits for a number")
        << steps("ttyS0 ttyS1 ttyS2 ttyS3 ttyS4 ttyS5 ttyS6 ttyS7 ttyS8,-ttyS3")
        << "ttyS0 ttyS1 ttyS2 ttyS8 ttyS4 ttyS5 ttyS6 ttyS7";
    QTest::newRow("identical adapters without serial by USB port")
        << steps("ttyUSB0=cheap@1-1 ttyUSB1=cheap@1-2,-ttyUSB0 -ttyUSB1,ttyUSB0=cheap@1-2 ttyUSB1=cheap@1-1")
        << "ttyUSB1 ttyUSB0";
    QTest::newRow("adapter without serial in another socket is new")
        << steps("ttyUSB0=cheap@1-1,-ttyUSB0,ttyUSB0=cheap@1-3") << "(ttyUSB0) ttyUSB0";
    QTest::newRow("two-port adapter moved: ports by interface")
        << steps("ttyUSB0=dual0@1-2 ttyUSB1=dual1@1-2,-ttyUSB0 -ttyUSB1,ttyUSB0=dual1@1-4 ttyUSB1=dual0@1-4")
        << "ttyUSB1 ttyUSB0";
    QTest::newRow("clones sharing a serial number keep theirs")
        << steps("ttyUSB0=ftdi@1-1 ttyUSB1=ftdi@1-2,-ttyUSB0") << "(ttyUSB0) ttyUSB1";
}

void TestPortDirectory::numbering()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);

    PtyLine line;
    QVERIFY(line.isValid());
    QVERIFY(QFile::remove(line.linkPath()));
    QVERIFY(change(line, steps.takeFirst()));
    PortDirectory directory = line.directory();
    // After each step the directory scans, as an open or a tooltip would.
    QString seen = numbering(directory);
    for (const QString &step : steps) {
        QVERIFY2(change(line, step), qPrintable(step));
        seen = numbering(directory);
    }
    QCOMPARE(seen, expected);
}

void TestPortDirectory::usbDescription_data()
{
    QTest::addColumn<QString>("dev");
    QTest::addColumn<QString>("description");
    QTest::newRow("serial number") << "ttyUSB0=ftdi@1-1" << "FT232R USB UART (FTDI), serial A50285BI";
    QTest::newRow("no serial number, no maker") << "ttyUSB0=cheap@1-2.3" << "USB2.0-Serial, USB port 1-2.3";
    QTest::newRow("ids only, ttyACM") << "ttyACM0=bare@2-1" << "USB device 1234:5678, USB port 2-1";
    QTest::newRow("no sysfs entry") << "ttyUSB0" << QString();
    QTest::newRow("link") << "ttyUSB0@" << QString();
}

void TestPortDirectory::usbDescription()
{
    QFETCH(QString, dev);
    QFETCH(QString, description);

    PtyLine line;
    QVERIFY(line.isValid());
    QVERIFY(QFile::remove(line.linkPath()));
    QVERIFY(change(line, dev));
    QCOMPARE(line.directory().port(1).device.description, description);
}

QTEST_GUILESS_MAIN(TestPortDirectory)
#include "tst_portdirectory.moc"
