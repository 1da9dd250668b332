#include "sendfiledialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {

constexpr int kMaxDelayMs = 60'000;

QSpinBox *delayBox(const char *name, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(0, kMaxDelayMs);
    box->setSuffix(QStringLiteral(" ms"));
    return box;
}

} // namespace

SendFileDialog::SendFileDialog(const QString &fileName, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SendFileDialog"));
    setWindowTitle(QStringLiteral("Send File"));
    auto *form = new QFormLayout(this);
    form->addRow(new QLabel(QStringLiteral("Send %1 exactly as it is.").arg(fileName), this));
    m_lineDelay = delayBox("LineDelay", this);
    m_byteDelay = delayBox("ByteDelay", this);
    form->addRow(QStringLiteral("Delay after each &line feed:"), m_lineDelay);
    form->addRow(QStringLiteral("Delay between &bytes:"), m_byteDelay);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Send"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

FileSender::Pacing SendFileDialog::pacing() const
{
    return {m_lineDelay->value(), m_byteDelay->value()};
}
