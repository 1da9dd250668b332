#include "filesender.h"

#include "messageline.h"

#include <QFileInfo>
#include <QLocale>
#include <QTimer>

namespace {

// One turn of the event loop sends for at most this long, so keys and received bytes
// wait no longer than that behind the file.
constexpr qint64 kTurnNs = 4'000'000;
constexpr qint64 kNsPerMs = 1'000'000;

} // namespace

FileSender::FileSender(MessageLine *line, QObject *parent)
    : QObject(parent)
    , m_line(line)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &FileSender::step);
    connect(&m_file, &FileReadAhead::ready, this, &FileSender::step);
    if (!m_line)
        return;
    connect(m_line, &MessageLine::drained, this, [this] { if (m_running) step(); });
    connect(m_line, &MessageLine::lost, this, [this](const QString &reason) {
        stopped(QStringLiteral("the line was lost (%1)").arg(reason));
    });
    connect(m_line, &MessageLine::openChanged, this, [this](bool open) {
        if (!open)
            stopped(QStringLiteral("the port was closed"));
    });
}

std::optional<QString> FileSender::start(const QString &path, Pacing pacing)
{
    if (m_running)
        return QStringLiteral("A file is being sent already");
    if (!m_line || !m_line->isOpen())
        return QStringLiteral("The port is closed: nothing was sent");
    if (const std::optional<QString> failure = m_file.open(path))
        return QStringLiteral("%1 could not be opened: %2").arg(path, *failure);
    m_name = QFileInfo(path).fileName();
    m_pacing = pacing;
    m_total = m_file.size();
    m_piece.clear();
    m_piecePos = 0;
    m_handed = 0;
    m_lastPending = 0;
    m_write = kFirstWrite;
    m_waiting = 0;
    m_dueNs = 0;
    m_clock.start();
    m_running = true;
    m_timer->start(0);
    return std::nullopt;
}

void FileSender::cancel()
{
    if (m_running)
        finish(QStringLiteral("Sending %1 cancelled after %2 of %3 bytes").arg(m_name).arg(sent()).arg(m_total));
}

qint64 FileSender::sent() const
{
    return m_handed - (m_running && m_line ? m_line->pending() : 0);
}

void FileSender::step()
{
    if (!m_running)
        return;
    const qint64 turnEnd = m_clock.nsecsElapsed() + kTurnNs;
    while (m_running) {
        m_lastPending = m_line->pending();
        // The rest waits for the line to take what it has: a fast line within this
        // turn, as a blocking write would, a slow one on the loop's drained signal.
        if (m_lastPending > 0) {
            const qint64 leftNs = turnEnd - m_clock.nsecsElapsed();
            if (m_write == kMaxWrite && leftNs > kNsPerMs && m_line->waitForRoom(int(leftNs / kNsPerMs)))
                continue;
            return;
        }
        fitWrite();
        if (m_piecePos == m_piece.size() && !refill())
            return;
        const qint64 now = m_clock.nsecsElapsed();
        if (m_dueNs > now) {
            m_timer->start(int((m_dueNs - now + kNsPerMs - 1) / kNsPerMs));
            return;
        }
        handOver(nextRun());
        if (m_clock.nsecsElapsed() >= turnEnd) {
            m_timer->start(0);
            return;
        }
    }
}

// False when there is nothing more to send now: the next piece is still being read
// (ready() comes then), the file is at its end, or reading failed.
bool FileSender::refill()
{
    FileReadAhead::Next next = m_file.take();
    m_piece = std::move(next.piece);
    m_piecePos = 0;
    if (next.kind == FileReadAhead::Next::Failed)
        stopped(QStringLiteral("reading the file failed (%1)").arg(next.failure));
    else if (next.kind == FileReadAhead::Next::End)
        finish(QStringLiteral("Sent %1 bytes of %2 in %3 s").arg(QLocale(QLocale::English).toString(m_handed), m_name)
                   .arg(double(m_clock.elapsed()) / 1000, 0, 'f', 1), true);
    return next.kind == FileReadAhead::Next::Piece;
}

// The bytes that may go in one write: one byte when bytes are paced, else up to the
// next line feed when lines are, else a piece.
qsizetype FileSender::nextRun() const
{
    const qsizetype left = std::min(m_piece.size() - m_piecePos, m_write);
    if (m_pacing.byteDelayMs > 0)
        return 1;
    if (m_pacing.lineDelayMs > 0) {
        const qsizetype lf = m_piece.indexOf('\n', m_piecePos);
        if (lf >= 0 && lf - m_piecePos < left)
            return lf - m_piecePos + 1;
    }
    return left;
}

void FileSender::handOver(qsizetype size)
{
    const QByteArrayView run(m_piece.constData() + m_piecePos, size);
    m_line->send(run);
    m_piecePos += size;
    m_handed += size;
    if (const qsizetype rest = m_line->pending(); rest > 0) {
        m_waiting = rest;
        m_waitingSinceNs = m_clock.nsecsElapsed();
    } else if (size == m_write) {
        m_write = std::min(kMaxWrite, m_write * 2);
    }
    // Byte delays run on a schedule, so the average pace holds when a timer fires late;
    // a line feed's delay counts from when it went.
    if (m_pacing.byteDelayMs > 0)
        m_dueNs = std::max(m_dueNs, m_clock.nsecsElapsed() - qint64(m_pacing.byteDelayMs) * kNsPerMs)
                  + qint64(m_pacing.byteDelayMs) * kNsPerMs;
    if (m_pacing.lineDelayMs > 0 && run.back() == '\n')
        m_dueNs = std::max(m_dueNs, m_clock.nsecsElapsed() + qint64(m_pacing.lineDelayMs) * kNsPerMs);
}

// The line has taken the rest of the last write: the next is as long as it sends in
// kQueuedNs at the pace it took that rest.
void FileSender::fitWrite()
{
    if (m_waiting == 0)
        return;
    const qint64 ns = std::max<qint64>(1, m_clock.nsecsElapsed() - m_waitingSinceNs);
    m_write = qsizetype(std::clamp<qint64>(m_waiting * kQueuedNs / ns, kMinWrite, kMaxWrite));
    m_waiting = 0;
}

void FileSender::stopped(const QString &why)
{
    if (m_running)
        finish(QStringLiteral("Sending %1 stopped after %2 bytes: %3").arg(m_name).arg(m_handed - m_lastPending).arg(why));
}

void FileSender::finish(const QString &outcome, bool complete)
{
    m_running = false;
    m_timer->stop();
    m_file.close();
    m_piece = QByteArray();
    Q_EMIT finished(outcome, complete);
}
