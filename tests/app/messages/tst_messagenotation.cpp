#include "globals.h"
#include "messagenotation.h"
#include "messages.h"

#include <QtTest>

Q_DECLARE_METATYPE(SerialString)

class TestMessageNotation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyValueRoundTrips_data();
    void everyValueRoundTrips();
    void reads_data();
    void reads();
    void refuses_data();
    void refuses();
};

void TestMessageNotation::everyValueRoundTrips_data()
{
    QTest::addColumn<qint32>("mode");
    QTest::newRow("ASCII") << kAscii;
    QTest::newRow("HEX") << kHex;
    QTest::newRow("DECIMAL") << kDecimal;
    QTest::newRow("BINARY") << kBinary;
    QTest::newRow("CONTROL") << kControl;
}

// Each value alone, and the 256 values in messages of 32, so that neighbours in one
// text (an ASCII run) are read apart again.
void TestMessageNotation::everyValueRoundTrips()
{
    QFETCH(qint32, mode);
    for (int first = 0; first < 256; first += SerialString::kCapacity) {
        SerialString message = makeMessage(repeated(SerialString::kCapacity, 0, ByteMode(mode)));
        for (int i = 0; i < SerialString::kCapacity; ++i)
            message.values[i] = quint8(first + i);
        const QString text = MessageNotation::write(message);
        const MessageNotation::Reading reading = MessageNotation::read(text);
        QVERIFY2(!reading.error, qPrintable(text + u' ' + (reading.error ? reading.error->text : QString())));
        QCOMPARE(reading.message, message);
        for (int i = 0; i < SerialString::kCapacity; ++i) {
            const SerialString one = makeMessage({{first + i, mode}});
            QCOMPARE(MessageNotation::read(MessageNotation::write(one)).message, one);
        }
    }
}

void TestMessageNotation::reads_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<SerialString>("message");
    QTest::newRow("frame") << QStringLiteral("STX 0x50 \"ON\" ETX")
                           << makeMessage({{2, kControl}, {0x50, kHex}, {'O', kAscii}, {'N', kAscii}, {3, kControl}});
    QTest::newRow("every mode") << QStringLiteral("  0x4F 79\t0b1001111 \"O\" SI ")
                                << makeMessage({{79, kHex}, {79, kDecimal}, {79, kBinary}, {79, kAscii}, {15, kControl}});
    QTest::newRow("escapes") << QStringLiteral("\"\\\"\\\\\\xff\"")
                             << makeMessage({{'"', kAscii}, {'\\', kAscii}, {255, kAscii}});
    QTest::newRow("text beside a word") << QStringLiteral("\"A\"CR\"B\"")
                                        << makeMessage({{'A', kAscii}, {13, kControl}, {'B', kAscii}});
    QTest::newRow("empty") << QString() << SerialString{};
    QTest::newRow("32 bytes") << QStringLiteral("\"%1\"").arg(QString(32, u'x'))
                              << makeMessage(repeated(32, 'x', ByteMode::ASCII));
}

void TestMessageNotation::reads()
{
    QFETCH(QString, text);
    QFETCH(SerialString, message);
    const MessageNotation::Reading reading = MessageNotation::read(text);
    QVERIFY(!reading.error);
    QCOMPARE(reading.message, message);
}

void TestMessageNotation::refuses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unknown name") << QStringLiteral("STX FOO") << 5 << QStringLiteral("unknown name \"FOO\"");
    QTest::newRow("lower-case name") << QStringLiteral("stx") << 1 << QStringLiteral("unknown name");
    QTest::newRow("decimal over 255") << QStringLiteral("1 256") << 3 << QStringLiteral("256 is not a byte");
    QTest::newRow("three hex digits") << QStringLiteral("0x100") << 1 << QStringLiteral("one or two hexadecimal");
    QTest::newRow("no hex digit") << QStringLiteral("0x") << 1 << QStringLiteral("one or two hexadecimal");
    QTest::newRow("nine binary digits") << QStringLiteral("0b111111111") << 1 << QStringLiteral("one to eight binary");
    QTest::newRow("binary 2") << QStringLiteral("0b102") << 1 << QStringLiteral("one to eight binary");
    QTest::newRow("33 bytes") << QStringLiteral("\"%1\"").arg(QString(33, u'x')) << 34 << QStringLiteral("33rd byte");
    QTest::newRow("missing quote") << QStringLiteral("ACK \"ON") << 5 << QStringLiteral("closing \"");
    QTest::newRow("bad escape") << QStringLiteral("\"\\n\"") << 2 << QStringLiteral("\\x and two hexadecimal");
    QTest::newRow("short escape") << QStringLiteral("\"\\x4\"") << 2 << QStringLiteral("\\x and two hexadecimal");
    QTest::newRow("not ASCII") << QStringLiteral("\"é\"") << 2 << QStringLiteral("printable ASCII");
    QTest::newRow("named code as CNT") << QStringLiteral("CNT(3)") << 1 << QStringLiteral("CNT(32) to CNT(255)");
}

void TestMessageNotation::refuses()
{
    QFETCH(QString, text);
    QFETCH(int, column);
    QFETCH(QString, expected);
    const MessageNotation::Reading reading = MessageNotation::read(text);
    QVERIFY(reading.error);
    QCOMPARE(reading.error->column, column);
    QVERIFY2(reading.error->text.contains(expected), qPrintable(reading.error->text));
}

QTEST_MAIN(TestMessageNotation)
#include "tst_messagenotation.moc"
