#include "bytetext.h"

#include "messages.h"
#include "codepage.h"
#include "globals.h"

#include <QtTest>

using Key = ByteText::Key;
Q_DECLARE_METATYPE(ByteText::Key)

namespace {

// A byte in `mode` holding `stored`; above 255 only a decimal entry can store it.
ByteText byteHolding(qint32 mode, int stored)
{
    ByteText text;
    text.setMode(stored <= 255 ? mode : kDecimal);
    text.setValue(quint8(qMin(stored, 255)));
    if (stored > 255) {
        text.pressKey(Key::End);
        while (text.pressKey(Key::Backspace).edited) {}
        for (const QChar digit : QString::number(stored))
            text.typeCharacter(digit);
        text.setMode(mode);
    }
    return text;
}

} // namespace

class TestByteText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Globals::InitTables(); }
    void textFromValue_data();
    void textFromValue();
    void everyByteRoundTrips();
    void unknownModeKeepsText();
    void typing_data();
    void typing();
    void keys_data();
    void keys();
    void pick_data();
    void pick();
};

void TestByteText::textFromValue_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("ascii");
    QTest::addColumn<bool>("asciiError");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("binary");
    QTest::addColumn<QString>("control");

    const QString no = QStringLiteral("Invisible");
    const QString err = QStringLiteral("Error");
    QTest::newRow("0") << 0 << no << true << "00" << "0" << "00000000" << "NUL";
    QTest::newRow("31") << 31 << no << true << "1F" << "31" << "00011111" << "US";
    QTest::newRow("32") << 32 << "Space" << false << "20" << "32" << "00100000" << err;
    QTest::newRow("127") << 127 << no << true << "7F" << "127" << "01111111" << err;
    QTest::newRow("128") << 128 << "\u20AC" << false << "80" << "128" << "10000000" << err;
    QTest::newRow("129") << 129 << no << true << "81" << "129" << "10000001" << err;
    QTest::newRow("144") << 144 << no << true << "90" << "144" << "10010000" << err;
    QTest::newRow("145") << 145 << "\u2018" << false << "91" << "145" << "10010001" << err;
    QTest::newRow("146") << 146 << "\u2019" << false << "92" << "146" << "10010010" << err;
    QTest::newRow("147") << 147 << no << true << "93" << "147" << "10010011" << err;
    QTest::newRow("160") << 160 << no << true << "A0" << "160" << "10100000" << err;
    QTest::newRow("161") << 161 << "\u00A1" << false << "A1" << "161" << "10100001" << err;
    QTest::newRow("255") << 255 << "\u00FF" << false << "FF" << "255" << "11111111" << err;
    QTest::newRow("256") << 256 << "256" << true << "100" << "256" << "11111111" << err;
    QTest::newRow("999") << 999 << "999" << true << "3E7" << "999" << "11111111" << err;
}

void TestByteText::textFromValue()
{
    QFETCH(int, stored);
    QFETCH(QString, ascii);
    QFETCH(bool, asciiError);
    QFETCH(QString, hex);
    QFETCH(QString, decimal);
    QFETCH(QString, binary);
    QFETCH(QString, control);

    const struct {
        qint32 mode;
        QString text;
        bool error;
    } expected[] = {{kAscii, ascii, asciiError}, {kHex, hex, stored > 255},
                    {kDecimal, decimal, stored > 255}, {kBinary, binary, stored > 255},
                    {kControl, control, stored > 31}};
    for (const auto &row : expected) {
        const ByteText byte = byteHolding(row.mode, stored);
        QCOMPARE(byte.displayText(), row.text);
        QCOMPARE(byte.error(), row.error);
        QCOMPARE(byte.storedValue(), qint16(stored));
        QCOMPARE(byte.value(), quint8(qMin(stored, 255)));
        QCOMPARE(byte.caretPos(), 0);
    }
}

