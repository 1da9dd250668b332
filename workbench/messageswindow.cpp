#include "messageswindow.h"

#include "globals.h"
#include "messagefile.h"
#include "messageline.h"
#include "messagesession.h"
#include "quickline.h"
#include "serialeditor.h"
#include "serialstringdisplay.h"
#include "slotgrid.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr int kInitialWidth = 760;
constexpr int kInitialHeight = 640;
constexpr int kLogLines = 100'000; // the log keeps the newest lines, so a long run stays small
const QString kFilter = QStringLiteral("Message files (*.txt);;All files (*)");

} // namespace

MessagesWindow::MessagesWindow(MessageLine *line, QWidget *parent)
    : QWidget(parent)
    , m_line(line)
    , m_session(new MessageSession(this))
{
    setObjectName(QStringLiteral("MessagesWindow"));
    setWindowTitle(line ? QStringLiteral("Messages") : QStringLiteral("Lorvane messages"));
    m_session->setLine(line);

    auto *column = new QVBoxLayout(this);
    buildTop();
    m_grid = new SlotGrid(this);
    m_grid->setObjectName(QStringLiteral("SlotGrid"));
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(m_grid);
    scroll->setWidgetResizable(true);
    m_quick = new QuickLine(this);
    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("ProtocolLog"));
    m_log->setReadOnly(true);
    m_log->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_log->setMaximumBlockCount(kLogLines);
    m_log->setAccessibleName(QStringLiteral("Protocol log"));
    m_log->setPlaceholderText(QStringLiteral("Protocol log: every send, reply and timeout"));
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(scroll);
    splitter->addWidget(m_log);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Status"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(splitter, 1);
    column->addWidget(m_quick);
    column->addWidget(m_status);

    for (int slot = 0; slot < kSlots; ++slot)
        m_grid->setName(slot, m_session->name(slot));
    connectSession();
    buildShortcuts();
    updateSendable();
    resize(kInitialWidth, kInitialHeight);
}

