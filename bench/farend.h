#pragma once

#include "receivestream.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The far end of the benchmark's line, on the pseudo-terminal's master: one thread
// floods the line with a stream, one notes when each typed key arrives.
class FarEnd
{
public:
    using Clock = std::chrono::steady_clock;

    FarEnd(int master, char key);
    ~FarEnd();

    // Writes the stream until limit bytes are out or stop() is called.
    void flood(ReceiveStream::Kind kind, qint64 limit);
    // Writes the stream at bytesPerSecond, a millisecond's bytes at a time, as a
    // device on a slow line does, until stop() is called.
    void pace(ReceiveStream::Kind kind, int bytesPerSecond);
    void stop() { m_stop = true; }
    bool floodDone() const { return m_floodDone; }
    qint64 written() const { return m_written; }

    std::vector<Clock::time_point> arrivals() const;

private:
    static constexpr qsizetype kPoolSize = 16 * 1024 * 1024;
    static constexpr qsizetype kBlock = 64 * 1024;

    void startWriter(std::function<void()> write);
    bool writeAll(const char *data, qsizetype size);
    void readKeys();

    int m_master;
    char m_key;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_floodDone = false;
    std::atomic<bool> m_closing = false;
    std::atomic<qint64> m_written = 0;
    mutable std::mutex m_mutex;
    std::vector<Clock::time_point> m_arrivals;
    std::thread m_writer;
    std::thread m_reader;
};
