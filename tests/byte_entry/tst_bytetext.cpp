#include "bytetext.h"

#include "codepage.h"
#include "globals.h"
#include "serialstring.h"

#include <QtTest>

using Key = ByteText::Key;

Q_DECLARE_METATYPE(ByteText::Key)

namespace {

constexpr qint32 kAscii = qint32(ByteMode::ASCII);
constexpr qint32 kHex = qint32(ByteMode::HEX);
constexpr qint32 kDecimal = qint32(ByteMode::DECIMAL);
constexpr qint32 kBinary = qint32(ByteMode::BINARY);
constexpr qint32 kControl = qint32(ByteMode::CONTROL);
constexpr qint32 kNoMode = 7;

// A byte in `mode` holding `stored`, which above 255 only a decimal entry can give.
ByteText byteHolding(qint32 mode, int stored)
{
    ByteText text;
    if (stored <= 255) {
        text.setMode(mode);
        text.setValue(quint8(stored));
        return text;
    }
    text.setMode(kDecimal);
    text.setValue(0);
    text.setCaretPos(1);
    text.pressKey(Key::Backspace);
    for (const QChar digit : QString::number(stored))
        text.typeCharacter(digit);
    text.setMode(mode);
    return text;
}

} // namespace

class TestByteText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void newInstanceIsEmpty();
    void textFromValue_data();
    void textFromValue();
    void everyByteRoundTrips();
    void unknownModeKeepsText();
    void typing_data();
    void typing();
    void decimalEntryAboveByte();
    void keys_data();
    void keys();
    void pick_data();
    void pick();
};

void TestByteText::initTestCase()
{
    Globals::InitTables();
}

void TestByteText::newInstanceIsEmpty()
{
    const ByteText text;
    QCOMPARE(text.displayText(), QString());
    QCOMPARE(text.value(), quint8(0));
    QCOMPARE(text.mode(), kAscii);
    QCOMPARE(text.error(), false);
    QCOMPARE(text.caretPos(), 0);
}

void TestByteText::textFromValue_data()
{
    QTest::addColumn<qint32>("mode");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("error");

    const QString invisible = QStringLiteral("Invisible");
    QTest::newRow("ASCII 0") << kAscii << 0 << invisible << true;
    QTest::newRow("ASCII 31") << kAscii << 31 << invisible << true;
    QTest::newRow("ASCII 32") << kAscii << 32 << QStringLiteral("Space") << false;
    QTest::newRow("ASCII 65") << kAscii << 65 << QStringLiteral("A") << false;
    QTest::newRow("ASCII 127") << kAscii << 127 << invisible << true;
    QTest::newRow("ASCII 128") << kAscii << 128 << QStringLiteral("\u20AC") << false;
    QTest::newRow("ASCII 129") << kAscii << 129 << invisible << true;
    QTest::newRow("ASCII 144") << kAscii << 144 << invisible << true;
    QTest::newRow("ASCII 145") << kAscii << 145 << QStringLiteral("\u2018") << false;
    QTest::newRow("ASCII 146") << kAscii << 146 << QStringLiteral("\u2019") << false;
    QTest::newRow("ASCII 147") << kAscii << 147 << invisible << true;
    QTest::newRow("ASCII 160") << kAscii << 160 << invisible << true;
    QTest::newRow("ASCII 161") << kAscii << 161 << QStringLiteral("\u00A1") << false;
    QTest::newRow("ASCII 255") << kAscii << 255 << QStringLiteral("\u00FF") << false;
    QTest::newRow("ASCII 256") << kAscii << 256 << QStringLiteral("256") << true;
    QTest::newRow("ASCII 999") << kAscii << 999 << QStringLiteral("999") << true;

    QTest::newRow("HEX 0") << kHex << 0 << QStringLiteral("00") << false;
    QTest::newRow("HEX 10") << kHex << 10 << QStringLiteral("0A") << false;
    QTest::newRow("HEX 127") << kHex << 127 << QStringLiteral("7F") << false;
    QTest::newRow("HEX 255") << kHex << 255 << QStringLiteral("FF") << false;
    QTest::newRow("HEX 256") << kHex << 256 << QStringLiteral("100") << true;
    QTest::newRow("HEX 300") << kHex << 300 << QStringLiteral("12C") << true;
    QTest::newRow("HEX 999") << kHex << 999 << QStringLiteral("3E7") << true;

    QTest::newRow("DECIMAL 0") << kDecimal << 0 << QStringLiteral("0") << false;
    QTest::newRow("DECIMAL 65") << kDecimal << 65 << QStringLiteral("65") << false;
    QTest::newRow("DECIMAL 255") << kDecimal << 255 << QStringLiteral("255") << false;
    QTest::newRow("DECIMAL 256") << kDecimal << 256 << QStringLiteral("256") << true;
    QTest::newRow("DECIMAL 999") << kDecimal << 999 << QStringLiteral("999") << true;

    QTest::newRow("BINARY 0") << kBinary << 0 << QStringLiteral("00000000") << false;
    QTest::newRow("BINARY 5") << kBinary << 5 << QStringLiteral("00000101") << false;
    QTest::newRow("BINARY 128") << kBinary << 128 << QStringLiteral("10000000") << false;
    QTest::newRow("BINARY 255") << kBinary << 255 << QStringLiteral("11111111") << false;
    QTest::newRow("BINARY 256") << kBinary << 256 << QStringLiteral("11111111") << true;
    QTest::newRow("BINARY 999") << kBinary << 999 << QStringLiteral("11111111") << true;

    QTest::newRow("CONTROL 0") << kControl << 0 << QStringLiteral("NUL") << false;
    QTest::newRow("CONTROL 2") << kControl << 2 << QStringLiteral("STX") << false;
    QTest::newRow("CONTROL 31") << kControl << 31 << QStringLiteral("US") << false;
    QTest::newRow("CONTROL 32") << kControl << 32 << QStringLiteral("Error") << true;
    QTest::newRow("CONTROL 200") << kControl << 200 << QStringLiteral("Error") << true;
    QTest::newRow("CONTROL 999") << kControl << 999 << QStringLiteral("Error") << true;
}

