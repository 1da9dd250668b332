#include "receivenotation.h"

namespace ReceiveNotation {

char HexDigit(int value)
{
    if (value >= 0 && value <= 9)
        return char('0' + value);
    if (value >= 10 && value <= 15)
        return char('A' + value - 10);
    return '0';
}

int render(quint8 byte, Notation notation, char *out)
{
    switch (notation) {
    case Notation::Ascii:
        if (byte == 0)
            return 0;
        out[0] = char(byte);
        return 1;
    case Notation::Hex:
        out[0] = HexDigit(byte >> 4);
        out[1] = HexDigit(byte & 0x0F);
        out[2] = ',';
        return 3;
    case Notation::Dec:
        break;
    }
    int n = 0;
    if (byte >= 100)
        out[n++] = char('0' + byte / 100);
    if (byte >= 10)
        out[n++] = char('0' + byte / 10 % 10);
    if (byte >= 1)
        out[n++] = char('0' + byte % 10);
    out[n++] = ',';
    return n;
}

} // namespace ReceiveNotation
