#include "dcbbuilder.h"

#include <QtTest>

class TestDcbBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void line_data();
    void line();
    void rawWhateverCameBefore();
};

void TestDcbBuilder::line_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<bool>("parityChecked");
    QTest::addColumn<int>("stopBits");

    QTest::newRow("9600,n,8,1") << QStringLiteral("9600,n,8,1") << 9600 << NOPARITY << false << ONESTOPBIT;
    QTest::newRow("115200,e,8,2") << QStringLiteral("115200,e,8,2") << 115200 << EVENPARITY << true << TWOSTOPBITS;
    QTest::newRow("2400,o,8,1") << QStringLiteral("2400,o,8,1") << 2400 << ODDPARITY << true << ONESTOPBIT;
}

void TestDcbBuilder::line()
{
    QFETCH(QString, settings);
    QFETCH(int, baud);
    QFETCH(int, parity);
    QFETCH(bool, parityChecked);
    QFETCH(int, stopBits);

    const DCB dcb = DcbBuilder::build(DCB{}, *parsePortSettings(settings));
    QCOMPARE(dcb.DCBlength, DWORD(sizeof(DCB)));
    QCOMPARE(dcb.BaudRate, DWORD(baud));
    QCOMPARE(dcb.ByteSize, BYTE(8));
    QCOMPARE(dcb.Parity, BYTE(parity));
    QCOMPARE(bool(dcb.fParity), parityChecked);
    QCOMPARE(dcb.StopBits, BYTE(stopBits));
}

// A driver may hand over any of these on; each would alter or hold back bytes.
void TestDcbBuilder::rawWhateverCameBefore()
{
    DCB original{};
    original.fBinary = FALSE;
    original.fOutxCtsFlow = TRUE;
    original.fOutxDsrFlow = TRUE;
    original.fDsrSensitivity = TRUE;
    original.fOutX = TRUE;
    original.fInX = TRUE;
    original.fErrorChar = TRUE;
    original.fNull = TRUE;
    original.fAbortOnError = TRUE;
    original.fRtsControl = RTS_CONTROL_HANDSHAKE;
    original.fDtrControl = DTR_CONTROL_HANDSHAKE;

    const DCB dcb = DcbBuilder::build(original, *parsePortSettings(QStringLiteral("9600,n,8,1")));
    QVERIFY(dcb.fBinary);
    QVERIFY(!dcb.fOutxCtsFlow && !dcb.fOutxDsrFlow && !dcb.fDsrSensitivity);
    QVERIFY(!dcb.fOutX && !dcb.fInX);
    QVERIFY(!dcb.fErrorChar && !dcb.fNull && !dcb.fAbortOnError);
    QCOMPARE(DWORD(dcb.fRtsControl), DWORD(RTS_CONTROL_ENABLE));
    QCOMPARE(DWORD(dcb.fDtrControl), DWORD(DTR_CONTROL_ENABLE));
}

QTEST_GUILESS_MAIN(TestDcbBuilder)
#include "tst_dcbbuilder.moc"
