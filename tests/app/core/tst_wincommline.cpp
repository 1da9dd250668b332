#include "wincommline.h"

#include "commerror.h"
#include "fakecommapi.h"

#include <QtTest>

namespace {

const QString kPort = QStringLiteral("\\\\.\\COM5");
const PortSettings kSettings{19200, Parity::Even, 8, 1};

} // namespace

// The Win32 line over a stand-in driver: what Wine's cannot show (line errors, a port
// that goes away, a failing read), and the queueing of writes.
class TestWinCommLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failedOpen_data();
    void failedOpen();
    void opensWithSettingsAndTimeouts();
    void errorBits_data();
    void errorBits();
    void vanishedPort();
    void readThatTimedOutGoesOn();
    void writesQueueBehindThePendingOne_data();
    void writesQueueBehindThePendingOne();
};

void TestWinCommLine::failedOpen_data()
{
    QTest::addColumn<DWORD>("openError");
    QTest::addColumn<DWORD>("setStateError");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("closes");

    QTest::newRow("no such port") << DWORD(ERROR_FILE_NOT_FOUND) << DWORD(0) << QStringLiteral("device not present") << 0;
    QTest::newRow("held by another program") << DWORD(ERROR_ACCESS_DENIED) << DWORD(0)
                                             << QStringLiteral("device busy (held by another program)") << 0;
    QTest::newRow("setting refused") << DWORD(0) << DWORD(ERROR_INVALID_PARAMETER)
                                     << QStringLiteral("the device does not take the setting") << 1;
}

void TestWinCommLine::failedOpen()
{
    QFETCH(DWORD, openError);
    QFETCH(DWORD, setStateError);
    QFETCH(QString, reason);
    QFETCH(int, closes);

    FakeCommApi api;
    api.openError = openError;
    api.setStateError = setStateError;
    WinCommLine line(api);
    try {
        line.open(kPort, kSettings);
        QFAIL("the open did not fail");
    } catch (const CommError &error) {
        QCOMPARE(error.message(), kPort + QStringLiteral(": ") + reason);
    }
    QVERIFY(!line.isOpen());
    QCOMPARE(api.closes, closes);
}

void TestWinCommLine::opensWithSettingsAndTimeouts()
{
    FakeCommApi api;
    WinCommLine line(api);
    line.open(kPort, kSettings);
    QVERIFY(line.isOpen());
    QCOMPARE(line.path(), kPort);
    QCOMPARE(api.lastDcb.BaudRate, DWORD(kSettings.baud));
    QCOMPARE(api.lastDcb.Parity, BYTE(EVENPARITY));
    // An interval timeout alone: a read waits for its first byte, then ends at a pause.
    QVERIFY(api.lastTimeouts.ReadIntervalTimeout > 0);
    QCOMPARE(api.lastTimeouts.ReadTotalTimeoutMultiplier, DWORD(0));
    QCOMPARE(api.lastTimeouts.ReadTotalTimeoutConstant, DWORD(0));
    line.close();
    QVERIFY(!line.isOpen());
    QCOMPARE(api.closes, 1);
}

void TestWinCommLine::errorBits_data()
{
    QTest::addColumn<DWORD>("bits");
    QTest::addColumn<int>("frame");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("brk");

    QTest::newRow("clean") << DWORD(0) << 0 << 0 << 0;
    QTest::newRow("CE_RXPARITY") << DWORD(CE_RXPARITY) << 0 << 1 << 0;
    QTest::newRow("CE_FRAME") << DWORD(CE_FRAME) << 1 << 0 << 0;
    QTest::newRow("CE_RXPARITY and CE_FRAME") << DWORD(CE_RXPARITY | CE_FRAME) << 1 << 1 << 0;
    QTest::newRow("CE_BREAK") << DWORD(CE_BREAK) << 0 << 0 << 1;
    QTest::newRow("CE_OVERRUN alone") << DWORD(CE_OVERRUN) << 0 << 0 << 0;
}

void TestWinCommLine::errorBits()
{
    QFETCH(DWORD, bits);
    QFETCH(int, frame);
    QFETCH(int, parity);
    QFETCH(int, brk);

    FakeCommApi api;
    WinCommLine line(api);
    QByteArray data;
    std::optional<LineCounters> counters;
    connect(&line, &SerialLine::received, this, [&](QByteArrayView raw, std::optional<LineCounters> c) {
        data.append(raw);
        counters = c;
    });
    line.open(kPort, kSettings);
    api.completeRead(QByteArrayView("\x00\xFF" "A", 3), bits);
    QTRY_COMPARE(data, QByteArray("\x00\xFF" "A", 3));
    QVERIFY(counters);
    QCOMPARE(counters->frame, frame);
    QCOMPARE(counters->parity, parity);
    QCOMPARE(counters->brk, brk);

    // The next read is pending again, and the bits were cleared by the first.
    api.completeRead("B");
    QTRY_COMPARE(data, QByteArray("\x00\xFF" "AB", 4));
    QCOMPARE(counters->frame + counters->parity + counters->brk, 0);
}

void TestWinCommLine::vanishedPort()
{
    FakeCommApi api;
    WinCommLine line(api);
    QSignalSpy failed(&line, &SerialLine::failed);
    QSignalSpy received(&line, &SerialLine::received);
    line.open(kPort, kSettings);
    api.failRead(ERROR_BAD_COMMAND);
    QTRY_COMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), kPort + QStringLiteral(": input/output error (device gone?)"));
    QVERIFY(!line.isOpen());
    QCOMPARE(api.closes, 1);
    QCOMPARE(received.count(), 0);
}

// As Wine ends a read now and then, with no total timeout set.
void TestWinCommLine::readThatTimedOutGoesOn()
{
    FakeCommApi api;
    WinCommLine line(api);
    QSignalSpy failed(&line, &SerialLine::failed);
    QByteArray data;
    connect(&line, &SerialLine::received, this, [&](QByteArrayView raw) { data.append(raw); });
    line.open(kPort, kSettings);
    api.failRead(ERROR_TIMEOUT);
    QTest::qWait(50);
    api.completeRead("x");
    QTRY_COMPARE(data, QByteArray("x"));
    QVERIFY(line.isOpen());
    QCOMPARE(failed.count(), 0);
}

void TestWinCommLine::writesQueueBehindThePendingOne_data()
{
    QTest::addColumn<quint32>("shortWriteError");
    QTest::newRow("short write") << quint32(0);
    // As Wine ends a write the device could not take at once.
    QTest::newRow("short write that timed out") << quint32(ERROR_TIMEOUT);
}

void TestWinCommLine::writesQueueBehindThePendingOne()
{
    QFETCH(quint32, shortWriteError);
    FakeCommApi api;
    WinCommLine line(api);
    QSignalSpy failed(&line, &SerialLine::failed);
    line.open(kPort, kSettings);
    line.write("abc");
    QVERIFY(api.writePending());
    QCOMPARE(api.pendingWriteSize(), 3);
    line.write("de");
    QCOMPARE(api.pendingWriteSize(), 3);
    // The driver took two bytes: the rest goes first, then what was queued.
    api.completeWrite(2, shortWriteError);
    QTRY_COMPARE(api.writes, 2);
    QCOMPARE(api.pendingWriteSize(), 3);
    api.completeWrite(3);
    QTRY_VERIFY(!api.writePending());
    QCOMPARE(api.writes, 2);
    QCOMPARE(api.written, QByteArray("abcde"));
    QVERIFY(line.isOpen());
    QCOMPARE(failed.count(), 0);
}

QTEST_GUILESS_MAIN(TestWinCommLine)
#include "tst_wincommline.moc"
