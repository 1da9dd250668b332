#pragma once

#include "fieldspans.h"
#include "logformat.h"
#include "receivelog.h"
#include "timedtext.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>

class QSaveFile;

// Writes the receive log to a file as it was when the saver was made: the saver
// shares the log's chunks and the byte count it saw of each, so the log may grow,
// compress or be cleared meanwhile. It writes in slices of a few milliseconds from
// the event loop, so the window goes on receiving and answering keys. The file is
// written under a temporary name beside the target and takes its place only when
// complete: a failure or a cancel leaves no file and an existing target as it was.
class LogSaver : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSliceMs = 5;

    explicit LogSaver(const ReceiveLog &log, QObject *parent = nullptr);
    ~LogSaver() override;

    // finished() follows from the event loop, never from inside start().
    void start(const QString &path, LogFormat::Kind kind);
    // Stops an unfinished save and leaves no file; finished() does not follow.
    void cancel();

    // In received bytes.
    qint64 total() const { return m_total; }
    qint64 done() const { return m_done; }

Q_SIGNALS:
    // After every slice but the last.
    void progressed();
    // An empty reason: the file is complete and in its place.
    void finished(const QString &reason);

private:
    void writeSlice();
    void encode(const LogChunk::Snapshot &snapshot);
    bool flush();
    bool pushToDisk(bool last);
    void finish(const QString &reason);

    QList<LogChunk::Snapshot> m_chunks;
    qsizetype m_next = 0;
    qint64 m_total = 0;
    qint64 m_done = 0;
    LogFormat::Kind m_kind = LogFormat::Kind::Bytes;
    std::unique_ptr<QSaveFile> m_file;
    // File offsets: written, handed to the disk, known to be on it.
    qint64 m_written = 0;
    qint64 m_pushed = 0;
    qint64 m_onDisk = 0;
    QString m_failure;
    QByteArray m_out;
    QByteArray m_text;
    FieldSpans m_fields;
    TimedText m_timed;
    QTimer m_slices;
};
