#pragma once

#include "filesender.h"

#include <QWidget>

class MessageLine;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// The progress of one Send File, in a small window of its own that leaves the main
// window usable: bytes sent, rate and time left, with Cancel; at the end, how it
// ended and how many bytes went out. It deletes itself when closed.
class SendFileProgress : public QWidget
{
    Q_OBJECT

public:
    SendFileProgress(MessageLine *line, QWidget *parent = nullptr);

    // The reason when sending could not start.
    std::optional<QString> start(const QString &path, FileSender::Pacing pacing);
    FileSender &sender() { return *m_sender; }

    // "12,345 of 100,000 bytes, 11.5 kB/s, 8 s left"
    static QString progressText(qint64 sent, qint64 total, qint64 elapsedMs);

private:
    void update();
    void finished(const QString &outcome, bool complete);

    FileSender *m_sender = nullptr;
    QLabel *m_text = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_cancel = nullptr;
    QTimer *m_ticker = nullptr;
};
