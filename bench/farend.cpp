#include "farend.h"

#include <algorithm>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

FarEnd::FarEnd(int master, char key)
    : m_master(master)
    , m_key(key)
{
    // Blocking writes: the writer waits while the line is full, as a real device would.
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) & ~O_NONBLOCK);
    m_reader = std::thread([this] { readKeys(); });
}

FarEnd::~FarEnd()
{
    m_stop = true;
    m_closing = true;
    if (m_writer.joinable())
        m_writer.join();
    m_reader.join();
}

void FarEnd::flood(ReceiveStream::Kind kind, qint64 limit)
{
    // Made before the flood and sent round and round, so that making it does not take
    // processor time from the window while it is measured. Each chunk of the log is
    // compressed on its own, so the repeat far back gains nothing.
    const QByteArray pool = ReceiveStream(kind).next(qsizetype(std::min<qint64>(limit, kPoolSize)));
    startWriter([this, pool, limit] {
        for (qsizetype off = 0; !m_stop && m_written < limit; off = (off + kBlock) % pool.size()) {
            const qsizetype size = qsizetype(std::min<qint64>({kBlock, pool.size() - off, limit - m_written}));
            if (!writeAll(pool.constData() + off, size))
                break;
        }
    });
}

void FarEnd::pace(ReceiveStream::Kind kind, int bytesPerSecond)
{
    const QByteArray pool = ReceiveStream(kind).next(kBlock);
    startWriter([this, pool, bytesPerSecond] {
        const Clock::time_point start = Clock::now();
        qint64 sent = 0;
        for (int ms = 1; !m_stop; ++ms) {
            std::this_thread::sleep_until(start + std::chrono::milliseconds(ms));
            const qint64 due = qint64(bytesPerSecond) * ms / 1000;
            while (sent < due) {
                const qsizetype off = qsizetype(sent % pool.size());
                const qsizetype size = qsizetype(std::min<qint64>(due - sent, pool.size() - off));
                if (!writeAll(pool.constData() + off, size))
                    return;
                sent += size;
            }
        }
    });
}

// One writer at a time; the one before has finished or been stopped.
void FarEnd::startWriter(std::function<void()> write)
{
    if (m_writer.joinable())
        m_writer.join();
    m_stop = false;
    m_floodDone = false;
    m_writer = std::thread([this, write] {
        write();
        m_floodDone = true;
    });
}

bool FarEnd::writeAll(const char *data, qsizetype size)
{
    for (qsizetype off = 0; off < size;) {
        const ssize_t n = ::write(m_master, data + off, size_t(size - off));
        if (n <= 0)
            return false;
        off += n;
        m_written += n;
    }
    return true;
}

std::vector<FarEnd::Clock::time_point> FarEnd::arrivals() const
{
    std::lock_guard lock(m_mutex);
    return m_arrivals;
}

void FarEnd::readKeys()
{
    pollfd fd{m_master, POLLIN, 0};
    char buffer[256];
    while (!m_closing) {
        if (::poll(&fd, 1, 20) <= 0)
            continue;
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        const Clock::time_point now = Clock::now();
        std::lock_guard lock(m_mutex);
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == m_key)
                m_arrivals.push_back(now);
        }
    }
}
