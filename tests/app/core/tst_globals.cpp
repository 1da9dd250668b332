#include "globals.h"

#include "messages.h"

#include <QtTest>

class TestGlobals : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsZeroed();
    void initTables();
    void controlCodeFromName_data();
    void controlCodeFromName();
    void controlCodeNamesRoundTrip();
    void binaryTextToByte_data();
    void binaryTextToByte();
    void binaryRoundTripAllBytes();
    void slotAccessIsChecked_data();
    void slotAccessIsChecked();
};

void TestGlobals::startsZeroed()
{
    const SerialString zero{};
    for (int slot = 0; slot < Globals::SlotTable::kSlots; ++slot) {
        const SerialString s = Globals::MessageTable.slot(slot);
        QCOMPARE(s, zero);
    }
    QCOMPARE(Globals::CopyBuffer, zero);
    QCOMPARE(Globals::ReceiveString, zero);
    QCOMPARE(Globals::EditorSlot, qint16(0));
    QCOMPARE(Globals::ChosenMode, 0);
}

void TestGlobals::initTables()
{
    Globals::InitTables();
    QCOMPARE(Globals::MessageNames[0], QStringLiteral("Serial enable"));
    QCOMPARE(Globals::MessageNames[9], QStringLiteral("Serial disable"));
    QCOMPARE(Globals::MessageNames[10], QStringLiteral("Serial enable reply"));
    QCOMPARE(Globals::MessageNames[19], QStringLiteral("Serial disable reply"));
    QCOMPARE(Globals::MessageNames[20], QStringLiteral("External on"));
    QCOMPARE(Globals::MessageNames[21], QStringLiteral("External off"));
    QCOMPARE(Globals::ControlCodeNames[0], QStringLiteral("NUL"));
    QCOMPARE(Globals::ControlCodeNames[13], QStringLiteral("CR"));
    QCOMPARE(Globals::ControlCodeNames[31], QStringLiteral("US"));

    const auto names = Globals::MessageNames;
    Globals::InitTables();
    QCOMPARE(Globals::MessageNames, names);
}

void TestGlobals::controlCodeFromName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::newRow("US") << QStringLiteral("US") << 31;
    QTest::newRow("ESC") << QStringLiteral("ESC") << 27;
    QTest::newRow("STX") << QStringLiteral("STX") << 2;
    QTest::newRow("NUL") << QStringLiteral("NUL") << 0;
    QTest::newRow("lower case") << QStringLiteral("nul") << 0;
    QTest::newRow("lower case esc") << QStringLiteral("esc") << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("delete") << QStringLiteral("DEL") << 0;
    QTest::newRow("padded") << QStringLiteral(" CR") << 0;
    QTest::newRow("Error") << QStringLiteral("Error") << 0;
}

void TestGlobals::controlCodeFromName()
{
    QFETCH(QString, name);
    QFETCH(int, code);
    QCOMPARE(Globals::ControlCodeFromName(name), qint16(code));
}

void TestGlobals::controlCodeNamesRoundTrip()
{
    Globals::InitTables();
    for (int code = 0; code < Globals::kControlCodes; ++code)
        QCOMPARE(Globals::ControlCodeFromName(Globals::ControlCodeNames[code]), qint16(code));
}

void TestGlobals::binaryTextToByte_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("101") << QStringLiteral("101") << 5;
    QTest::newRow("nine ones") << QStringLiteral("111111111") << 255;
    QTest::newRow("one and eight zeros") << QStringLiteral("100000000") << 0;
    QTest::newRow("letter as zero") << QStringLiteral("1x1") << 5;
    QTest::newRow("space as zero") << QStringLiteral("1 1") << 5;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("last eight count") << QStringLiteral("1110000001") << 129;
}

void TestGlobals::binaryTextToByte()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(Globals::BinaryTextToByte(text), quint8(value));
}

void TestGlobals::binaryRoundTripAllBytes()
{
    QCOMPARE(Globals::ByteToBinaryText(0), QStringLiteral("0"));
    QCOMPARE(Globals::ByteToBinaryText(1), QStringLiteral("1"));
    QCOMPARE(Globals::ByteToBinaryText(128), QStringLiteral("10000000"));
    QCOMPARE(Globals::ByteToBinaryText(255), QStringLiteral("11111111"));
    for (int v = 0; v < 256; ++v) {
        const QString text = Globals::ByteToBinaryText(quint8(v));
        QVERIFY(text.size() <= 8);
        QVERIFY(v == 0 || text.startsWith(u'1'));
        QCOMPARE(Globals::BinaryTextToByte(text), quint8(v));
    }
}

void TestGlobals::slotAccessIsChecked_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("valid");
    QTest::newRow("first") << 0 << true;
    QTest::newRow("last") << 24 << true;
    QTest::newRow("one past the end") << 25 << false;
    QTest::newRow("negative") << -1 << false;
    QTest::newRow("far out") << 32767 << false;
}

void TestGlobals::slotAccessIsChecked()
{
    QFETCH(int, slot);
    QFETCH(bool, valid);

    SerialString message;
    message.count = 3;
    message.values[2] = 0xAB;
    message.modes[31] = quint8(ByteMode::CONTROL);

    Globals::SlotTable table;
    table.setSlot(slot, message);
    const SerialString back = table.slot(slot);
    QCOMPARE(back.count, qint16(valid ? 3 : 0));
    QCOMPARE(back.values[2], quint8(valid ? 0xAB : 0));
    QCOMPARE(back.modes[31], quint8(valid ? 4 : 0));
    for (int other = 0; other < Globals::SlotTable::kSlots; ++other) {
        if (other != slot)
            QCOMPARE(table.slot(other).count, qint16(0));
    }
}

QTEST_GUILESS_MAIN(TestGlobals)
#include "tst_globals.moc"