void TestByteText::everyByteRoundTrips()
{
    ByteText byte;
    for (int v = 0; v < 256; ++v) {
        byte.setValue(quint8(v));
        byte.setMode(kHex);
        bool isNumber = false;
        QCOMPARE(byte.displayText().toInt(&isNumber, 16), v);
        QVERIFY(isNumber);
        QCOMPARE(byte.displayText().size(), 2);
        QCOMPARE(byte.displayText(), byte.displayText().toUpper());
        byte.setMode(kBinary);
        QCOMPARE(byte.displayText().size(), 8);
        QCOMPARE(Globals::BinaryTextToByte(byte.displayText()), quint8(v));
        byte.setMode(kAscii);
        if (!byte.error() && v != 32)
            QCOMPARE(CodePage::fromUnicode(byte.displayText().at(0)), std::optional<quint8>(quint8(v)));
        byte.setMode(kControl);
        QCOMPARE(byte.error(), v >= 32);
    }
}

void TestByteText::unknownModeKeepsText()
{
    ByteText byte = byteHolding(kControl, 200);
    byte.setMode(kNoMode);
    byte.setValue(2);
    QCOMPARE(byte.displayText(), QStringLiteral("Error"));
    QCOMPARE(byte.error(), true);
    QCOMPARE(byte.value(), quint8(2));
    QVERIFY(!byte.typeCharacter(u'1'));
    QVERIFY(!byte.pressKey(Key::End).consumed);
    byte.setMode(kControl);
    QCOMPARE(byte.displayText(), QStringLiteral("STX"));
}

void TestByteText::typing_data()
{
    QTest::addColumn<qint32>("mode");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("accepted");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("caretAfter");

    QTest::newRow("hex full, leading zero, caret at end") << kHex << 10 << 2 << "b" << 1 << "AB" << 171 << 2;
    QTest::newRow("hex full, leading zero, caret at 0") << kHex << 10 << 0 << "b" << 0 << "0A" << 10 << 0;
    QTest::newRow("hex full, leading zero, caret inside") << kHex << 10 << 1 << "c" << 1 << "CA" << 202 << 1;
    QTest::newRow("hex full, no leading zero") << kHex << 26 << 2 << "5" << 0 << "1A" << 26 << 2;
    QTest::newRow("hex rejects G and tab") << kHex << 10 << 2 << "G\t" << 0 << "0A" << 10 << 2;
    QTest::newRow("decimal, caret at 0") << kDecimal << 0 << 0 << "4" << 1 << "40" << 40 << 1;
    QTest::newRow("decimal drops leading zero") << kDecimal << 0 << 1 << "579" << 3 << "579" << 579 << 3;
    QTest::newRow("decimal full, no leading zero") << kDecimal << 255 << 3 << "1" << 0 << "255" << 255 << 3;
    QTest::newRow("decimal rejects letter") << kDecimal << 7 << 1 << "a" << 0 << "7" << 7 << 1;
    QTest::newRow("decimal above a byte is full") << kDecimal << 300 << 3 << "1" << 0 << "300" << 300 << 3;
    QTest::newRow("binary shifts in at end") << kBinary << 5 << 8 << "1" << 1 << "00001011" << 11 << 8;
    QTest::newRow("binary full, caret at 0") << kBinary << 5 << 0 << "1" << 0 << "00000101" << 5 << 0;
    QTest::newRow("binary full, no leading zero") << kBinary << 128 << 8 << "0" << 0 << "10000000" << 128 << 8;
    QTest::newRow("binary rejects 2") << kBinary << 5 << 8 << "2" << 0 << "00000101" << 5 << 8;
    QTest::newRow("ASCII letter keeps its case") << kAscii << 65 << 0 << "a" << 1 << "a" << 97 << 0;
    QTest::newRow("ASCII space") << kAscii << 65 << 0 << " " << 1 << "Space" << 32 << 0;
    QTest::newRow("ASCII no-break space") << kAscii << 65 << 0 << "\u00A0" << 1 << "Invisible" << 160 << 0;
    QTest::newRow("ASCII outside code page") << kAscii << 65 << 0 << "\u0101" << 0 << "A" << 65 << 0;
    QTest::newRow("ASCII control char") << kAscii << 65 << 0 << "\r" << 0 << "A" << 65 << 0;
    QTest::newRow("control code ignores typing") << kControl << 2 << 0 << "A1" << 0 << "STX" << 2 << 0;
}

