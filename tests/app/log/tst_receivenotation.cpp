#include "receivenotation.h"

#include <QtTest>

using ReceiveNotation::Notation;

Q_DECLARE_METATYPE(Notation)

namespace {

QByteArray renderAll(const QByteArray &bytes, Notation notation)
{
    QByteArray text;
    char out[ReceiveNotation::kMaxChars];
    for (const char b : bytes)
        text.append(out, ReceiveNotation::render(quint8(b), notation, out));
    return text;
}

} // namespace

class TestReceiveNotation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void render_data();
    void render();
    void everyByteInEveryNotation();
    void hexDigit_data();
    void hexDigit();
};

void TestReceiveNotation::render_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Notation>("notation");
    QTest::addColumn<QByteArray>("text");

    const QByteArray hi("\x48\x69\x0D\x0A", 4);
    QTest::newRow("Hi CR LF in ASCII") << hi << Notation::Ascii << QByteArray("Hi\r\n");
    QTest::newRow("Hi CR LF in HEX") << hi << Notation::Hex << QByteArray("48,69,0D,0A,");
    QTest::newRow("Hi CR LF in DEC") << hi << Notation::Dec << QByteArray("72,105,13,10,");
    QTest::newRow("0 in ASCII is dropped") << QByteArray(1, '\0') << Notation::Ascii << QByteArray();
    QTest::newRow("0 in HEX") << QByteArray(1, '\0') << Notation::Hex << QByteArray("00,");
    QTest::newRow("0 in DEC is an empty field") << QByteArray(1, '\0') << Notation::Dec << QByteArray(",");
    QTest::newRow("255 in ASCII") << QByteArray(1, '\xFF') << Notation::Ascii << QByteArray(1, '\xFF');
    QTest::newRow("255 in HEX") << QByteArray(1, '\xFF') << Notation::Hex << QByteArray("FF,");
    QTest::newRow("255 in DEC") << QByteArray(1, '\xFF') << Notation::Dec << QByteArray("255,");
    QTest::newRow("10 in HEX") << QByteArray(1, '\x0A') << Notation::Hex << QByteArray("0A,");
    QTest::newRow("100 in DEC") << QByteArray(1, 'd') << Notation::Dec << QByteArray("100,");
    QTest::newRow("7 in DEC") << QByteArray(1, '\x07') << Notation::Dec << QByteArray("7,");
}

void TestReceiveNotation::render()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Notation, notation);
    QFETCH(QByteArray, text);
    QCOMPARE(renderAll(bytes, notation), text);
}

// Each notation read back gives the byte: catches sign extension and field widths.
void TestReceiveNotation::everyByteInEveryNotation()
{
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, char(b));
        QCOMPARE(renderAll(byte, Notation::Ascii), b == 0 ? QByteArray() : byte);

        const QByteArray hex = renderAll(byte, Notation::Hex);
        QCOMPARE(hex.size(), 3);
        QCOMPARE(hex.back(), ',');
        QCOMPARE(hex.left(2), QByteArray::number(b, 16).rightJustified(2, '0').toUpper());

        const QByteArray dec = renderAll(byte, Notation::Dec);
        QCOMPARE(dec.back(), ',');
        QCOMPARE(dec.chopped(1), b == 0 ? QByteArray() : QByteArray::number(b));
    }
}

void TestReceiveNotation::hexDigit_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<char>("digit");
    QTest::newRow("0") << 0 << '0';
    QTest::newRow("9") << 9 << '9';
    QTest::newRow("10") << 10 << 'A';
    QTest::newRow("15") << 15 << 'F';
    QTest::newRow("16 is out of range") << 16 << '0';
    QTest::newRow("negative") << -1 << '0';
}

void TestReceiveNotation::hexDigit()
{
    QFETCH(int, value);
    QFETCH(char, digit);
    QCOMPARE(ReceiveNotation::HexDigit(value), digit);
}

QTEST_GUILESS_MAIN(TestReceiveNotation)
#include "tst_receivenotation.moc"
