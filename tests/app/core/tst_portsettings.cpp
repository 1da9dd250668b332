#include "portsettings.h"

#include <QtTest>

class TestPortSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parsesLineSettings_data();
    void parsesLineSettings();
    void rejectsMalformedText_data();
    void rejectsMalformedText();
};

void TestPortSettings::parsesLineSettings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("baud");
    QTest::addColumn<Parity>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<QString>("written");

    const auto row = [](const char *name, const char *text, int baud, Parity parity, int bits, int stop,
                        const char *written) {
        QTest::newRow(name) << QString::fromLatin1(text) << baud << parity << bits << stop
                            << QString::fromLatin1(written);
    };
    row("default", "9600,n,8,1", 9600, Parity::None, 8, 1, "9600,n,8,1");
    row("slowest", "2400,n,8,1", 2400, Parity::None, 8, 1, "2400,n,8,1");
    row("fastest", "115200,n,8,1", 115200, Parity::None, 8, 1, "115200,n,8,1");
    row("even, two stop bits", "115200,e,8,2", 115200, Parity::Even, 8, 2, "115200,e,8,2");
    row("odd", "19200,o,8,1", 19200, Parity::Odd, 8, 1, "19200,o,8,1");
    row("upper-case parity", "4800,E,8,1", 4800, Parity::Even, 8, 1, "4800,e,8,1");
    row("seven data bits", "9600,e,7,1", 9600, Parity::Even, 7, 1, "9600,e,7,1");
    row("five data bits", "9600,n,5,2", 9600, Parity::None, 5, 2, "9600,n,5,2");
}

void TestPortSettings::parsesLineSettings()
{
    QFETCH(QString, text);
    QFETCH(int, baud);
    QFETCH(Parity, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    QFETCH(QString, written);

    const std::optional<PortSettings> settings = parsePortSettings(text);
    QVERIFY(settings);
    QCOMPARE(settings->baud, baud);
    QCOMPARE(settings->parity, parity);
    QCOMPARE(settings->dataBits, dataBits);
    QCOMPARE(settings->stopBits, stopBits);
    QCOMPARE(toString(*settings), written);
    QCOMPARE(parsePortSettings(written), settings);
}

void TestPortSettings::rejectsMalformedText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("speed only") << QStringLiteral("9600");
    QTest::newRow("three fields") << QStringLiteral("9600,n,8");
    QTest::newRow("five fields") << QStringLiteral("9600,n,8,1,1");
    QTest::newRow("trailing comma") << QStringLiteral("9600,n,8,1,");
    QTest::newRow("no speed") << QStringLiteral(",n,8,1");
    QTest::newRow("speed not a number") << QStringLiteral("fast,n,8,1");
#ifndef Q_OS_WIN
    // termios has no constant for it; a Win32 driver takes or refuses a rate itself.
    QTest::newRow("speed without constant") << QStringLiteral("9601,n,8,1");
#endif
    QTest::newRow("negative speed") << QStringLiteral("-9600,n,8,1");
    QTest::newRow("zero speed") << QStringLiteral("0,n,8,1");
    QTest::newRow("no parity") << QStringLiteral("9600,,8,1");
    QTest::newRow("unknown parity") << QStringLiteral("9600,x,8,1");
    QTest::newRow("parity word") << QStringLiteral("9600,none,8,1");
    QTest::newRow("nine data bits") << QStringLiteral("9600,n,9,1");
    QTest::newRow("four data bits") << QStringLiteral("9600,n,4,1");
    QTest::newRow("no stop bits") << QStringLiteral("9600,n,8,0");
    QTest::newRow("three stop bits") << QStringLiteral("9600,n,8,3");
    QTest::newRow("stop bits not a number") << QStringLiteral("9600,n,8,x");
    QTest::newRow("semicolons") << QStringLiteral("9600;n;8;1");
}

void TestPortSettings::rejectsMalformedText()
{
    QFETCH(QString, text);
    QVERIFY(!parsePortSettings(text));
}

QTEST_GUILESS_MAIN(TestPortSettings)
#include "tst_portsettings.moc"
