#include "farend.h"

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
    m_writer = std::thread([this, kind, limit] {
        ReceiveStream stream(kind);
        while (!m_stop && m_written < limit) {
            const QByteArray block = stream.next(std::min<qint64>(64 * 1024, limit - m_written));
            for (qsizetype off = 0; off < block.size();) {
                const ssize_t n = ::write(m_master, block.constData() + off, size_t(block.size() - off));
                if (n <= 0)
                    break;
                off += n;
                m_written += n;
            }
        }
        m_floodDone = true;
    });
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
