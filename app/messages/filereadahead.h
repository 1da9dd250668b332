#pragma once

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

// Reads a file ahead of its sender on a thread of its own, at most kAhead pieces of
// kPiece bytes, so that the event loop never waits on the disk (a read of a cold or
// slow file takes tens of milliseconds) and a file of any size takes the same memory.
class FileReadAhead : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype kPiece = 256 * 1024;
    static constexpr std::size_t kAhead = 4;

    struct Next
    {
        enum Kind { Piece, Wait, End, Failed } kind;
        QByteArray piece;
        QString failure;
    };

    using QObject::QObject;
    ~FileReadAhead() override;

    // Opens the file and starts reading; otherwise the reason.
    std::optional<QString> open(const QString &path);
    // Stops reading; waits at most for the piece being read.
    void close();
    qint64 size() const { return m_size; }

    // The next piece, or Wait: then ready() comes when there is one, or the end, or a failure.
    Next take();

Q_SIGNALS:
    void ready();

private:
    void run();

    std::thread m_reader;
    qint64 m_size = 0;
    // Shared with the reader.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    QFile m_file;
    std::deque<QByteArray> m_pieces;
    std::optional<Next> m_last; // the end or the failure, after the pieces
    bool m_starved = false;     // take() found nothing: the reader signals the next
    bool m_stopping = false;
};
