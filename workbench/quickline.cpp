#include "quickline.h"

#include "messagenotation.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

QuickLine::QuickLine(QWidget *parent)
    : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(QStringLiteral("&Quick line:"), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("QuickLine"));
    m_edit->setPlaceholderText(QStringLiteral("STX 0x50 \"ON\" ETX"));
    m_edit->setToolTip(QStringLiteral("Bytes in the message notation; Enter sends them"));
    label->setBuddy(m_edit);
    m_send = new QPushButton(QStringLiteral("Send"), this);
    m_send->setObjectName(QStringLiteral("QuickSend"));
    m_send->setAccessibleName(QStringLiteral("Send the quick line"));
    auto *slotLabel = new QLabel(QStringLiteral("Store &in slot"), this);
    m_slot = new QSpinBox(this);
    m_slot->setObjectName(QStringLiteral("QuickSlot"));
    m_slot->setRange(0, 24);
    slotLabel->setBuddy(m_slot);
    auto *store = new QPushButton(QStringLiteral("Store"), this);
    store->setObjectName(QStringLiteral("QuickStore"));
    store->setAccessibleName(QStringLiteral("Store the quick line in the slot"));
    row->addWidget(label);
    row->addWidget(m_edit, 1);
    row->addWidget(m_send);
    row->addWidget(slotLabel);
    row->addWidget(m_slot);
    row->addWidget(store);

    // Enter on a closed port still asks, so that the owner can say why nothing went.
    const auto send = [this] {
        if (const std::optional<SerialString> read = message())
            Q_EMIT sendRequested(*read);
    };
    connect(m_edit, &QLineEdit::returnPressed, this, send);
    connect(m_send, &QPushButton::clicked, this, send);
    connect(store, &QPushButton::clicked, this, [this] {
        if (const std::optional<SerialString> read = message())
            Q_EMIT storeRequested(m_slot->value(), *read);
    });
}

void QuickLine::setSendable(bool sendable)
{
    m_send->setEnabled(sendable);
}

std::optional<SerialString> QuickLine::message()
{
    const MessageNotation::Reading reading = MessageNotation::read(m_edit->text());
    if (reading.error) {
        m_edit->setCursorPosition(reading.error->column - 1);
        Q_EMIT refused(QStringLiteral("Quick line, column %1: %2").arg(reading.error->column).arg(reading.error->text));
        return std::nullopt;
    }
    return reading.message;
}
