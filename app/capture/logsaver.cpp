#include "logsaver.h"

#include "codepage.h"

#include "diskfile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>

namespace {

// Written to the file in blocks of about this size.
constexpr qsizetype kBlock = 1024 * 1024;
// Handed to the disk in stretches of about this size.
constexpr qint64 kPushSize = 8 * 1024 * 1024;

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
    , m_log(log.snapshot())
{
}

LogSaver::~LogSaver()
{
    m_cancelled = true;
    if (m_writer.joinable())
        m_writer.join();
}

void LogSaver::start(const QString &path, LogFormat::Kind kind)
{
    m_kind = kind;
    m_writer = std::thread([this, path] {
        const QString reason = run(path);
        QMetaObject::invokeMethod(this, [this, reason] { ended(reason); }, Qt::QueuedConnection);
    });
}

void LogSaver::cancel()
{
    m_cancelled = true;
}

// An uncommitted QSaveFile removes its temporary file as it goes.
QString LogSaver::run(const QString &path)
{
    // A device or a pipe has no place a finished file could take.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return QStringLiteral("not a regular file");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    // A block and the most one chunk can add past it.
    m_out.reserve(kBlock + ReceiveNotation::kMaxChars * LogChunk::kCapacity);
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    for (qsizetype i = 0; i < m_log.chunkCount(); ++i) {
        if (m_cancelled)
            return QString();
        const LogChunk::Snapshot snapshot = m_log.chunk(i);
        if (!encode(snapshot))
            return QStringLiteral("a piece of the log could not be unpacked");
        m_done += snapshot.bytes;
        if (m_out.size() >= kBlock) {
            if (const QString reason = flush(file); !reason.isEmpty())
                return reason;
        }
        if (sinceProgress.elapsed() >= kProgressMs) {
            sinceProgress.start();
            QMetaObject::invokeMethod(this, &LogSaver::progressed, Qt::QueuedConnection);
        }
    }
    if (m_kind == LogFormat::Kind::TimedText) {
        m_text.resize(0);
        m_timed.finish(m_text);
        appendUtf8(m_text, m_out);
    }
    if (const QString reason = flush(file); !reason.isEmpty())
        return reason;
    // QSaveFile ignores a failed sync, so the last one is made here: a device that
    // fails (a stick pulled) fails the save.
    if (const int error = DiskFile::syncData(file.handle()))
        return DiskFile::reasonOf(error);
    if (m_cancelled)
        return QString();
    return file.commit() ? QString() : file.errorString();
}

bool LogSaver::encode(const LogChunk::Snapshot &snapshot)
{
    switch (m_kind) {
    case LogFormat::Kind::Bytes:
        return snapshot.chunk->appendBytes(snapshot.bytes, m_out);
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
    return true;
}

// A write that falls short has set no error yet; the next one says why. The data
// goes to the disk a stretch behind the writing, and what is on the disk leaves the
// page cache: the last sync then finds little left to do, and a save of gigabytes
// does not push everything else out of memory.
QString LogSaver::flush(QSaveFile &file)
{
    for (QByteArrayView rest(m_out); !rest.isEmpty();) {
        const qint64 n = file.write(rest.data(), rest.size());
        if (n <= 0)
            return file.errorString();
        rest = rest.sliced(n);
        m_written += n;
    }
    m_out.resize(0);
    if (m_written - m_pushed < kPushSize)
        return QString();
    const int error = DiskFile::pushRange(file.handle(), m_onDisk, m_pushed, m_written);
    m_onDisk = m_pushed;
    m_pushed = m_written;
    return error ? DiskFile::reasonOf(error) : QString();
}

void LogSaver::ended(const QString &reason)
{
    m_writer.join();
    if (!m_cancelled)
        Q_EMIT finished(reason);
}
