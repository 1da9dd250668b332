#include "dcbbuilder.h"

namespace {

BYTE parityCode(Parity parity)
{
    switch (parity) {
    case Parity::Even: return EVENPARITY;
    case Parity::Odd: return ODDPARITY;
    case Parity::None: break;
    }
    return NOPARITY;
}

} // namespace

DCB DcbBuilder::build(const DCB &original, const PortSettings &settings)
{
    DCB dcb = original;
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = DWORD(settings.baud);
    dcb.ByteSize = BYTE(settings.dataBits);
    dcb.Parity = parityCode(settings.parity);
    dcb.fParity = settings.parity != Parity::None;
    dcb.StopBits = settings.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    return dcb;
}
