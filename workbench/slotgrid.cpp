#include "slotgrid.h"

#include "serialstringdisplay.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kNameWidth = 150;
constexpr int kDisplayMinWidth = 240;

QString indexed(const char *name, int slot)
{
    return QStringLiteral("%1[%2]").arg(QLatin1String(name)).arg(slot);
}

} // namespace

SlotGrid::SlotGrid(QWidget *parent)
    : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(3, 1);
    grid->setVerticalSpacing(2);
    for (int slot = 0; slot < kSlots; ++slot)
        addRow(slot);
}

QString SlotGrid::pairing(int slot)
{
    if (slot >= 0 && slot < kCommands)
        return QStringLiteral("\u2192 %1").arg(slot + kCommands);
    if (slot >= kCommands && slot < 2 * kCommands)
        return QStringLiteral("\u2190 %1").arg(slot - kCommands);
    return QString();
}

void SlotGrid::addRow(int slot)
{
    auto *grid = static_cast<QGridLayout *>(layout());
    auto *number = new QLabel(QString::number(slot), this);
    number->setObjectName(indexed("SlotNumber", slot));
    number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *pair = new QLabel(pairing(slot), this);
    pair->setObjectName(indexed("Pairing", slot));
    if (slot < kCommands)
        pair->setToolTip(QStringLiteral("Its reply is slot %1").arg(slot + kCommands));
    else if (slot < 2 * kCommands)
        pair->setToolTip(QStringLiteral("The reply of slot %1").arg(slot - kCommands));

    auto *name = new QLineEdit(this);
    name->setObjectName(indexed("SlotName", slot));
    name->setFixedWidth(kNameWidth);
    name->setPlaceholderText(QStringLiteral("Slot %1").arg(slot));
    name->setAccessibleName(QStringLiteral("Name of slot %1").arg(slot));
    name->setToolTip(QStringLiteral("Alt+E edits the message of slot %1").arg(slot));
    connect(name, &QLineEdit::textEdited, this, [this, slot](const QString &text) { Q_EMIT nameEdited(slot, text); });

    auto *display = new SerialStringDisplay(this);
    display->setObjectName(indexed("SerialStringDisplay1", slot));
    display->setMinimumWidth(kDisplayMinWidth);
    display->Setup(qint16(slot));
    connect(display, &SerialStringDisplay::Click, this, [this, slot] { Q_EMIT editRequested(slot); });
    connect(display, &SerialStringDisplay::Test, this, [this, slot] { Q_EMIT sendRequested(slot); });

    auto *send = new QPushButton(QStringLiteral("Send"), this);
    send->setObjectName(indexed("Send", slot));
    send->setAccessibleName(QStringLiteral("Send slot %1").arg(slot));
    send->setToolTip(slot < kCommands ? QStringLiteral("Send slot %1 (F%2); Alt+E edits it").arg(slot).arg(slot + 1)
                                      : QStringLiteral("Send slot %1; Alt+E edits it").arg(slot));
    connect(send, &QPushButton::clicked, this, [this, slot] { Q_EMIT sendRequested(slot); });

    grid->addWidget(number, slot, 0);
    grid->addWidget(pair, slot, 1);
    grid->addWidget(name, slot, 2);
    grid->addWidget(display, slot, 3);
    grid->addWidget(send, slot, 4);
    m_names[std::size_t(slot)] = name;
    m_displays[std::size_t(slot)] = display;
    m_sends[std::size_t(slot)] = send;
}

void SlotGrid::reload()
{
    for (int slot = 0; slot < kSlots; ++slot)
        reload(slot);
}

void SlotGrid::reload(int slot)
{
    display(slot)->Setup(qint16(slot));
}

void SlotGrid::setName(int slot, const QString &name)
{
    m_names.at(std::size_t(slot))->setText(name);
}

void SlotGrid::setSendable(bool sendable)
{
    for (QPushButton *send : m_sends)
        send->setEnabled(sendable);
}
