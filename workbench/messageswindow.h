#pragma once

#include "serialstring.h"

#include <QWidget>

class MessageLine;
class MessageSession;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QuickLine;
class SerialEditor;
class SlotGrid;

// The message slots at work on the line: each row's Send, its display's Test and
// F1 to F10 send a slot, the quick line sends typed bytes, Send all walks the
// commands, and the protocol log tells every send, reply and timeout. The table goes
// to and comes from a file only when the operator asks. Without a line (the window on
// its own) it edits and keeps messages but sends nothing.
class MessagesWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSlots = 25;

    explicit MessagesWindow(MessageLine *line, QWidget *parent = nullptr);

    MessageSession &session() { return *m_session; }

    // Window-modal, so no second editor can change EditorSlot while one is open.
    // The dialog deletes itself once it is hidden.
    SerialEditor *openEditor(int slot);
    void openMessages(const QString &path);
    void saveMessages(const QString &path);
    // What the window says about the last thing that did not work or did.
    void tell(const QString &text);

private:
    void buildTop();
    void buildShortcuts();
    void connectSession();
    void updateSendable();
    void sendAllClicked();
    void sendAllChanged(bool running);
    void store(int slot, const SerialString &message);
    QString askFile(bool saving);
    int focusedSlot() const;

    MessageLine *m_line = nullptr;
    MessageSession *m_session = nullptr;
    SlotGrid *m_grid = nullptr;
    QuickLine *m_quick = nullptr;
    QPlainTextEdit *m_log = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_sendAll = nullptr;
    QSpinBox *m_timeout = nullptr;
    QString m_folder;
};
