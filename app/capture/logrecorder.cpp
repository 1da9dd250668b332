#include "logrecorder.h"

#include "diskfile.h"

#include <QDebug>

#include <chrono>

namespace {

// A batch this large keeps its memory for the next one no longer.
constexpr qsizetype kKeptBatch = 4 * 1024 * 1024;

} // namespace

LogRecorder::LogRecorder(QObject *parent)
    : QObject(parent)
{
}

LogRecorder::~LogRecorder()
{
    stop();
    if (const int error = join())
        qWarning("Recording to %s could not be finished: %s", qPrintable(m_path), qPrintable(DiskFile::reasonOf(error)));
}

bool LogRecorder::start(const QString &path, QString *reason)
{
    finish();
    const int fd = DiskFile::openForRecording(path, reason);
    if (fd < 0)
        return false;
    m_path = path;
    m_recording = true;
    m_told = false;
    m_stopping = false;
    m_error = 0;
    m_behind = 0;
    ++m_generation;
    m_writer = std::thread(&LogRecorder::run, this, fd, m_generation);
    return true;
}

void LogRecorder::stop()
{
    if (!m_recording)
        return;
    m_recording = false;
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
}

void LogRecorder::finish()
{
    stop();
    if (const int error = join())
        fail(DiskFile::reasonOf(error));
}

void LogRecorder::write(QByteArrayView bytes)
{
    if (!m_recording || bytes.isEmpty())
        return;
    bool wake = false;
    bool behind = false;
    {
        const std::lock_guard lock(m_mutex);
        // After a failure of the writer's, its end is on the way to ended().
        if (m_error)
            return;
        behind = m_behind + bytes.size() > kMaxBehind;
        if (!behind) {
            wake = m_waiting.isEmpty();
            m_waiting.append(bytes);
            m_behind += bytes.size();
        }
    }
    if (wake)
        m_wake.notify_one();
    if (behind)
        fail(tr("the disk fell more than %1 MiB behind").arg(kMaxBehind / (1024 * 1024)));
}

// The writer thread. The batch it writes is what waited when it woke: one write
// call for many serial events in a flood.
void LogRecorder::run(int fd, quint64 generation)
{
    using Clock = std::chrono::steady_clock;
    constexpr auto kSync = std::chrono::milliseconds(kSyncMs);
    // The first bytes go to the disk at once; later ones kSyncMs after the last sync began.
    Clock::time_point lastSync{};
    bool unsynced = false;
    bool stopping = false;
    int error = 0;
    QByteArray batch;
    while (!stopping && !error) {
        {
            std::unique_lock lock(m_mutex);
            const auto ready = [this] { return !m_waiting.isEmpty() || m_stopping; };
            if (unsynced)
                m_wake.wait_until(lock, lastSync + kSync, ready);
            else
                m_wake.wait(lock, ready);
            if (batch.capacity() > kKeptBatch)
                batch = QByteArray();
            batch.resize(0);
            batch.swap(m_waiting);
            stopping = m_stopping;
        }
        if (!batch.isEmpty()) {
            error = DiskFile::writeAll(fd, batch);
            unsynced = true;
            const std::lock_guard lock(m_mutex);
            m_behind -= batch.size();
        }
        if (!error && unsynced && (stopping || Clock::now() - lastSync >= kSync)) {
            lastSync = Clock::now();
            unsynced = false;
            error = DiskFile::syncData(fd);
        }
    }
    const int closed = DiskFile::close(fd);
    {
        const std::lock_guard lock(m_mutex);
        m_error = error ? error : closed;
    }
    QMetaObject::invokeMethod(this, [this, generation] { ended(generation); }, Qt::QueuedConnection);
}

void LogRecorder::ended(quint64 generation)
{
    if (generation != m_generation)
        return;
    if (const int error = join())
        fail(DiskFile::reasonOf(error));
}

int LogRecorder::join()
{
    if (!m_writer.joinable())
        return 0;
    m_writer.join();
    const std::lock_guard lock(m_mutex);
    return m_told ? 0 : m_error;
}

void LogRecorder::fail(const QString &reason)
{
    const bool wasTold = m_told;
    m_told = true;
    stop();
    if (!wasTold)
        Q_EMIT failed(reason);
}
