#pragma once

#include <QWidget>

#include <array>

class SerialEditor;
class SerialStringDisplay;

// The operator's bench for the message components: one display control per
// MessageTable slot, labelled with its number and name. A display's Click opens the
// message editor on its slot; after Done the display loads the slot again. Copy, cut,
// paste and delete go through the displays' own menus and the shared copy buffer.
// Nothing is saved.
class MessageWorkbench : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSlots = 25;

    explicit MessageWorkbench(QWidget *parent = nullptr);

    // "Slot 3: Data 2"; slots without a name show their number only.
    static QString slotCaption(int slot);

    // Window-modal, so no second editor can change EditorSlot while one is open.
    // The dialog deletes itself once it is hidden.
    SerialEditor *openEditor(qint16 slot);

private:
    std::array<SerialStringDisplay *, kSlots> m_displays{};
};
