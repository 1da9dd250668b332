#pragma once

#include "filereadahead.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <optional>

class MessageLine;
class QTimer;

// Sends a file's bytes exactly as they are, read ahead in pieces so that any size takes
// the same memory and no turn waits on the disk, at the line's own pace: a write goes to
// the line only while the line has taken all before it, so at most the rest of one write
// waits in the serial control and a typed key waits behind no more. A write is as long
// as the line sends in kQueuedNs, judged by how fast the rest of the last one drained,
// so a slow line gets short writes and a fast one long ones, which cost fewer turns of
// the loop. Optional delays after each line feed and between bytes. The work is cut into
// short turns of the event loop, which keeps receiving.
class FileSender : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype kMinWrite = 16;
    static constexpr qsizetype kFirstWrite = 1024;
    static constexpr qsizetype kMaxWrite = 256 * 1024;
    static constexpr qint64 kQueuedNs = 20'000'000;

    struct Pacing
    {
        int lineDelayMs = 0;
        int byteDelayMs = 0;
    };

    explicit FileSender(MessageLine *line, QObject *parent = nullptr);

    // The reason when the file cannot be opened or the port is closed.
    std::optional<QString> start(const QString &path, Pacing pacing);
    void cancel();

    bool isRunning() const { return m_running; }
    qint64 total() const { return m_total; }
    // Bytes the line has taken.
    qint64 sent() const;
    qint64 elapsedMs() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }

Q_SIGNALS:
    // How it ended: all sent, cancelled, or why it stopped and how much went out.
    void finished(const QString &outcome, bool complete);

private:
    void step();
    bool refill();
    qsizetype nextRun() const;
    void handOver(qsizetype size);
    void fitWrite();
    void finish(const QString &outcome, bool complete = false);
    void stopped(const QString &why);

    QPointer<MessageLine> m_line;
    FileReadAhead m_file;
    QString m_name;
    Pacing m_pacing;
    QByteArray m_piece;
    qsizetype m_piecePos = 0;
    qint64 m_total = 0;
    qint64 m_handed = 0;
    qint64 m_lastPending = 0;
    qsizetype m_write = kFirstWrite;
    // The rest of the last write the line did not take at once, and since when it waits.
    qint64 m_waiting = 0;
    qint64 m_waitingSinceNs = 0;
    QElapsedTimer m_clock;
    // When the next byte may go, on m_clock, in nanoseconds.
    qint64 m_dueNs = 0;
    QTimer *m_timer = nullptr;
    bool m_running = false;
};
