#pragma once

#include "labelpopup.h"

// The control-code picker: the 32 control-code names in four columns of eight, code c
// in column c div 8 and row c mod 8. It loads from PopupPos (where to appear) and
// PickedCode (the code to highlight), and leaves the picked code in PickedCode; a
// window closed by the pointer leaving leaves PickedCode as it found it.
class FormControlcodeForm : public LabelPopup
{
    Q_OBJECT

public:
    explicit FormControlcodeForm(QWidget *parent = nullptr);

protected:
    void pick(int index) override;
};
