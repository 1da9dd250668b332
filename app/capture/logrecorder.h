#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QTimer>

// Writes received bytes to a file as they arrive, raw, after what the file held.
// What was written reaches the disk (fdatasync) every kSyncMs and when recording
// stops. The first write or sync that fails stops recording and says why; the bytes
// themselves stay wherever else the caller keeps them.
class LogRecorder : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSyncMs = 2000;

    explicit LogRecorder(QObject *parent = nullptr);
    // Stops quietly: the data is synced, a failure has nobody left to tell.
    ~LogRecorder() override;

    // Creates the file, or appends to it when it exists; otherwise false, and
    // reason says why.
    bool start(const QString &path, QString *reason);
    // Syncs and closes; a failed sync raises failed().
    void stop();
    bool isRecording() const { return m_fd >= 0; }
    const QString &path() const { return m_path; }

    // All of bytes, or nothing while not recording.
    void write(QByteArrayView bytes);

Q_SIGNALS:
    // Recording has stopped already.
    void failed(const QString &reason);

private:
    // errno of a failed fdatasync, 0 when the data is on the disk.
    int sync();
    void close();
    void fail(int error);

    int m_fd = -1;
    QString m_path;
    bool m_unsynced = false;
    QTimer m_syncTimer;
};
