#pragma once

#include "portsettings.h"

#include <windows.h>

// Builds the DCB of an open COM port from its settings, as a pure function, so that
// what a port gets can be checked without a device.
namespace DcbBuilder {

// `original` with speed, data bits, parity (fParity on with it), stop bits; binary,
// no flow control, no byte replaced or dropped (NUL bytes and bytes with errors are
// data), no abort on error, DTR and RTS raised as on Linux. The settings must have
// parsed.
DCB build(const DCB &original, const PortSettings &settings);

} // namespace DcbBuilder
