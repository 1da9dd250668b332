#pragma once

#include "labelpopup.h"

// The mode chooser: one row per byte mode, ASCII at the top to control code at the
// bottom. It loads from PopupPos (where to appear) and ChosenMode (the row to
// highlight) and leaves the picked row in ChosenMode; a window closed by the pointer
// leaving leaves ChosenMode as it found it.
class ByteModeForm : public LabelPopup
{
    Q_OBJECT

public:
    explicit ByteModeForm(QWidget *parent = nullptr);

protected:
    void pick(int index) override;
};
