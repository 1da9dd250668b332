#include "termiosbuilder.h"

#include <QtTest>

#include <cstring>

// What a line gets from each setting, checked on the termios the builder produces:
// a pseudo-terminal forces 8 data bits and no parity, so only here can they be seen.
class TestTermiosBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dataBitsAndParity_data();
    void dataBitsAndParity();
    void rawModeFromAnyStart_data();
    void rawModeFromAnyStart();
    void sameLine_data();
    void sameLine();
};

namespace {

enum Change { NoChange, DataBitsForced, ParityCleared, StopBitsDiffer, SpeedDiffers, InputFlagsDiffer };

termios filledWith(int byte)
{
    termios t;
    std::memset(&t, byte, sizeof t);
    return t;
}

} // namespace

void TestTermiosBuilder::dataBitsAndParity_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<Parity>("parity");
    QTest::addColumn<uint>("size");
    QTest::addColumn<uint>("parityFlags");

    const std::pair<int, tcflag_t> sizes[] = {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}};
    const std::tuple<Parity, char, tcflag_t> parities[] = {
        {Parity::None, 'n', 0}, {Parity::Even, 'e', PARENB}, {Parity::Odd, 'o', PARENB | PARODD}};
    for (const auto &[bits, size] : sizes) {
        for (const auto &[parity, letter, flags] : parities) {
            QTest::addRow("%d,%c", bits, letter) << bits << parity << uint(size) << uint(flags);
        }
    }
}

// Starting from every flag set and from every flag clear shows both that the
// builder sets what it needs and clears what a previous user left.
void TestTermiosBuilder::dataBitsAndParity()
{
    QFETCH(int, bits);
    QFETCH(Parity, parity);
    QFETCH(uint, size);
    QFETCH(uint, parityFlags);

    const PortSettings settings{9600, parity, bits, 1};
    for (const int fill : {0x00, 0xFF}) {
        const termios t = TermiosBuilder::build(filledWith(fill), settings);
        QCOMPARE(uint(t.c_cflag & CSIZE), size);
        QCOMPARE(uint(t.c_cflag & (PARENB | PARODD)), parityFlags);
    }
}

void TestTermiosBuilder::rawModeFromAnyStart_data()
{
    QTest::addColumn<int>("fill");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<int>("baud");
    QTest::addColumn<uint>("speed");
    QTest::newRow("all clear, 1 stop bit") << 0x00 << 1 << 2400 << uint(B2400);
    QTest::newRow("all set, 1 stop bit") << 0xFF << 1 << 115200 << uint(B115200);
    QTest::newRow("all clear, 2 stop bits") << 0x00 << 2 << 57600 << uint(B57600);
    QTest::newRow("all set, 2 stop bits") << 0xFF << 2 << 9600 << uint(B9600);
}

void TestTermiosBuilder::rawModeFromAnyStart()
{
    QFETCH(int, fill);
    QFETCH(int, stopBits);
    QFETCH(int, baud);
    QFETCH(uint, speed);

    const termios t = TermiosBuilder::build(filledWith(fill), PortSettings{baud, Parity::None, 8, stopBits});

    QCOMPARE(bool(t.c_cflag & CSTOPB), stopBits == 2);
    QCOMPARE(uint(cfgetispeed(&t)), speed);
    QCOMPARE(uint(cfgetospeed(&t)), speed);
    // Errors marked in-band; IGNPAR would let the UART driver drop the faulty byte.
    QCOMPARE(t.c_iflag & (INPCK | PARMRK | IGNPAR), tcflag_t(INPCK | PARMRK));
    QCOMPARE(t.c_iflag & (IGNBRK | BRKINT | ISTRIP | INLCR | IGNCR | ICRNL), tcflag_t(0));
    QCOMPARE(t.c_iflag & (IXON | IXOFF | IXANY), tcflag_t(0));
    QCOMPARE(t.c_oflag & OPOST, tcflag_t(0));
    QCOMPARE(t.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), tcflag_t(0));
    QCOMPARE(t.c_cflag & (CREAD | CLOCAL | CRTSCTS), tcflag_t(CREAD | CLOCAL));
}

void TestTermiosBuilder::sameLine_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("same");
    QTest::newRow("identical") << int(NoChange) << true;
    QTest::newRow("data bits forced to 8") << int(DataBitsForced) << false;
    QTest::newRow("parity cleared") << int(ParityCleared) << false;
    QTest::newRow("stop bits differ") << int(StopBitsDiffer) << false;
    QTest::newRow("speed differs") << int(SpeedDiffers) << false;
    QTest::newRow("only input flags differ") << int(InputFlagsDiffer) << true;
}

void TestTermiosBuilder::sameLine()
{
    QFETCH(int, change);
    QFETCH(bool, same);

    const termios wanted = TermiosBuilder::build(filledWith(0), PortSettings{19200, Parity::Even, 7, 1});
    termios actual = wanted;
    switch (change) {
    case DataBitsForced: TermiosBuilder::setDataBits(actual, 8); break;
    case ParityCleared: TermiosBuilder::setParity(actual, Parity::None); break;
    case StopBitsDiffer: TermiosBuilder::setStopBits(actual, 2); break;
    case SpeedDiffers: TermiosBuilder::setSpeed(actual, B38400); break;
    case InputFlagsDiffer: actual.c_iflag &= ~tcflag_t(PARMRK); break;
    default: break;
    }
    QCOMPARE(TermiosBuilder::sameLine(wanted, actual), same);
}

QTEST_GUILESS_MAIN(TestTermiosBuilder)
#include "tst_termiosbuilder.moc"