void TestByteText::textFromValue()
{
    QFETCH(qint32, mode);
    QFETCH(int, stored);
    QFETCH(QString, text);
    QFETCH(bool, error);

    const ByteText byte = byteHolding(mode, stored);
    QCOMPARE(byte.storedValue(), qint16(stored));
    QCOMPARE(byte.value(), quint8(qMin(stored, 255)));
    QCOMPARE(byte.displayText(), text);
    QCOMPARE(byte.error(), error);
    QCOMPARE(byte.caretPos(), 0);
}

void TestByteText::everyByteRoundTrips()
{
    ByteText byte;
    for (int v = 0; v < 256; ++v) {
        byte.setValue(quint8(v));
        byte.setMode(kHex);
        QCOMPARE(byte.displayText().size(), 2);
        QCOMPARE(byte.displayText(), byte.displayText().toUpper());
        QCOMPARE(byte.displayText().toInt(nullptr, 16), v);
        byte.setMode(kDecimal);
        QCOMPARE(byte.displayText().toInt(), v);
        byte.setMode(kBinary);
        QCOMPARE(byte.displayText().size(), 8);
        QCOMPARE(Globals::BinaryTextToByte(byte.displayText()), quint8(v));
        byte.setMode(kAscii);
        if (!byte.error() && v != 32) {
            QCOMPARE(byte.displayText().size(), 1);
            QCOMPARE(CodePage::fromUnicode(byte.displayText().at(0)), std::optional<quint8>(quint8(v)));
        }
        byte.setMode(kControl);
        QCOMPARE(byte.error(), v >= 32);
        if (v < 32)
            QCOMPARE(Globals::ControlCodeFromName(byte.displayText()), qint16(v));
    }
}

