#include "messageworkbench.h"

#include "globals.h"
#include "serialeditor.h"
#include "serialstringdisplay.h"

#include <QGridLayout>
#include <QLabel>

namespace {
constexpr int kInitialWidth = 720; // room for a message of a dozen bytes or so
}

MessageWorkbench::MessageWorkbench(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Lorvane messages"));
    Globals::InitTables();

    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    grid->setVerticalSpacing(4);
    for (int slot = 0; slot < kSlots; ++slot) {
        auto *caption = new QLabel(slotCaption(slot), this);
        caption->setObjectName(QStringLiteral("SlotCaption[%1]").arg(slot));
        auto *display = new SerialStringDisplay(this);
        display->setObjectName(QStringLiteral("SerialStringDisplay1[%1]").arg(slot));
        display->setMinimumWidth(240);
        grid->addWidget(caption, slot, 0);
        grid->addWidget(display, slot, 1);
        m_displays[slot] = display;
        connect(display, &SerialStringDisplay::Click, this, [this, slot] { openEditor(qint16(slot)); });
        display->Setup(qint16(slot));
    }
    grid->setRowStretch(kSlots, 1);
    resize(kInitialWidth, sizeHint().height());
}

QString MessageWorkbench::slotCaption(int slot)
{
    const QString number = QStringLiteral("Slot %1").arg(slot);
    if (slot < 0 || slot >= Globals::kMessageNames || Globals::MessageNames[slot].isEmpty())
        return number;
    return number + QStringLiteral(": ") + Globals::MessageNames[slot];
}

SerialEditor *MessageWorkbench::openEditor(qint16 slot)
{
    if (!Globals::SlotTable::isValidSlot(slot))
        return nullptr;
    // The editor reads EditorSlot once, while it is created.
    Globals::EditorSlot = slot;
    auto *editor = new SerialEditor(this);
    SerialStringDisplay *display = m_displays[slot];
    connect(editor, &QDialog::accepted, display, [display, slot] { display->Setup(slot); });
    connect(editor, &QDialog::finished, editor, &QObject::deleteLater);
    editor->open();
    return editor;
}
