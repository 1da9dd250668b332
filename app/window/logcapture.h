#pragma once

#include "logrecorder.h"

#include <QObject>
#include <QTimer>

class LogSaver;
class LogView;
class QAction;
class QLabel;
class QProgressDialog;
class ReceiveLog;

// The receive box's "Save Log As" and "Record to File" items and what they start.
// Save writes the log as it is when chosen, to a file and in a format the operator
// picks, with a progress dialog once it takes longer than kProgressAfterMs. Record
// writes every received byte to a file until it is unchecked, and marks the box
// meanwhile; why a recording failed shows beside the box, never in a dialog. Both
// write on threads of their own: the serial event never waits on the disk.
class LogCapture : public QObject
{
    Q_OBJECT

public:
    static constexpr int kProgressAfterMs = 500;

    // The box and the log stay for the capture's life; it touches neither on its way out.
    LogCapture(LogView *box, const ReceiveLog &log, QObject *parent);

    // Every received byte, in the serial event that read it, before the box shows it.
    void record(QByteArrayView bytes) { m_recorder.write(bytes); }

private:
    void createRecordMark();
    QString askForFile(const QString &caption, const QStringList &filters, bool appending, QString *filter);

    void saveLogAs();
    void showProgress();
    void saveFinished(const QString &reason);
    void endSave();

    void recordToFile(bool on);
    void recordingFailed(const QString &reason);

    LogView *m_box = nullptr;
    const ReceiveLog &m_log;
    QAction *m_saveAction = nullptr;
    QAction *m_recordAction = nullptr;
    QLabel *m_recordMark = nullptr;
    LogRecorder m_recorder;
    LogSaver *m_saver = nullptr;
    QString m_savePath;
    QTimer m_progressDelay;
    QProgressDialog *m_progress = nullptr;
    // Where the last file went, for this run only.
    QString m_folder;
};
