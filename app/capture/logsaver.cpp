#include "logsaver.h"

#include "codepage.h"
#include "filesync.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace {

// Written to the file in blocks of about this size.
constexpr qsizetype kBlock = 1024 * 1024;
// Handed to the disk in stretches of about this size.
constexpr qint64 kPushSize = 8 * 1024 * 1024;

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

struct Utf8
{
    std::array<char, 3> bytes{};
    qsizetype size = 0;
};

// Every code-page character in UTF-8; none takes more than three bytes.
const std::array<Utf8, 256> kUtf8 = [] {
    std::array<Utf8, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const QByteArray utf8 = QString(CodePage::toUnicode(quint8(b))).toUtf8();
        std::copy(utf8.begin(), utf8.end(), table[b].bytes.begin());
        table[b].size = utf8.size();
    }
    return table;
}();

void appendUtf8(const QByteArray &codePage, QByteArray &out)
{
    if (std::all_of(codePage.begin(), codePage.end(), [](char c) { return quint8(c) < 0x80; })) {
        out.append(codePage);
        return;
    }
    const qsizetype start = out.size();
    out.resize(start + 3 * codePage.size());
    char *to = out.data() + start;
    for (const char c : codePage) {
        const Utf8 &u = kUtf8[quint8(c)];
        std::copy(u.bytes.begin(), u.bytes.end(), to);
        to += u.size;
    }
    out.resize(to - out.constData());
}

} // namespace

LogSaver::LogSaver(const ReceiveLog &log, QObject *parent)
    : QObject(parent)
{
    m_chunks.reserve(log.chunkCount());
    for (qsizetype i = 0; i < log.chunkCount(); ++i) {
        m_chunks.append(log.chunk(i));
        m_total += m_chunks.constLast().bytes;
    }
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &LogSaver::writeSlice);
}

// An uncommitted QSaveFile removes its temporary file as it goes.
LogSaver::~LogSaver() = default;

void LogSaver::start(const QString &path, LogFormat::Kind kind)
{
    m_kind = kind;
    m_file = std::make_unique<QSaveFile>(path);
    // A device or a pipe has no place a finished file could take.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        m_failure = QStringLiteral("not a regular file");
    else if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        m_failure = m_file->errorString();
    // A block and the most one chunk can add past it.
    m_out.reserve(kBlock + ReceiveNotation::kMaxChars * LogChunk::kCapacity);
    m_slices.start();
}

void LogSaver::cancel()
{
    m_slices.stop();
    m_file.reset();
    m_chunks.clear();
}

void LogSaver::writeSlice()
{
    if (!m_failure.isEmpty()) {
        finish(m_failure);
        return;
    }
    QElapsedTimer slice;
    slice.start();
    while (m_next < m_chunks.size() && slice.elapsed() < kSliceMs) {
        LogChunk::Snapshot &snapshot = m_chunks[m_next++];
        encode(snapshot);
        m_done += snapshot.bytes;
        // Once written, a chunk the log has let go of can go.
        snapshot = LogChunk::Snapshot();
        if (m_out.size() >= kBlock && !flush())
            return;
    }
    if (m_next < m_chunks.size()) {
        Q_EMIT progressed();
        return;
    }
    if (m_kind == LogFormat::Kind::TimedText) {
        m_text.resize(0);
        m_timed.finish(m_text);
        appendUtf8(m_text, m_out);
    }
    if (!flush() || !pushToDisk(true))
        return;
    finish(m_file->commit() ? QString() : m_file->errorString());
}

void LogSaver::encode(const LogChunk::Snapshot &snapshot)
{
    switch (m_kind) {
    case LogFormat::Kind::Bytes:
        snapshot.chunk->appendBytes(snapshot.bytes, m_out);
        break;
    case LogFormat::Kind::Text:
        m_text.resize(0);
        m_fields.resize(0);
        snapshot.chunk->render(0, snapshot.bytes, m_text, m_fields);
        appendUtf8(m_text, m_out);
        break;
    case LogFormat::Kind::TimedText:
        m_text.resize(0);
        m_timed.append(snapshot, m_text);
        appendUtf8(m_text, m_out);
        break;
    }
}

// A write that falls short has set no error yet; the next one says why.
bool LogSaver::flush()
{
    for (QByteArrayView rest(m_out); !rest.isEmpty();) {
        const qint64 n = m_file->write(rest.data(), rest.size());
        if (n <= 0) {
            finish(m_file->errorString());
            return false;
        }
        rest = rest.sliced(n);
        m_written += n;
    }
    m_out.resize(0);
    return m_written - m_pushed < kPushSize || pushToDisk(false);
}

// The data goes to the disk a stretch behind the writing, and what is on the disk
// leaves the page cache: the sync before the rename then finds little left to do,
// so the window does not freeze at the end of a large save, and a save of gigabytes
// does not push everything else out of memory. QSaveFile ignores a failed sync, so
// the last one is checked here: a device that fails (a stick pulled) fails the save.
bool LogSaver::pushToDisk(bool last)
{
    const int fd = m_file->handle();
    int result = 0;
    if (last) {
        result = FileSync::syncData(fd);
    } else {
        FileSync::startWriteBack(fd, m_pushed, m_written - m_pushed);
        if (m_onDisk < m_pushed) {
            result = FileSync::finishWriteBack(fd, m_onDisk, m_pushed - m_onDisk);
            m_onDisk = m_pushed;
        }
        m_pushed = m_written;
    }
    // File systems that cannot sync have nothing to wait for.
    if (result != 0 && errno != EINVAL && errno != EROFS && errno != ESPIPE) {
        finish(reasonOf(errno));
        return false;
    }
    return true;
}

void LogSaver::finish(const QString &reason)
{
    m_slices.stop();
    m_file.reset();
    m_chunks.clear();
    Q_EMIT finished(reason);
}
