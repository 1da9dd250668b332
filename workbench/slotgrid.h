#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class SerialStringDisplay;

// The 25 message slots as rows: the slot number, the pairing of command i with its
// reply 10 + i, the editable name, the slot's display control and a Send button.
// The grid only tells what the operator asked for; its owner sends and edits.
class SlotGrid : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSlots = 25;
    static constexpr int kCommands = 10;

    explicit SlotGrid(QWidget *parent = nullptr);

    // Loads every slot's display from the table again.
    void reload();
    void reload(int slot);
    void setName(int slot, const QString &name);
    void setSendable(bool sendable);
    SerialStringDisplay *display(int slot) const { return m_displays.at(std::size_t(slot)); }

    // "→ 11" on command 1, "← 1" on its reply; empty on slots 20 to 24.
    static QString pairing(int slot);

Q_SIGNALS:
    void sendRequested(int slot);
    void editRequested(int slot);
    void nameEdited(int slot, const QString &name);

private:
    void addRow(int slot);

    std::array<QLineEdit *, kSlots> m_names{};
    std::array<SerialStringDisplay *, kSlots> m_displays{};
    std::array<QPushButton *, kSlots> m_sends{};
};
