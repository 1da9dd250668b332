#include "commport.h"

#include "commline.h"
#include "messagesession.h"
#include "messageswindow.h"
#include "reasontip.h"
#include "sendfiledialog.h"
#include "sendfileprogress.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kGap = 8; // pixels between the main window and the Messages window

} // namespace

// The transmit box keeps its standard edit items; the two of ours follow them.
void CommPort::createTransmitMenu()
{
    Text2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Text2, &QWidget::customContextMenuRequested, this, &CommPort::showTransmitMenu);
}

void CommPort::showTransmitMenu(const QPoint &pos)
{
    QMenu *menu = Text2->createStandardContextMenu(pos);
    menu->setObjectName(QStringLiteral("TransmitMenu"));
    menu->addSeparator();
    // Queued: the menu deletes itself on closing, and a native file dialog's loop
    // would let that happen while the menu still runs the item's trigger.
    QAction *messages = menu->addAction(QStringLiteral("&Messages\u2026"));
    messages->setObjectName(QStringLiteral("menuMessages"));
    connect(messages, &QAction::triggered, this, &CommPort::openMessagesWindow, Qt::QueuedConnection);
    QAction *file = menu->addAction(QStringLiteral("Send &File\u2026"));
    file->setObjectName(QStringLiteral("menuSendFile"));
    connect(file, &QAction::triggered, this, &CommPort::sendFile, Qt::QueuedConnection);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(Text2->viewport()->mapToGlobal(pos));
}

// Made on first use, hidden until asked for; an F-key may make it without showing it.
MessagesWindow *CommPort::messagesWindow()
{
    if (m_messages)
        return m_messages;
    m_line = new CommLine(MSComm1, this);
    m_messages = new MessagesWindow(m_line, this);
    m_messages->setWindowFlag(Qt::Tool);
    m_session = &m_messages->session();
    // A key refused in the transmit box says why there.
    connect(m_session, &MessageSession::refused, this, [this](const QString &reason) {
        if (Text2->hasFocus())
            ReasonTip::show(Text2, reason);
    });
    return m_messages;
}

void CommPort::openMessagesWindow()
{
    const bool placed = m_messages != nullptr;
    MessagesWindow *window = messagesWindow();
    if (!placed) {
        // Beside the main window, on the side with room on the screen.
        const QRect main = frameGeometry();
        const QRect screen = this->screen() ? this->screen()->availableGeometry() : main;
        const bool right = main.right() + kGap + window->width() <= screen.right();
        window->move(right ? main.right() + kGap : std::max(screen.left(), main.left() - kGap - window->width()), main.top());
    }
    window->show();
    window->raise();
    window->activateWindow();
}

// F1 to F10 send slots 0 to 9; they produce no character, so the box sent nothing
// for them before.
bool CommPort::functionKey(const QKeyEvent &key)
{
    const int slot = key.key() - Qt::Key_F1;
    if (slot < 0 || slot >= MessageSession::kCommands || key.modifiers() != Qt::NoModifier)
        return false;
    messagesWindow()->session().sendSlot(slot);
    return true;
}

void CommPort::sendFile()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Send File"));
    if (path.isEmpty())
        return;
    SendFileDialog delays(QFileInfo(path).fileName(), this);
    if (delays.exec() != QDialog::Accepted)
        return;
    if (!m_line)
        m_line = new CommLine(MSComm1, this);
    auto *progress = new SendFileProgress(m_line, this);
    if (const std::optional<QString> why = progress->start(path, delays.pacing())) {
        delete progress;
        ReasonTip::show(Text2, why.value());
        return;
    }
    progress->show();
    Text2->activateWindow();
    Text2->setFocus();
}