void TestByteText::typing()
{
    QFETCH(qint32, mode);
    QFETCH(int, start);
    QFETCH(int, caret);
    QFETCH(QString, typed);
    QFETCH(int, accepted);
    QFETCH(QString, text);
    QFETCH(int, stored);
    QFETCH(int, caretAfter);

    ByteText byte = byteHolding(mode, start);
    byte.setCaretPos(caret);
    int taken = 0;
    for (const QChar c : typed)
        taken += byte.typeCharacter(c) ? 1 : 0;
    QCOMPARE(taken, accepted);
    QCOMPARE(byte.displayText(), text);
    QCOMPARE(byte.storedValue(), qint16(stored));
    QCOMPARE(byte.error(), text == QLatin1String("Invisible") || (mode != kAscii && stored > 255));
    QCOMPARE(byte.caretPos(), caretAfter);
}

void TestByteText::keys_data()
{
    QTest::addColumn<qint32>("mode");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("caret");
    QTest::addColumn<ByteText::Key>("key");
    QTest::addColumn<bool>("consumed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("caretAfter");

    QTest::newRow("hex left") << kHex << 10 << 2 << Key::Left << true << "0A" << 10 << 1;
    QTest::newRow("hex left at 0") << kHex << 10 << 0 << Key::Left << true << "0A" << 10 << 0;
    QTest::newRow("hex right at end") << kHex << 10 << 2 << Key::Right << true << "0A" << 10 << 2;
    QTest::newRow("hex home") << kHex << 10 << 2 << Key::Home << true << "0A" << 10 << 0;
    QTest::newRow("decimal end") << kDecimal << 255 << 0 << Key::End << true << "255" << 255 << 3;
    QTest::newRow("hex backspace at end") << kHex << 171 << 2 << Key::Backspace << true << "A" << 10 << 1;
    QTest::newRow("hex backspace at 0") << kHex << 171 << 0 << Key::Backspace << true << "AB" << 171 << 0;
    QTest::newRow("hex delete at end") << kHex << 171 << 2 << Key::Delete << true << "AB" << 171 << 2;
    QTest::newRow("decimal delete inside") << kDecimal << 255 << 1 << Key::Delete << true << "25" << 25 << 1;
    QTest::newRow("decimal backspace to empty") << kDecimal << 7 << 1 << Key::Backspace << true << "" << 0 << 0;
    QTest::newRow("binary backspace") << kBinary << 5 << 8 << Key::Backspace << true << "0000010" << 2 << 7;
    QTest::newRow("ASCII end") << kAscii << 65 << 0 << Key::End << false << "A" << 65 << 0;
    QTest::newRow("control delete") << kControl << 2 << 0 << Key::Delete << false << "STX" << 2 << 0;
}

void TestByteText::keys()
{
    QFETCH(qint32, mode);
    QFETCH(int, start);
    QFETCH(int, caret);
    QFETCH(ByteText::Key, key);
    QFETCH(bool, consumed);
    QFETCH(QString, text);
    QFETCH(int, stored);
    QFETCH(int, caretAfter);

    ByteText byte = byteHolding(mode, start);
    byte.setCaretPos(caret);
    const QString before = byte.displayText();
    const ByteText::KeyResult result = byte.pressKey(key);
    QCOMPARE(result.consumed, consumed);
    QCOMPARE(result.edited, text != before);
    QCOMPARE(byte.displayText(), text);
    QCOMPARE(byte.storedValue(), qint16(stored));
    QCOMPARE(byte.caretPos(), caretAfter);
}

void TestByteText::pick_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("startCode");
    QTest::addColumn<int>("picked");
    QTest::addColumn<QString>("text");

    QTest::newRow("STX to DC3") << 2 << 2 << 19 << "DC3";
    QTest::newRow("Error to NUL") << 200 << 0 << 0 << "NUL";
    QTest::newRow("US kept") << 31 << 31 << 31 << "US";
    QTest::newRow("code past the table") << 2 << 2 << 40 << "Error";
}

void TestByteText::pick()
{
    QFETCH(int, start);
    QFETCH(int, startCode);
    QFETCH(int, picked);
    QFETCH(QString, text);

    ByteText byte = byteHolding(kControl, start);
    QCOMPARE(byte.codeForPick(), quint8(startCode));
    byte.takePickedCode(quint8(picked));
    QCOMPARE(byte.value(), quint8(picked));
    QCOMPARE(byte.displayText(), text);
    QCOMPARE(byte.error(), picked > 31);
}

QTEST_GUILESS_MAIN(TestByteText)
#include "tst_bytetext.moc"