void MessagesWindow::buildTop()
{
    auto *row = new QHBoxLayout;
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
    const auto button = [this, row](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        row->addWidget(b);
        return b;
    };
    QPushButton *open = button("OpenMessages", QStringLiteral("Open Messages\u2026"));
    open->setToolTip(QStringLiteral("Ctrl+O"));
    QPushButton *save = button("SaveMessages", QStringLiteral("Save Messages\u2026"));
    save->setToolTip(QStringLiteral("Ctrl+S"));
    m_sendAll = button("SendAll", QStringLiteral("Send &all"));
    m_sendAll->setToolTip(QStringLiteral("Sends slots 0 to 9 in order, each after the reply of the one before; Escape stops"));
    row->addStretch(1);
    auto *label = new QLabel(QStringLiteral("Reply &timeout:"), this);
    m_timeout = new QSpinBox(this);
    m_timeout->setObjectName(QStringLiteral("Timeout"));
    m_timeout->setRange(1, 600'000);
    m_timeout->setSuffix(QStringLiteral(" ms"));
    m_timeout->setValue(MessageSession::kDefaultTimeoutMs);
    label->setBuddy(m_timeout);
    row->addWidget(label);
    row->addWidget(m_timeout);
    connect(open, &QPushButton::clicked, this, [this] { openMessages(askFile(false)); });
    connect(save, &QPushButton::clicked, this, [this] { saveMessages(askFile(true)); });
    connect(m_sendAll, &QPushButton::clicked, this, &MessagesWindow::sendAllClicked);
    connect(m_timeout, &QSpinBox::valueChanged, m_session, &MessageSession::setTimeoutMs);
}

void MessagesWindow::buildShortcuts()
{
    const auto shortcut = [this](const QKeySequence &keys, auto action) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_O), [this] { openMessages(askFile(false)); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { saveMessages(askFile(true)); });
    // Not Ctrl+E: a line edit takes that for the end of its line.
    shortcut(QKeySequence(Qt::ALT | Qt::Key_E), [this] { openEditor(focusedSlot()); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { m_session->stopSendAll(); });
    for (int slot = 0; slot < SlotGrid::kCommands; ++slot)
        shortcut(QKeySequence(Qt::Key(Qt::Key_F1 + slot)), [this, slot] { m_session->sendSlot(slot); });
}

void MessagesWindow::connectSession()
{
    connect(m_grid, &SlotGrid::sendRequested, m_session, &MessageSession::sendSlot);
    connect(m_grid, &SlotGrid::editRequested, this, &MessagesWindow::openEditor);
    connect(m_grid, &SlotGrid::nameEdited, m_session, &MessageSession::setName);
    connect(m_quick, &QuickLine::sendRequested, this, [this](const SerialString &message) {
        m_session->sendMessage(message, QStringLiteral("Quick line"));
    });
    connect(m_quick, &QuickLine::storeRequested, this, &MessagesWindow::store);
    connect(m_quick, &QuickLine::refused, this, &MessagesWindow::tell);
    connect(m_session, &MessageSession::refused, this, &MessagesWindow::tell);
    connect(m_session, &MessageSession::logged, m_log, &QPlainTextEdit::appendPlainText);
    connect(m_session, &MessageSession::sendAllChanged, this, &MessagesWindow::sendAllChanged);
    if (m_line)
        connect(m_line, &MessageLine::openChanged, this, &MessagesWindow::updateSendable);
}

void MessagesWindow::updateSendable()
{
    const bool sendable = m_session->canSend();
    m_grid->setSendable(sendable);
    m_quick->setSendable(sendable);
    m_sendAll->setEnabled(sendable || m_session->isSendingAll());
    const QString why = m_line ? QStringLiteral("The port is closed: connect in the main window to send")
                               : QStringLiteral("No port here: this window only edits messages");
    setToolTip(sendable ? QString() : why);
    if (!sendable)
        tell(why);
    else if (m_status->text() == why)
        tell(QString());
}

void MessagesWindow::sendAllClicked()
{
    if (m_session->isSendingAll())
        m_session->stopSendAll();
    else
        m_session->startSendAll();
}

void MessagesWindow::sendAllChanged(bool running)
{
    m_sendAll->setText(running ? QStringLiteral("Stop (Esc)") : QStringLiteral("Send &all"));
    updateSendable();
}

void MessagesWindow::store(int slot, const SerialString &message)
{
    Globals::MessageTable.setSlot(slot, message);
    m_grid->reload(slot);
    tell(QStringLiteral("Stored in slot %1").arg(slot));
}

SerialEditor *MessagesWindow::openEditor(int slot)
{
    if (!Globals::SlotTable::isValidSlot(slot))
        return nullptr;
    // The editor reads EditorSlot once, while it is created.
    Globals::EditorSlot = qint16(slot);
    auto *editor = new SerialEditor(this);
    connect(editor, &QDialog::accepted, m_grid, [this, slot] { m_grid->reload(slot); });
    connect(editor, &QDialog::finished, editor, &QObject::deleteLater);
    editor->open();
    return editor;
}

QString MessagesWindow::askFile(bool saving)
{
    QFileDialog dialog(this, saving ? QStringLiteral("Save Messages") : QStringLiteral("Open Messages"), m_folder, kFilter);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (saving)
        dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().constFirst();
    m_folder = QFileInfo(path).absolutePath();
    return path;
}

// A bad file changes nothing: the table and the names stay as they were.
void MessagesWindow::openMessages(const QString &path)
{
    if (path.isEmpty())
        return;
    const MessageFile::Reading reading = MessageFile::load(path);
    if (reading.error)
        return tell(QStringLiteral("%1 was not opened. %2").arg(QFileInfo(path).fileName(), reading.error->toString()));
    for (int slot = 0; slot < kSlots; ++slot) {
        Globals::MessageTable.setSlot(slot, reading.book.slots[std::size_t(slot)]);
        m_session->setName(slot, reading.book.names[std::size_t(slot)]);
        m_grid->setName(slot, reading.book.names[std::size_t(slot)]);
    }
    m_grid->reload();
    tell(QStringLiteral("Opened %1").arg(QFileInfo(path).fileName()));
}

void MessagesWindow::saveMessages(const QString &path)
{
    if (path.isEmpty())
        return;
    MessageBook book;
    for (int slot = 0; slot < kSlots; ++slot) {
        book.slots[std::size_t(slot)] = Globals::MessageTable.slot(slot);
        book.names[std::size_t(slot)] = m_session->name(slot);
    }
    const std::optional<QString> failure = MessageFile::save(path, book);
    tell(failure ? *failure : QStringLiteral("Saved %1").arg(QFileInfo(path).fileName()));
}

void MessagesWindow::tell(const QString &text)
{
    m_status->setText(text);
}

// The row of the control that has the focus, from its name "SlotName[3]" or "Send[3]".
int MessagesWindow::focusedSlot() const
{
    static const QRegularExpression indexed(QStringLiteral("\\[(\\d+)\\]$"));
    const QWidget *focus = focusWidget();
    const QRegularExpressionMatch match = indexed.match(focus ? focus->objectName() : QString());
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}
