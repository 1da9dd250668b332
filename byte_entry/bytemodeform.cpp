#include "bytemodeform.h"

#include "globals.h"

#include <QLabel>

namespace {

constexpr int kModes = 5;
constexpr int kLabelWidth = 855;
constexpr QSize kClient(855, 1230);

QStringList modeNames()
{
    return {QStringLiteral("ASCII"), QStringLiteral("HEX"), QStringLiteral("DECIMAL"),
            QStringLiteral("BINARY"), QStringLiteral("CONTROL")};
}

} // namespace

ByteModeForm::ByteModeForm(QWidget *parent)
    : LabelPopup(LabelGrid(kModes, kModes, kLabelWidth), kClient, parent)
{
    setObjectName(QStringLiteral("ByteModeForm"));
    // Any button picks the row; no other window takes the request for all bytes.
    label(0)->setToolTip(
        QStringLiteral("Left click set this byte to ASCII, right click set all bytes to ASCII"));
    load(Globals::PopupPos, Globals::ChosenMode, modeNames());
}

void ByteModeForm::pick(int index)
{
    Globals::ChosenMode = index;
}
