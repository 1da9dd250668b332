#include "logcapture.h"

#include "logformat.h"
#include "logsaver.h"
#include "logview.h"
#include "reasontip.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>

#include <algorithm>

namespace {

constexpr int kProgressSteps = 1000;
constexpr int kMarkInset = 3;

} // namespace

LogCapture::LogCapture(LogView *box, const ReceiveLog &log, QObject *parent)
    : QObject(parent)
    , m_box(box)
    , m_log(log)
{
    m_saveAction = new QAction(tr("&Save Log As\u2026"), this);
    m_saveAction->setObjectName(QStringLiteral("menuSaveLogAs"));
    m_saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_recordAction = new QAction(tr("&Record to File\u2026"), this);
    m_recordAction->setObjectName(QStringLiteral("menuRecordToFile"));
    m_recordAction->setCheckable(true);
    m_box->addMenuActions({m_saveAction, m_recordAction});
    createRecordMark();

    m_progressDelay.setSingleShot(true);
    m_progressDelay.setInterval(kProgressAfterMs);
    connect(m_saveAction, &QAction::triggered, this, &LogCapture::saveLogAs);
    connect(m_recordAction, &QAction::triggered, this, &LogCapture::recordToFile);
    connect(&m_recorder, &LogRecorder::failed, this, &LogCapture::recordingFailed);
    connect(&m_progressDelay, &QTimer::timeout, this, &LogCapture::showProgress);
}

// A strip above the lines while recording: the lines give up its room, so no
// received text is ever under it, and the box keeps its place, size and caption.
// Clicks and tooltips go through to the box.
void LogCapture::createRecordMark()
{
    m_recordMark = new QLabel(m_box);
    m_recordMark->setObjectName(QStringLiteral("RecordMark"));
    m_recordMark->setAccessibleName(tr("Recording"));
    m_recordMark->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_recordMark->setAutoFillBackground(true);
    m_recordMark->setMargin(1);
    m_recordMark->setIndent(kMarkInset);
    QPalette palette = m_recordMark->palette();
    palette.setColor(QPalette::Window, QColor(192, 0, 0));
    palette.setColor(QPalette::WindowText, Qt::white);
    m_recordMark->setPalette(palette);
    QFont font = m_recordMark->font();
    font.setBold(true);
    m_recordMark->setFont(font);
    m_recordMark->hide();
}

// The desktop's own dialog where there is one. A name typed without an extension
// takes the chosen filter's, unless the file is one to append to.
QString LogCapture::askForFile(const QString &caption, const QStringList &filters, bool appending, QString *filter)
{
    // Qt's own dialog keeps its history and view in the user's settings, and the
    // program keeps none: they go to a folder that cannot exist, not even for root.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("/dev/null"));
    QFileDialog dialog(m_box->window(), caption, m_folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    if (appending) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        const auto suffixOf = [](const QString &f) { return QLatin1String(LogFormat::forFilter(f).suffix); };
        dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
        connect(&dialog, &QFileDialog::filterSelected, &dialog,
                [&dialog, suffixOf](const QString &f) { dialog.setDefaultSuffix(suffixOf(f)); });
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().constFirst();
    m_folder = QFileInfo(path).absolutePath();
    if (filter)
        *filter = dialog.selectedNameFilter();
    return path;
}

// The saver takes the log before the dialog opens: the file holds what the log held
// when Save was chosen, whatever arrives while the operator picks a name.
void LogCapture::saveLogAs()
{
    if (m_saver)
        return;
    m_saver = new LogSaver(m_log, this);
    QString filter;
    const QString path = askForFile(tr("Save Log As"), LogFormat::filters(), false, &filter);
    if (path.isEmpty()) {
        endSave();
        return;
    }
    m_savePath = path;
    m_saveAction->setEnabled(false);
    connect(m_saver, &LogSaver::progressed, this, [this] {
        if (m_progress)
            m_progress->setValue(int(m_saver->done() * kProgressSteps / std::max<qint64>(m_saver->total(), 1)));
    });
    connect(m_saver, &LogSaver::finished, this, &LogCapture::saveFinished);
    m_progressDelay.start();
    m_saver->start(path, LogFormat::forFile(path, LogFormat::forFilter(filter)).kind);
}

// Not modal: the operator may go on typing into the transmit box meanwhile.
void LogCapture::showProgress()
{
    m_progress = new QProgressDialog(tr("Saving the log to %1\u2026").arg(QFileInfo(m_savePath).fileName()),
                                     tr("Cancel"), 0, kProgressSteps, m_box->window());
    m_progress->setObjectName(QStringLiteral("SaveProgress"));
    m_progress->setWindowTitle(tr("Save Log As"));
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    // A click may still reach a dialog whose save has ended and which waits to go.
    connect(m_progress, &QProgressDialog::canceled, this, [this] {
        if (!m_saver)
            return;
        m_saver->cancel();
        endSave();
    });
    m_progress->show();
}

void LogCapture::saveFinished(const QString &reason)
{
    endSave();
    if (reason.isEmpty())
        return;
    // Open, not exec: the window goes on receiving while the box waits.
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Save Log As"),
                                tr("The log could not be saved to %1: %2.").arg(QDir::toNativeSeparators(m_savePath), reason),
                                QMessageBox::Ok, m_box->window());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void LogCapture::endSave()
{
    m_progressDelay.stop();
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
    }
    m_progress = nullptr;
    if (m_saver)
        m_saver->deleteLater();
    m_saver = nullptr;
    m_saveAction->setEnabled(true);
}

void LogCapture::recordToFile(bool on)
{
    if (!on) {
        m_box->setTopWidget(nullptr);
        m_box->setToolTip(QString());
        m_recorder.stop();
        return;
    }
    // Checked only once a file is open.
    m_recordAction->setChecked(false);
    static_assert(LogFormat::kFormats.front().kind == LogFormat::Kind::Bytes);
    const QString path = askForFile(tr("Record to File"),
                                    {QLatin1String(LogFormat::kFormats.front().filter), tr("All files (*)")}, true,
                                    nullptr);
    if (path.isEmpty())
        return;
    QString reason;
    if (!m_recorder.start(path, &reason)) {
        ReasonTip::show(m_box, tr("Recording to %1 could not start: %2").arg(QDir::toNativeSeparators(path), reason));
        return;
    }
    m_recordAction->setChecked(true);
    m_box->setToolTip(tr("Recording to %1").arg(QDir::toNativeSeparators(path)));
    m_recordMark->setText(tr("\u25CF REC  %1").arg(QFileInfo(path).fileName()));
    m_box->setTopWidget(m_recordMark);
}

void LogCapture::recordingFailed(const QString &reason)
{
    m_recordAction->setChecked(false);
    m_box->setTopWidget(nullptr);
    ReasonTip::show(m_box, tr("Recording to %1 stopped: %2").arg(QDir::toNativeSeparators(m_recorder.path()), reason));
}
