#pragma once

#include <QDialog>

#include <array>

class ByteValueControl;
class IntegerEntry;
class QPushButton;

// The dialog "Serial String Editor". When created it loads the MessageTable slot named
// by EditorSlot into one byte value control per byte and the count into a spin entry;
// from then on the message lives only in those controls. Done writes all 32 positions
// and the count back into that slot; Cancel, Escape and closing leave the slot as it
// was. Every way out only hides the dialog: its opener decides when to delete it.
class SerialEditor : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kBytes = 32;

    explicit SerialEditor(QWidget *parent = nullptr);

private:
    void buildContents();
    void buildCount();
    void buildButtons();
    void load();
    void countChanged();
    void store();

    std::array<ByteValueControl *, kBytes> ByteValueControl1{};
    IntegerEntry *NumberOfBytes1 = nullptr;
    QPushButton *CancelCommand = nullptr;
    QPushButton *Done = nullptr;
    // The slot loaded at creation, so Done writes where the dialog read.
    qint16 m_slot = 0;
};
