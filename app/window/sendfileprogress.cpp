#include "sendfileprogress.h"

#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kTickMs = 250;
constexpr int kBarSteps = 1000;
constexpr int kWidth = 420;

} // namespace

SendFileProgress::SendFileProgress(MessageLine *line, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_sender(new FileSender(line, this))
    , m_ticker(new QTimer(this))
{
    setObjectName(QStringLiteral("SendFileProgress"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *column = new QVBoxLayout(this);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("SendFileText"));
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, kBarSteps);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("SendFileCancel"));
    column->addWidget(m_text);
    column->addWidget(m_bar);
    column->addWidget(m_cancel, 0, Qt::AlignRight);
    resize(kWidth, sizeHint().height());
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_sender->isRunning())
            m_sender->cancel();
        else
            close();
    });
    connect(m_sender, &FileSender::finished, this, &SendFileProgress::finished);
    connect(m_ticker, &QTimer::timeout, this, &SendFileProgress::update);
}

std::optional<QString> SendFileProgress::start(const QString &path, FileSender::Pacing pacing)
{
    setWindowTitle(QStringLiteral("Sending %1").arg(QFileInfo(path).fileName()));
    if (std::optional<QString> why = m_sender->start(path, pacing))
        return why;
    m_ticker->start(kTickMs);
    update();
    return std::nullopt;
}

QString SendFileProgress::progressText(qint64 sent, qint64 total, qint64 elapsedMs)
{
    const QLocale locale(QLocale::English);
    QString text = QStringLiteral("%1 of %2 bytes").arg(locale.toString(sent), locale.toString(total));
    if (elapsedMs <= 0 || sent <= 0)
        return text;
    const double perSecond = double(sent) * 1000 / double(elapsedMs);
    const qint64 left = qint64(double(total - sent) / perSecond + 0.5);
    return text + QStringLiteral(", %1 kB/s, %2 s left").arg(perSecond / 1000, 0, 'f', 1).arg(left);
}

void SendFileProgress::update()
{
    const qint64 total = m_sender->total();
    const qint64 sent = m_sender->sent();
    m_text->setText(progressText(sent, total, m_sender->elapsedMs()));
    m_bar->setValue(total > 0 ? int(sent * kBarSteps / total) : kBarSteps);
}

void SendFileProgress::finished(const QString &outcome, bool complete)
{
    m_ticker->stop();
    m_text->setText(outcome);
    if (complete)
        m_bar->setValue(kBarSteps);
    m_cancel->setText(QStringLiteral("Close"));
}
