#pragma once

#include "serialstring.h"

#include <QPoint>
#include <QString>

#include <array>

// What the windows and controls share: the message table and its names, the copy
// buffer, the control-code names and the hand-over values of the byte entry pop-ups.
// Everything starts zeroed; only InitTables fills the name tables. Nothing is saved.
namespace Globals {

// The 25 message slots. A slot number outside 0 to 24 reads as an empty record and
// stores nothing, so no caller can reach past the table.
class SlotTable
{
public:
    static constexpr int kSlots = 25;

    static constexpr bool isValidSlot(int slot) { return slot >= 0 && slot < kSlots; }

    SerialString slot(int slot) const;
    void setSlot(int slot, const SerialString &message);

private:
    std::array<SerialString, kSlots> m_slots{};
};

inline constexpr int kControlCodes = 32;
inline constexpr int kMessageNames = 22;

inline SlotTable MessageTable;
inline std::array<QString, kMessageNames> MessageNames;
inline SerialString CopyBuffer;
inline SerialString ReceiveString;
inline std::array<QString, kControlCodes> ControlCodeNames;
inline qint16 EditorSlot = 0;
inline quint8 PickedCode = 0;
inline qint32 ChosenMode = 0;
inline QPoint PopupPos;

void InitTables();

// The code 0 to 31 whose name equals `name` exactly; 0 when none does.
qint16 ControlCodeFromName(const QString &name);
// The fixed name of control code 0 to 31, whether or not InitTables has run; empty
// for any other value.
QString ControlCodeName(int code);
// Every character other than '1' is a 0 digit; only the last 8 digits count.
quint8 BinaryTextToByte(const QString &text);
// Binary digits without leading zeros; "0" for 0.
QString ByteToBinaryText(quint8 value);

} // namespace Globals
