#include "portdirectory.h"

#include "ptyline.h"

#include <QtTest>

// The device rule on temporary folders. A dev entry "name" is an empty file,
// "name@" a link to a pseudo-terminal slave (as socat makes), "name!" a link to
// nothing (a socat pair that has gone), "name/" a folder;
// a sysfs entry "name=T" gives name's UART type T.
class TestPortDirectory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void devices_data();
    void devices();
    void devicePath_data();
    void devicePath();

private:
    static bool populate(const PtyLine &line, const QStringList &dev, const QStringList &sys);
};

bool TestPortDirectory::populate(const PtyLine &line, const QStringList &dev, const QStringList &sys)
{
    const QDir devDir(line.devDir());
    QFile::remove(line.linkPath());
    for (const QString &entry : dev) {
        if (entry.endsWith(u'@')) {
            if (!QFile::link(line.slavePath(), devDir.filePath(entry.chopped(1))))
                return false;
        } else if (entry.endsWith(u'!')) {
            if (!QFile::link(devDir.filePath(QStringLiteral("gone")), devDir.filePath(entry.chopped(1))))
                return false;
        } else if (entry.endsWith(u'/')) {
            if (!devDir.mkdir(entry.chopped(1)))
                return false;
        } else if (QFile file(devDir.filePath(entry)); !file.open(QIODevice::WriteOnly)) {
            return false;
        }
    }
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

void TestPortDirectory::devices_data()
{
    QTest::addColumn<QStringList>("dev");
    QTest::addColumn<QStringList>("sys");
    QTest::addColumn<QStringList>("expected");

    const auto list = [](const char *words) {
        return QString::fromLatin1(words).split(u' ', Qt::SkipEmptyParts);
    };
    QTest::newRow("empty folder") << QStringList() << QStringList() << QStringList();
    QTest::newRow("UART type 0 is absent") << list("ttyS0") << list("ttyS0=0") << QStringList();
    QTest::newRow("UART type non-zero is present") << list("ttyS0") << list("ttyS0=4") << list("ttyS0");
    QTest::newRow("no type attribute is present") << list("ttyS0") << QStringList() << list("ttyS0");
    QTest::newRow("UARTs mixed") << list("ttyS3 ttyS2 ttyS1 ttyS0") << list("ttyS0=0 ttyS1=4 ttyS2=0")
                                 << list("ttyS1 ttyS3");
    QTest::newRow("group order") << list("rfcomm0 ttyAMA0 ttyACM0 ttyUSB0 ttyS0") << list("ttyS0=4")
                                 << list("ttyS0 ttyUSB0 ttyACM0 ttyAMA0 rfcomm0");
    QTest::newRow("ascending number, not text") << list("ttyUSB10 ttyUSB2 ttyUSB1 ttyACM11 ttyACM3 ttyS10 ttyS9")
                                                << QStringList()
                                                << list("ttyS9 ttyS10 ttyUSB1 ttyUSB2 ttyUSB10 ttyACM3 ttyACM11");
    QTest::newRow("socat link to a pty") << list("ttyUSB0@") << QStringList() << list("ttyUSB0");
    QTest::newRow("dangling link is no port") << list("ttyUSB0! ttyUSB1@") << QStringList() << list("ttyUSB1");
    QTest::newRow("link named ttyS without attribute") << list("ttyS7@") << QStringList() << list("ttyS7");
    QTest::newRow("type only rules ttyS") << list("ttyUSB0") << list("ttyUSB0=0") << list("ttyUSB0");
    QTest::newRow("other names") << list("tty tty0 tty63 ttyUSB ttyUSBa ttyUSB1a ttySAC0 ttyS-1 ttyS+1 "
                                         "console ptmx ttyprintk rfcomm xttyUSB0")
                                 << QStringList() << QStringList();
    QTest::newRow("folders are no devices") << list("ttyUSB0/ ttyACM0") << QStringList() << list("ttyACM0");
}

void TestPortDirectory::devices()
{
    QFETCH(QStringList, dev);
    QFETCH(QStringList, sys);
    QFETCH(QStringList, expected);

    PtyLine line;
    QVERIFY(line.isValid());
    QVERIFY(populate(line, dev, sys));
    for (QString &name : expected)
        name = line.devDir() + u'/' + name;
    QCOMPARE(line.directory().devices(), expected);
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
}

void TestPortDirectory::devicePath()
{
    QFETCH(int, port);
    QFETCH(QString, name);

    PtyLine line;
    QVERIFY(line.isValid());
    QVERIFY(populate(line, {QStringLiteral("ttyACM0"), QStringLiteral("ttyUSB2"), QStringLiteral("ttyUSB0@")}, {}));
    QCOMPARE(line.directory().devicePath(port), name.isEmpty() ? QString() : line.devDir() + u'/' + name);
}

QTEST_GUILESS_MAIN(TestPortDirectory)
#include "tst_portdirectory.moc"
