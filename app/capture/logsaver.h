#pragma once

#include "fieldspans.h"
#include "logformat.h"
#include "receivelog.h"
#include "timedtext.h"

#include <QObject>

#include <atomic>
#include <thread>

class QSaveFile;

// Writes the receive log to a file as it was when the saver was made: the saver
// takes a snapshot of the log, sharing its chunks, which never change once shared,
// so the log may grow, pack or be cleared meanwhile. It encodes, writes and syncs on a writer thread
// of its own, so the window goes on receiving and answering keys. The file is
// written under a temporary name beside the target and takes its place only when
// complete: a failure or a cancel leaves no file and an existing target as it was.
class LogSaver : public QObject
{
    Q_OBJECT

public:
    // progressed() comes no more often than this.
    static constexpr int kProgressMs = 50;

    explicit LogSaver(const ReceiveLog &log, QObject *parent = nullptr);
    // Cancels, and waits for the writer to let go of the file.
    ~LogSaver() override;

    // finished() follows from the event loop, never from inside start().
    void start(const QString &path, LogFormat::Kind kind);
    // Stops an unfinished save; the writer removes its file soon after, and
    // finished() does not follow.
    void cancel();

    // In received bytes.
    qint64 total() const { return m_log.byteCount(); }
    qint64 done() const { return m_done.load(); }

Q_SIGNALS:
    void progressed();
    // An empty reason: the file is complete and in its place.
    void finished(const QString &reason);

private:
    // On the writer thread: the whole save, and why it failed.
    QString run(const QString &path);
    // False when the chunk cannot be unpacked.
    bool encode(const LogChunk::Snapshot &snapshot);
    // Why the file could not take the block, or nothing.
    QString flush(QSaveFile &file);
    void ended(const QString &reason);

    ReceiveLog m_log;
    std::atomic<qint64> m_done = 0;
    std::atomic<bool> m_cancelled = false;
    LogFormat::Kind m_kind = LogFormat::Kind::Bytes;
    std::thread m_writer;
    // The writer's alone while it runs. File offsets: written, handed to the disk,
    // known to be on it.
    qint64 m_written = 0;
    qint64 m_pushed = 0;
    qint64 m_onDisk = 0;
    QByteArray m_out;
    QByteArray m_text;
    FieldSpans m_fields;
    TimedText m_timed;
};
