#pragma once

#include "portsettings.h"

#include <optional>

#include <termios.h>

// Builds the termios of an open line from its settings, one small pure function per
// setting, so that what a port gets can be checked without a device.
namespace TermiosBuilder {

// The termios speed constant of a baud rate, nothing for a rate the line has no
// constant for.
std::optional<speed_t> speedCode(int baud);

// Raw bytes in and out, receiver on, modem lines ignored, no flow control. Parity
// errors are checked and marked in-band (INPCK with PARMRK; never IGNPAR, which makes
// the usual UART driver drop the faulty byte), a break is marked too (no IGNBRK,
// no BRKINT).
void setRaw(termios &t);
void setDataBits(termios &t, int bits);
void setParity(termios &t, Parity parity);
void setStopBits(termios &t, int stopBits);
void setSpeed(termios &t, speed_t speed);

// `original` with every setting above applied; the settings must have parsed.
termios build(const termios &original, const PortSettings &settings);

// Whether `actual`, read back from the device, carries the line settings of `wanted`.
bool sameLine(const termios &wanted, const termios &actual);

} // namespace TermiosBuilder
