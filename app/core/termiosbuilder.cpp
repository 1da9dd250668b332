#include "termiosbuilder.h"

#include <array>
#include <utility>

namespace TermiosBuilder {

namespace {

constexpr std::array<std::pair<int, speed_t>, 12> kSpeeds = {{
    {300, B300}, {600, B600}, {1200, B1200}, {2400, B2400}, {4800, B4800}, {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
    {230400, B230400}, {460800, B460800},
}};

constexpr tcflag_t kLineFlags = CSIZE | PARENB | PARODD | CSTOPB;

} // namespace

std::optional<speed_t> speedCode(int baud)
{
    for (const auto &[rate, code] : kSpeeds) {
        if (rate == baud)
            return code;
    }
    return std::nullopt;
}

void setRaw(termios &t)
{
    t.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | IGNPAR | ISTRIP | INLCR | IGNCR | ICRNL | IXON
                           | IXOFF | IXANY | IUCLC | IMAXBEL);
    t.c_iflag |= INPCK | PARMRK;
    t.c_oflag &= ~tcflag_t(OPOST);
    t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~tcflag_t(CRTSCTS | HUPCL);
    t.c_cflag |= CREAD | CLOCAL;
    // With the descriptor non-blocking, VMIN 1 makes an empty read fail with EAGAIN,
    // so that a read of 0 bytes means the line hung up.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

void setDataBits(termios &t, int bits)
{
    t.c_cflag &= ~tcflag_t(CSIZE);
    switch (bits) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    default: t.c_cflag |= CS8; break;
    }
}

void setParity(termios &t, Parity parity)
{
    t.c_cflag &= ~tcflag_t(PARENB | PARODD);
    if (parity == Parity::Even)
        t.c_cflag |= PARENB;
    else if (parity == Parity::Odd)
        t.c_cflag |= PARENB | PARODD;
}

void setStopBits(termios &t, int stopBits)
{
    if (stopBits == 2)
        t.c_cflag |= CSTOPB;
    else
        t.c_cflag &= ~tcflag_t(CSTOPB);
}

void setSpeed(termios &t, speed_t speed)
{
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
}

termios build(const termios &original, const PortSettings &settings)
{
    termios t = original;
    setRaw(t);
    setDataBits(t, settings.dataBits);
    setParity(t, settings.parity);
    setStopBits(t, settings.stopBits);
    setSpeed(t, speedCode(settings.baud).value_or(B9600));
    return t;
}

bool sameLine(const termios &wanted, const termios &actual)
{
    return (wanted.c_cflag & kLineFlags) == (actual.c_cflag & kLineFlags)
        && cfgetispeed(&wanted) == cfgetispeed(&actual)
        && cfgetospeed(&wanted) == cfgetospeed(&actual);
}

} // namespace TermiosBuilder
