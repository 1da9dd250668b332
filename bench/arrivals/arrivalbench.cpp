// Fills the receive log directly, read by read, with times as a clock would give
// them, and prints what the arrival times cost: heap per received byte, against the
// same bytes in one read per chunk (whose times take no heap), the speed of appending,
// and how fast times read back for one byte and for a writer walking every read.
// Paced: a 115200 baud line (11520 bytes/s) read once a millisecond, so 11 or 12
// bytes a read; jittered: each read up to 0.3 ms late and one in 20 a whole
// millisecond late; flood: reads of 4000 bytes, as fast as they come. --quick: small.
#include "chunktimes.h"
#include "receivelog.h"
#include "receivestream.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QRandomGenerator>

#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

namespace {

using Kind = ReceiveStream::Kind;
using ReceiveNotation::Notation;

constexpr qsizetype kMiB = 1024 * 1024;
constexpr qint64 kStart = 1'796'724'000'000; // 2026-12-08 10:00 UTC
constexpr double kBytesPerMs = 115200.0 / 10 / 1000;

// One read: how many bytes and when, in ms since the epoch.
struct Read
{
    qsizetype bytes = 0;
    qint64 msecs = 0;
};
using Reads = QList<Read>;

// Reads of a line that delivers kBytesPerMs, by when the reader wakes (in ms, from 0).
Reads pacedReads(qsizetype total, const std::function<double(qint64)> &wake)
{
    Reads reads;
    qint64 had = 0;
    for (qint64 k = 1; had < total; ++k) {
        const double at = wake(k);
        const qint64 delivered = std::min<qint64>(total, qint64(std::floor(at * kBytesPerMs)));
        if (delivered > had)
            reads.append(Read{delivered - had, kStart + qint64(std::floor(at))});
        had = std::max(had, delivered);
    }
    return reads;
}

Reads floodReads(qsizetype total)
{
    Reads reads;
    for (qsizetype had = 0, k = 0; had < total; had += reads.constLast().bytes, ++k)
        reads.append(Read{std::min<qsizetype>(4000, total - had), kStart + k / 4});
    return reads;
}

// One read a chunk: the log holds no times beyond the one each chunk keeps inline.
Reads chunkReads(qsizetype total)
{
    Reads reads;
    for (qsizetype had = 0; had < total; had += ReceiveLog::kChunkSize)
        reads.append(Read{std::min(ReceiveLog::kChunkSize, total - had), kStart + had});
    return reads;
}

qsizetype heapInUse()
{
    return qsizetype(mallinfo2().uordblks);
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Processor time of this process: steadier than the clock on a machine shared with builds.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Filled
{
    std::unique_ptr<ReceiveLog> log;
    qsizetype heap = 0;
    double ms = 0;
};

Filled fill(const QByteArray &bytes, const Reads &reads)
{
    Filled filled;
    const qsizetype before = heapInUse();
    const double start = cpuMs();
    filled.log = std::make_unique<ReceiveLog>();
    qsizetype at = 0;
    for (const Read &read : reads) {
        filled.log->append(QByteArrayView(bytes).sliced(at, read.bytes), Notation::Hex, read.msecs);
        at += read.bytes;
    }
    filled.ms = cpuMs() - start;
    filled.heap = heapInUse() - before;
    return filled;
}

// Microseconds to look up the time of one byte, anywhere in the log.
double lookupUs(const ReceiveLog &log)
{
    constexpr int kLookups = 2000;
    qint64 sum = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kLookups; ++i)
        sum += log.arrivalTime(QRandomGenerator::global()->bounded(log.byteCount()));
    const double us = msSince(timer) * 1000 / kLookups;
    return sum == 0 ? 0 : us;
}

// Reads a second that a writer walking the whole log gets, chunk by chunk, as the
// saver does; a read that runs on from the chunk before counts once.
double walkedPerSecond(const ReceiveLog &log, qsizetype *count)
{
    QElapsedTimer timer;
    timer.start();
    *count = 0;
    for (qsizetype i = 0; i < log.chunkCount(); ++i) {
        const ChunkTimes &times = log.chunk(i).chunk->times();
        *count += qsizetype(times.reads().size()) - (times.continued() ? 1 : 0);
    }
    return double(*count) / (msSince(timer) / 1000);
}

void printRow(const char *stream, const char *pacing, const Reads &reads, const Filled &filled, double timesHeap)
{
    const double total = double(filled.log->byteCount());
    const double chunks = double(filled.log->chunkCount());
    qsizetype walked = 0;
    const double perSecond = walkedPerSecond(*filled.log, &walked);
    std::printf("| %s | %s | %.1f | %.3f | %.4f | %.1f | %.0f | %.2f | %.1f |\n", stream, pacing,
                total / double(reads.size()), double(filled.heap) / total, timesHeap / total, timesHeap / chunks,
                total / kMiB / (filled.ms / 1000), lookupUs(*filled.log), perSecond / 1e6);
    if (walked != reads.size())
        std::printf("walked %lld reads of %lld!\n", qlonglong(walked), qlonglong(reads.size()));
    std::fflush(stdout);
}

// Every pacing of one stream, after the same bytes in one read a chunk: what grows
// beyond that is what the times take on the heap, besides what each chunk holds inline.
void runStream(const char *stream, Kind kind, const QList<std::pair<const char *, Reads>> &pacings, qsizetype total)
{
    const QByteArray bytes = ReceiveStream(kind).next(total);
    const Reads whole = chunkReads(total);
    const Filled baseline = fill(bytes, whole);
    const double inline_ = double(baseline.log->chunkCount()) * double(sizeof(ChunkTimes));
    printRow(stream, "one read a chunk", whole, baseline, inline_);
    for (const auto &[pacing, reads] : pacings) {
        const Filled filled = fill(bytes, reads);
        printRow(stream, pacing, reads, filled, double(filled.heap - baseline.heap) + inline_);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool quick = QCoreApplication::arguments().contains(QStringLiteral("--quick"));
    const qsizetype total = (quick ? 4 : 64) * kMiB;
    const Reads paced = pacedReads(total, [](qint64 k) { return double(k); });
    const Reads jittered = pacedReads(total, [](qint64 k) {
        QRandomGenerator *random = QRandomGenerator::global();
        return double(k) + 0.3 * random->generateDouble() + (random->bounded(20) == 0 ? 1.0 : 0.0);
    });
    const Reads flood = floodReads(total);
    // The first compressions set up zstd's contexts, which stay: not a cost of any log.
    fill(ReceiveStream(Kind::Nmea).next(total), paced);
    std::printf("%lld MiB received in each run, in HEX; log = the whole log's heap per received byte; times = "
                "what the arrival times take: each chunk's inline part and the heap beyond the same bytes in one "
                "read a chunk, per received byte and per chunk of %lld bytes\n",
                qlonglong(total / kMiB), qlonglong(ReceiveLog::kChunkSize));
    std::printf("| stream | reads | bytes per read | log B/byte | times B/byte | times B/chunk | append MiB/s (processor) | "
                "one byte's time, us | reads walked, millions/s |\n|---|---|---|---|---|---|---|---|---|\n");
    const QList<std::pair<const char *, Reads>> pacings = {
        {"paced, 1 ms", paced}, {"paced, jittered", jittered}, {"flood, 4000 B", flood}};
    runStream("NMEA", Kind::Nmea, pacings, total);
    runStream("random", Kind::Random, pacings, total);
    return 0;
}
