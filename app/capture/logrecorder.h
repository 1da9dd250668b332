#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

// Writes received bytes to a file as they arrive, raw, after what the file held.
// write() only hands the bytes to a writer thread of the recording's own, so the
// serial event never waits on the disk; the writer keeps their order and syncs
// (fdatasync) every kSyncMs, so what arrived is on the disk within kSyncMs and the
// disk's own flush time. At most kMaxBehind bytes wait for it: a disk further
// behind stops the recording. Every failure stops recording and says why; the bytes
// themselves stay wherever else the caller keeps them.
class LogRecorder : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSyncMs = 2000;
    static constexpr qsizetype kMaxBehind = 64 * 1024 * 1024;

    explicit LogRecorder(QObject *parent = nullptr);
    // Waits for the writer; a failure of its last sync or close goes to the
    // program's log, there being nobody left to tell.
    ~LogRecorder() override;

    // Creates the file, or appends to it when it exists; otherwise false, and
    // reason says why. A recording still being finished is waited for first.
    bool start(const QString &path, QString *reason);
    // Takes no more bytes; the writer writes what it holds, syncs and closes, and a
    // failure of that comes later as failed(). Returns at once.
    void stop();
    // stop(), and waits for the writer: a failure is told before it returns.
    void finish();
    bool isRecording() const { return m_recording; }
    const QString &path() const { return m_path; }

    // All of bytes, or nothing while not recording. Never waits on the disk.
    void write(QByteArrayView bytes);

Q_SIGNALS:
    // Recording has stopped already, or its last sync or close failed.
    void failed(const QString &reason);

private:
    void run(int fd, quint64 generation);
    // The writer of that recording has ended.
    void ended(quint64 generation);
    // Waits for the writer to end; its failure, unless one was told.
    int join();
    // Stops, and tells the first failure of the recording.
    void fail(const QString &reason);

    bool m_recording = false;
    bool m_told = false; // a failure of this recording was told
    quint64 m_generation = 0; // counts recordings, so that a late end finds its own
    QString m_path;
    std::thread m_writer;
    // Shared with the writer.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    QByteArray m_waiting;
    qsizetype m_behind = 0; // waiting, and taken but not yet written
    bool m_stopping = false;
    int m_error = 0; // the writer's first failure
};