void TestByteText::unknownModeKeepsText()
{
    ByteText byte;
    byte.setMode(kControl);
    byte.setValue(200);
    byte.setMode(kNoMode);
    QCOMPARE(byte.displayText(), QStringLiteral("Error"));
    QCOMPARE(byte.error(), true);

    byte.setValue(2);
    QCOMPARE(byte.displayText(), QStringLiteral("Error"));
    QCOMPARE(byte.value(), quint8(2));
    QCOMPARE(byte.typeCharacter(u'1'), false);
    QCOMPARE(byte.pressKey(Key::End).consumed, false);
    QCOMPARE(byte.caretPos(), 0);

    byte.setMode(kControl);
    QCOMPARE(byte.displayText(), QStringLiteral("STX"));
    QCOMPARE(byte.error(), false);
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
    QTest::addColumn<bool>("error");
    QTest::addColumn<int>("caretAfter");

    QTest::newRow("hex full, leading zero, caret at end") << kHex << 10 << 2 << "b" << 1 << "AB" << 171 << false << 2;
    QTest::newRow("hex full, leading zero, caret at 0") << kHex << 10 << 0 << "b" << 0 << "0A" << 10 << false << 0;
    QTest::newRow("hex full, leading zero, caret inside") << kHex << 10 << 1 << "c" << 1 << "CA" << 202 << false << 1;
    QTest::newRow("hex full, no leading zero") << kHex << 26 << 2 << "5" << 0 << "1A" << 26 << false << 2;
    QTest::newRow("hex shifts twice") << kHex << 0 << 2 << "fe" << 2 << "FE" << 254 << false << 2;
    QTest::newRow("hex rejects G") << kHex << 10 << 2 << "G" << 0 << "0A" << 10 << false << 2;
    QTest::newRow("hex rejects control char") << kHex << 10 << 2 << "\t" << 0 << "0A" << 10 << false << 2;
    QTest::newRow("decimal, caret at 0") << kDecimal << 0 << 0 << "4" << 1 << "40" << 40 << false << 1;
    QTest::newRow("decimal keeps leading zero") << kDecimal << 0 << 1 << "57" << 2 << "057" << 57 << false << 3;
    QTest::newRow("decimal drops leading zero") << kDecimal << 0 << 1 << "579" << 3 << "579" << 579 << true << 3;
    QTest::newRow("decimal full, no leading zero") << kDecimal << 255 << 3 << "1" << 0 << "255" << 255 << false << 3;
    QTest::newRow("decimal full, caret at 0") << kDecimal << 25 << 0 << "9" << 1 << "925" << 925 << true << 1;
    QTest::newRow("decimal rejects letter") << kDecimal << 7 << 1 << "a" << 0 << "7" << 7 << false << 1;
    QTest::newRow("binary shifts in at end") << kBinary << 5 << 8 << "1" << 1 << "00001011" << 11 << false << 8;
    QTest::newRow("binary full, caret at 0") << kBinary << 5 << 0 << "1" << 0 << "00000101" << 5 << false << 0;
    QTest::newRow("binary full, no leading zero") << kBinary << 128 << 8 << "01" << 0 << "10000000" << 128 << false << 8;
    QTest::newRow("binary rejects 2") << kBinary << 5 << 8 << "2" << 0 << "00000101" << 5 << false << 8;
    QTest::newRow("ASCII letter keeps its case") << kAscii << 65 << 0 << "a" << 1 << "a" << 97 << false << 0;
    QTest::newRow("ASCII space") << kAscii << 65 << 0 << " " << 1 << "Space" << 32 << false << 0;
    QTest::newRow("ASCII euro sign") << kAscii << 65 << 0 << "\u20AC" << 1 << "\u20AC" << 128 << false << 0;
    QTest::newRow("ASCII no-break space") << kAscii << 65 << 0 << "\u00A0" << 1 << "Invisible" << 160 << true << 0;
    QTest::newRow("ASCII outside code page") << kAscii << 65 << 0 << "\u0101" << 0 << "A" << 65 << false << 0;
    QTest::newRow("ASCII control char") << kAscii << 65 << 0 << "\r" << 0 << "A" << 65 << false << 0;
    QTest::newRow("control code ignores typing") << kControl << 2 << 0 << "A1" << 0 << "STX" << 2 << false << 0;
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
    QFETCH(bool, error);
    QFETCH(int, caretAfter);

    ByteText byte = byteHolding(mode, start);
    byte.setCaretPos(caret);
    int taken = 0;
    for (const QChar c : typed)
        taken += byte.typeCharacter(c) ? 1 : 0;
    QCOMPARE(taken, accepted);
    QCOMPARE(byte.displayText(), text);
    QCOMPARE(byte.storedValue(), qint16(stored));
    QCOMPARE(byte.error(), error);
    QCOMPARE(byte.caretPos(), caretAfter);
}

void TestByteText::decimalEntryAboveByte()
{
    ByteText byte = byteHolding(kDecimal, 0);
    byte.setCaretPos(1);
    QVERIFY(byte.pressKey(Key::Backspace).edited);
    QCOMPARE(byte.displayText(), QString());
    for (const QChar digit : QStringLiteral("300"))
        QVERIFY(byte.typeCharacter(digit));
    QCOMPARE(byte.displayText(), QStringLiteral("300"));
    QCOMPARE(byte.storedValue(), qint16(300));
    QCOMPARE(byte.value(), quint8(255));
    QCOMPARE(byte.error(), true);
    QVERIFY(!byte.typeCharacter(u'1'));
    QCOMPARE(byte.displayText(), QStringLiteral("300"));
}

