// Saves a large receive log, filled directly, as received bytes and as text, and
// prints how long each save takes, how fast it writes and the longest time the event
// loop waited meanwhile, from taking the log to the file in place. Random bytes in
// HEX (three characters per byte, nothing compresses) and NMEA-style sentences in
// ASCII (compressed chunks). The files go to a temporary folder and are removed.
// --quick saves a small log; --mib N a log of N MiB.

#include "logsaver.h"
#include "receivestream.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

using ReceiveNotation::Notation;

constexpr qint64 kMiB = 1024 * 1024;
constexpr qsizetype kPiece = 64 * 1024;
constexpr int kTickMs = 1;

struct Run
{
    const char *name;
    ReceiveStream::Kind stream;
    Notation notation;
};

constexpr Run kRuns[] = {
    {"random HEX", ReceiveStream::Kind::Random, Notation::Hex},
    {"NMEA ASCII", ReceiveStream::Kind::Nmea, Notation::Ascii},
};

double cpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Saved
{
    double seconds = 0;
    double cpuSeconds = 0;
    double longestSliceMs = 0;
    double takeMs = 0; // making the saver, which takes the log
    qint64 fileSize = 0;
    QString failure;
};

Saved save(const ReceiveLog &log, LogFormat::Kind kind, const QString &path)
{
    Saved result;
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    const double cpuBefore = cpuSeconds();
    clock.start();
    sinceTick.start();
    LogSaver saver(log);
    result.takeMs = double(sinceTick.nsecsElapsed()) / 1e6;
    // A tick every millisecond: the event loop's waits beyond it are what an
    // operator would feel, and an idle loop stays idle.
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTickMs);
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] {
        result.longestSliceMs = std::max(result.longestSliceMs, double(sinceTick.nsecsElapsed()) / 1e6 - kTickMs);
        sinceTick.start();
    });
    QObject::connect(&saver, &LogSaver::finished, &saver, [&](const QString &reason) {
        result.failure = reason;
        result.longestSliceMs = std::max(result.longestSliceMs, double(sinceTick.nsecsElapsed()) / 1e6);
        QCoreApplication::exit(0);
    });
    ticker.start();
    saver.start(path, kind);
    QCoreApplication::exec();
    result.seconds = double(clock.nsecsElapsed()) / 1e9;
    result.cpuSeconds = cpuSeconds() - cpuBefore;
    result.fileSize = QFileInfo(path).size();
    QFile::remove(path);
    return result;
}

void print(const Run &run, const char *format, const Saved &saved, qint64 expectedSize)
{
    std::printf("%-11s %-6s %9.0f %8.2f %8.2f %9.0f %8.1f %10.1f%s\n", run.name, format,
                double(saved.fileSize) / kMiB, saved.seconds, saved.cpuSeconds,
                double(saved.fileSize) / kMiB / saved.seconds, saved.takeMs, saved.longestSliceMs,
                !saved.failure.isEmpty() ? qPrintable(QStringLiteral("  failed: ") + saved.failure)
                : saved.fileSize != expectedSize ? "  wrong size!"
                                                 : "");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool quick = QCoreApplication::arguments().contains(QStringLiteral("--quick"));
    const QStringList args = QCoreApplication::arguments();
    const qsizetype mibAt = args.indexOf(QStringLiteral("--mib"));
    const qint64 size = mibAt > 0 && mibAt + 1 < args.size() ? args.at(mibAt + 1).toLongLong() * kMiB
                        : quick                              ? 16 * kMiB
                                                             : 1024 * kMiB;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    std::printf("each log holds %lld MiB of received bytes; files in %s\n", static_cast<long long>(size / kMiB),
                qPrintable(dir.path()));
    std::printf("seconds = from Save to the file in place, synced; CPU = what the process spent meanwhile, the rest "
                "is waiting for the disk;\ntake = making the saver, which takes the log; wait = the longest wait of the event "
                "loop beyond its 1 ms tick, taking the log included\n");
    std::printf("%-11s %-6s %9s %8s %8s %9s %8s %10s\n", "log", "as", "file MiB", "seconds", "CPU s", "MiB/s",
                "take ms", "wait ms");
    for (const Run &run : kRuns) {
        ReceiveLog log;
        ReceiveStream stream(run.stream);
        while (log.byteCount() < size)
            log.append(stream.next(kPiece), run.notation, 0);
        // Both notations write only ASCII characters, one byte each in UTF-8.
        print(run, "bytes", save(log, LogFormat::Kind::Bytes, dir.filePath(QStringLiteral("log.bin"))),
              log.byteCount());
        print(run, "text", save(log, LogFormat::Kind::Text, dir.filePath(QStringLiteral("log.txt"))), log.size());
    }
    return 0;
}
