#include "formcontrolcodeform.h"

#include "globals.h"

namespace {

constexpr int kRows = 8;
constexpr int kLabelWidth = 495;
constexpr QSize kClient(1935, 1935);

QStringList codeNames()
{
    return QStringList(Globals::ControlCodeNames.begin(), Globals::ControlCodeNames.end());
}

} // namespace

FormControlcodeForm::FormControlcodeForm(QWidget *parent)
    : LabelPopup(LabelGrid(Globals::kControlCodes, kRows, kLabelWidth), kClient, parent)
{
    setObjectName(QStringLiteral("FormControlcodeForm"));
    load(Globals::PopupPos, Globals::PickedCode, codeNames());
}

void FormControlcodeForm::pick(int index)
{
    Globals::PickedCode = quint8(index);
}