void TestByteText::keys_data()
{
    QTest::addColumn<qint32>("mode");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("caret");
    QTest::addColumn<ByteText::Key>("key");
    QTest::addColumn<bool>("consumed");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("caretAfter");

    QTest::newRow("hex left") << kHex << 10 << 2 << Key::Left << true << false << "0A" << 10 << 1;
    QTest::newRow("hex left at 0") << kHex << 10 << 0 << Key::Left << true << false << "0A" << 10 << 0;
    QTest::newRow("hex right") << kHex << 10 << 0 << Key::Right << true << false << "0A" << 10 << 1;
    QTest::newRow("hex right at end") << kHex << 10 << 2 << Key::Right << true << false << "0A" << 10 << 2;
    QTest::newRow("hex home") << kHex << 10 << 2 << Key::Home << true << false << "0A" << 10 << 0;
    QTest::newRow("hex end") << kHex << 10 << 0 << Key::End << true << false << "0A" << 10 << 2;
    QTest::newRow("hex backspace at end") << kHex << 171 << 2 << Key::Backspace << true << true << "A" << 10 << 1;
    QTest::newRow("hex backspace at 0") << kHex << 171 << 0 << Key::Backspace << true << false << "AB" << 171 << 0;
    QTest::newRow("hex delete at 0") << kHex << 171 << 0 << Key::Delete << true << true << "B" << 11 << 0;
    QTest::newRow("hex delete at end") << kHex << 171 << 2 << Key::Delete << true << false << "AB" << 171 << 2;
    QTest::newRow("decimal delete inside") << kDecimal << 255 << 1 << Key::Delete << true << true << "25" << 25 << 1;
    QTest::newRow("decimal backspace to empty") << kDecimal << 7 << 1 << Key::Backspace << true << true << "" << 0 << 0;
    QTest::newRow("decimal end") << kDecimal << 255 << 0 << Key::End << true << false << "255" << 255 << 3;
    QTest::newRow("binary backspace") << kBinary << 5 << 8 << Key::Backspace << true << true << "0000010" << 2 << 7;
    QTest::newRow("binary end") << kBinary << 5 << 3 << Key::End << true << false << "00000101" << 5 << 8;
    QTest::newRow("ASCII end") << kAscii << 65 << 0 << Key::End << false << false << "A" << 65 << 0;
    QTest::newRow("ASCII delete") << kAscii << 65 << 0 << Key::Delete << false << false << "A" << 65 << 0;
    QTest::newRow("control right") << kControl << 2 << 0 << Key::Right << false << false << "STX" << 2 << 0;
    QTest::newRow("control delete") << kControl << 2 << 0 << Key::Delete << false << false << "STX" << 2 << 0;
}

void TestByteText::keys()
{
    QFETCH(qint32, mode);
    QFETCH(int, start);
    QFETCH(int, caret);
    QFETCH(ByteText::Key, key);
    QFETCH(bool, consumed);
    QFETCH(bool, edited);
    QFETCH(QString, text);
    QFETCH(int, stored);
    QFETCH(int, caretAfter);

    ByteText byte = byteHolding(mode, start);
    byte.setCaretPos(caret);
    const ByteText::KeyResult result = byte.pressKey(key);
    QCOMPARE(result.consumed, consumed);
    QCOMPARE(result.edited, edited);
    QCOMPARE(byte.displayText(), text);
    QCOMPARE(byte.storedValue(), qint16(stored));
    QCOMPARE(byte.error(), false);
    QCOMPARE(byte.caretPos(), caretAfter);
}

void TestByteText::pick_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("startCode");
    QTest::addColumn<int>("picked");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("error");

    QTest::newRow("STX to DC3") << 2 << 2 << 19 << "DC3" << false;
    QTest::newRow("STX kept") << 2 << 2 << 2 << "STX" << false;
    QTest::newRow("Error to NUL") << 200 << 0 << 0 << "NUL" << false;
    QTest::newRow("US to NUL") << 31 << 31 << 0 << "NUL" << false;
    QTest::newRow("code past the table") << 2 << 2 << 40 << "Error" << true;
}

void TestByteText::pick()
{
    QFETCH(int, start);
    QFETCH(int, startCode);
    QFETCH(int, picked);
    QFETCH(QString, text);
    QFETCH(bool, error);

    ByteText byte = byteHolding(kControl, start);
    QCOMPARE(byte.codeForPick(), quint8(startCode));
    byte.takePickedCode(quint8(picked));
    QCOMPARE(byte.value(), quint8(picked));
    QCOMPARE(byte.displayText(), text);
    QCOMPARE(byte.error(), error);
}

QTEST_GUILESS_MAIN(TestByteText)
#include "tst_bytetext.moc"
