#include "filereadahead.h"

FileReadAhead::~FileReadAhead()
{
    close();
}

std::optional<QString> FileReadAhead::open(const QString &path)
{
    close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return m_file.errorString();
    m_size = m_file.size();
    m_pieces.clear();
    m_last.reset();
    m_starved = false;
    m_stopping = false;
    m_reader = std::thread(&FileReadAhead::run, this);
    return std::nullopt;
}

void FileReadAhead::close()
{
    if (m_reader.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_one();
        m_reader.join();
    }
    m_file.close();
    m_pieces.clear();
}

FileReadAhead::Next FileReadAhead::take()
{
    Next next{Next::Wait, {}, {}};
    {
        const std::lock_guard lock(m_mutex);
        if (!m_pieces.empty()) {
            next = {Next::Piece, std::move(m_pieces.front()), {}};
            m_pieces.pop_front();
        } else if (m_last) {
            return *m_last;
        } else {
            m_starved = true;
            return next;
        }
    }
    m_wake.notify_one();
    return next;
}

void FileReadAhead::run()
{
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || m_pieces.size() < kAhead; });
            if (m_stopping)
                return;
        }
        QByteArray piece(kPiece, Qt::Uninitialized);
        const qint64 n = m_file.read(piece.data(), kPiece);
        bool signal = false;
        {
            const std::lock_guard lock(m_mutex);
            if (n > 0) {
                piece.resize(qsizetype(n));
                m_pieces.push_back(std::move(piece));
            } else {
                m_last = n == 0 ? Next{Next::End, {}, {}} : Next{Next::Failed, {}, m_file.errorString()};
            }
            signal = std::exchange(m_starved, false);
        }
        // The object outlives the thread, and its posted events go with it.
        if (signal)
            QMetaObject::invokeMethod(this, &FileReadAhead::ready, Qt::QueuedConnection);
        if (n <= 0)
            return;
    }
}
