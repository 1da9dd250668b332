#pragma once

#include "serialstring.h"

#include <QWidget>

class QLineEdit;
class QPushButton;
class QSpinBox;

// A line for bytes typed in the message notation, such as STX 0x50 "ON" ETX: Enter
// or Send asks to send them, Store asks to put them into the chosen slot. Text that
// does not read as a message is refused with its column and what was expected.
class QuickLine : public QWidget
{
    Q_OBJECT

public:
    explicit QuickLine(QWidget *parent = nullptr);

    void setSendable(bool sendable);
    QLineEdit *edit() const { return m_edit; }

Q_SIGNALS:
    void sendRequested(const SerialString &message);
    void storeRequested(int slot, const SerialString &message);
    void refused(const QString &reason);

private:
    std::optional<SerialString> message();

    QLineEdit *m_edit = nullptr;
    QPushButton *m_send = nullptr;
    QSpinBox *m_slot = nullptr;
};
