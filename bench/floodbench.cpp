// Floods the real main window through a pseudo-terminal as fast as it takes bytes and
// prints what an operator would feel: throughput, the cost of one serial event as the
// log grows, the longest stall of the event loop, how late typed keys reach the line
// during the flood and when idle, memory per received byte, and how long copying the
// whole log takes. Random bytes (nothing to compress) and NMEA-style sentences, each
// in all three notations; then one gigabyte received in HEX, with the resident memory
// that holds it and the time to scroll to its top; last, what recording every received
// byte to a file costs, floods with and without it taking turns, and how keys and the
// event loop fare while a 115200 baud line is recorded to a disk whose flushes take
// 1.5 s (fdatasync slowed by a preloaded shim). Every run is a process of its own,
// so that peak memory is its own. --quick runs a small version of everything.
// Offscreen by default; QT_QPA_PLATFORM=xcb runs it on a real X server.

#include "benchstats.h"
#include "commport.h"
#include "farend.h"
#include "filedialogs.h"
#include "logrecorder.h"
#include "logview.h"
#include "procstatus.h"
#include "ptyline.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <utility>
#include <limits>
#include <thread>
#include <vector>

namespace {

using Clock = FarEnd::Clock;
using Kind = ReceiveStream::Kind;

constexpr qsizetype kMiB = 1024 * 1024;
constexpr int kTickMs = 5;
constexpr int kKeyEveryMs = 10;
constexpr char kKey = 'k';

struct Run
{
    const char *name;
    int display;
    Kind stream;
};

constexpr std::array<Run, 6> kRuns = {{
    {"hex-random", 1, Kind::Random},
    {"dec-random", 2, Kind::Random},
    {"ascii-random", 0, Kind::Random},
    {"hex-nmea", 1, Kind::Nmea},
    {"dec-nmea", 2, Kind::Nmea},
    {"ascii-nmea", 0, Kind::Nmea},
}};
constexpr Run kGigabyteRun = {"gigabyte", 1, Kind::Random};
// The fastest flood of all, and one where nothing compresses.
constexpr std::array<Run, 2> kRecordRuns = {{
    {"record-ascii-nmea", 0, Kind::Nmea},
    {"record-hex-random", 1, Kind::Random},
}};
constexpr Run kSlowDiskRun = {"record-slow-disk", 0, Kind::Nmea};
constexpr int kSlowSyncMs = 1500;

struct Sizes
{
    qsizetype logChars;  // each notation run floods until the log has this many characters
    qint64 gigabyte;     // what the gigabyte run receives
    int idleKeys;
    int pacedMs;         // how long bytes arrive paced on the gigabyte
    qint64 recordFlood;  // what each flood of a recording run sends
    int recordPairs;     // floods without and with recording, taking turns
    int slowDiskMs;      // how long a paced line is recorded to the slow disk
};

constexpr Sizes kFull = {64 * kMiB, 1024 * kMiB, 100, 5000, 96 * kMiB, 5, 20000};
constexpr Sizes kQuick = {1 * kMiB, 8 * kMiB, 10, 300, 4 * kMiB, 1, 3000};
constexpr int k115200BytesPerSecond = 11520;

using BenchStats::maximum;
using BenchStats::median;
using BenchStats::ms;

void sendKey(QWidget *target, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
}

// The main window on the line, connected, with what the benchmark drives.
struct Bench
{
    explicit Bench(const Run &run)
    {
        window.show();
        text1 = window.findChild<LogView *>(QStringLiteral("Text1"));
        text2 = window.findChild<QPlainTextEdit *>(QStringLiteral("Text2"));
        window.findChild<QRadioButton *>(QStringLiteral("Display[%1]").arg(run.display))->click();
        window.findChild<QRadioButton *>(QStringLiteral("Port[0]"))->click();
        window.findChild<QPushButton *>(QStringLiteral("Connect"))->click();
        QCoreApplication::processEvents();
        canvas = QImage(text1->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        QObject::connect(&typist, &QTimer::timeout, &window, [this] { typeKey(); });
    }

    // Posted, as the windowing system delivers keys: it waits its turn in the event loop.
    void typeKey()
    {
        pressed.push_back(Clock::now());
        const QString text(QChar::fromLatin1(kKey));
        QCoreApplication::postEvent(text2, new QKeyEvent(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, text));
        QCoreApplication::postEvent(text2, new QKeyEvent(QEvent::KeyRelease, Qt::Key_K, Qt::NoModifier, text));
    }

    // Offscreen, repaint() may skip an unexposed window; render() always paints.
    void paint() { text1->viewport()->render(&canvas); }

    // A first stretch of the stream, received and painted, so that what is measured
    // after it leaves out what any first text costs once (fonts, glyph caches).
    void warmUp(Kind stream)
    {
        window.serialControl().receiveRaw(ReceiveStream(stream).next(64 * 1024));
        paint();
        QCoreApplication::processEvents();
    }

    // Key waits from the press at index from on, once every key has arrived. A key
    // that waited through the benchmark's own event sampling is left out.
    std::vector<double> keyWaits(std::size_t from)
    {
        const Clock::time_point give = Clock::now() + std::chrono::seconds(2);
        while (far.arrivals().size() < pressed.size() && Clock::now() < give)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const std::vector<Clock::time_point> arrived = far.arrivals();
        std::vector<double> waits;
        for (std::size_t i = from; i < std::min(pressed.size(), arrived.size()); ++i) {
            const bool sampled = std::any_of(samplings.begin(), samplings.end(), [&](const auto &s) {
                return pressed[i] < s.second && arrived[i] > s.first;
            });
            if (!sampled)
                waits.push_back(ms(arrived[i] - pressed[i]));
        }
        return waits;
    }

    PtyLine pty;
    CommPort window{pty.directory()};
    FarEnd far{pty.master(), kKey};
    LogView *text1 = nullptr;
    QPlainTextEdit *text2 = nullptr;
    QImage canvas;
    QTimer typist;
    std::vector<Clock::time_point> pressed;
    std::vector<std::pair<Clock::time_point, Clock::time_point>> samplings;
};

std::vector<double> idleKeyWaits(Bench &bench, int keys)
{
    bench.typist.start(kKeyEveryMs);
    while (int(bench.pressed.size()) < keys)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    bench.typist.stop();
    return bench.keyWaits(0);
}

// What one flood measured.
struct Flood
{
    double seconds = 0;
    std::vector<double> costs;
    double longestStall = 0;
    // Resident memory and bytes received when the log was a quarter full: what
    // grows from there on is what the log costs, without what any start costs once.
    qint64 quarterRssKiB = 0;
    qint64 quarterBytes = 0;
};

// Floods until the far end is done and every byte is in the log; stopAtChars > 0
// stops the far end once the log has that many characters.
Flood flood(Bench &bench, Kind stream, qint64 limit, qsizetype stopAtChars)
{
    Flood result;
    const std::array<qsizetype, 3> costAt = {stopAtChars / 64, stopAtChars / 4, stopAtChars};
    qint64 injected = 0;
    const QByteArray event = ReceiveStream(stream).next(64);
    bench.far.flood(stream, limit);
    Clock::time_point lastTick = Clock::now();
    const Clock::time_point start = lastTick;

    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, &bench.window, [&] {
        const Clock::time_point now = Clock::now();
        result.longestStall = std::max(result.longestStall, ms(now - lastTick) - kTickMs);
        lastTick = now;
        const ReceiveLog &log = bench.window.receivedText();
        if (stopAtChars > 0 && result.costs.size() < costAt.size() && log.size() >= costAt[result.costs.size()]) {
            std::vector<double> samples;
            const Clock::time_point sampling = Clock::now();
            for (int i = 0; i < 21; ++i) {
                const Clock::time_point t0 = Clock::now();
                bench.window.serialControl().receiveRaw(event);
                bench.paint();
                samples.push_back(ms(Clock::now() - t0));
            }
            bench.samplings.emplace_back(sampling, Clock::now());
            injected += 21 * event.size();
            result.costs.push_back(median(samples));
            if (result.costs.size() == 2) {
                ProcStatus::resetPeak();
                result.quarterRssKiB = ProcStatus::kib("VmRSS:");
                result.quarterBytes = log.byteCount();
            }
            lastTick = Clock::now();
        }
        if (stopAtChars > 0 && log.size() >= stopAtChars)
            bench.far.stop();
        if (bench.far.floodDone() && log.byteCount() >= bench.far.written() + injected)
            QCoreApplication::exit(0);
    });
    ticker.start(kTickMs);
    QCoreApplication::exec();
    result.seconds = ms(Clock::now() - start) / 1000;
    return result;
}

double timed(const std::function<void()> &work)
{
    const Clock::time_point t0 = Clock::now();
    work();
    return ms(Clock::now() - t0);
}

int runNotation(const Run &run, const Sizes &sizes)
{
    Bench bench(run);
    if (!bench.window.serialControl().PortOpen()) {
        std::fprintf(stderr, "could not open the pseudo-terminal\n");
        return 1;
    }
    const std::vector<double> idle = idleKeyWaits(bench, sizes.idleKeys);
    const std::size_t firstFloodKey = bench.pressed.size();
    bench.typist.start(kKeyEveryMs);
    const Flood result = flood(bench, run.stream, std::numeric_limits<qint64>::max(), sizes.logChars);
    bench.typist.stop();
    const std::vector<double> waits = bench.keyWaits(firstFloodKey);
    const ReceiveLog &log = bench.window.receivedText();
    const double perByte = double(ProcStatus::kib("VmHWM:") - result.quarterRssKiB) * 1024
                           / double(log.byteCount() - result.quarterBytes);

    const double copy = timed([&] {
        sendKey(bench.text1, Qt::Key_A, Qt::ControlModifier, QString());
        sendKey(bench.text1, Qt::Key_C, Qt::ControlModifier, QString());
    });
    const bool copiedAll = QGuiApplication::clipboard()->text().size() == log.size();

    std::printf("%-13s %7.1f %6.2f %6.2f %6.2f %7.1f %5.2f / %-5.2f %5.2f / %-6.2f %8.3f %6.0f%s %6zu\n", run.name,
                double(log.byteCount()) / double(kMiB) / result.seconds, result.costs.at(0), result.costs.at(1),
                result.costs.at(2), result.longestStall, median(idle), maximum(idle), median(waits), maximum(waits),
                perByte, copy, copiedAll ? "" : "!", waits.size());
    return 0;
}

// Keys typed on the full log, first with the line idle, then while bytes arrive
// paced like a 115200 baud line, a millisecond's bytes at a time.
void pacedKeyWaits(Bench &bench, const Sizes &sizes)
{
    while (!bench.text1->isSettled())
        QCoreApplication::processEvents();
    const std::vector<double> idle = idleKeyWaits(bench, int(bench.pressed.size()) + sizes.idleKeys);
    const qint64 before = bench.window.receivedText().byteCount();
    const std::size_t first = bench.pressed.size();
    bench.far.pace(kGigabyteRun.stream, k115200BytesPerSecond);
    bench.typist.start(kKeyEveryMs);
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(sizes.pacedMs);
    while (Clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    bench.typist.stop();
    bench.far.stop();
    const std::vector<double> paced = bench.keyWaits(first);
    std::printf("keys on the full log: idle %.2f / %.2f ms (median / max); while %lld bytes arrived paced at "
                "%d bytes/s: %.2f / %.2f ms\n",
                median(idle), maximum(idle), static_cast<long long>(bench.window.receivedText().byteCount() - before),
                k115200BytesPerSecond, median(paced), maximum(paced));
}

int runGigabyte(const Sizes &sizes)
{
    Bench bench(kGigabyteRun);
    bench.warmUp(kGigabyteRun.stream);
    const qint64 rssBefore = ProcStatus::kib("VmRSS:");
    const qint64 bytesBefore = bench.window.receivedText().byteCount();
    const Flood result = flood(bench, kGigabyteRun.stream, sizes.gigabyte, 0);
    const ReceiveLog &log = bench.window.receivedText();
    const qint64 rss = ProcStatus::kib("VmRSS:");
    QScrollBar *bar = bench.text1->verticalScrollBar();
    const double top = timed([&] {
        bar->setValue(0);
        bench.paint();
    });
    const double end = timed([&] {
        bar->setValue(bar->maximum());
        bench.paint();
    });
    // A resize wraps what is in view at once and the rest in the background.
    const double resize = timed([&] {
        bench.text1->resize(bench.text1->width() + 8, bench.text1->height());
        bench.paint();
    });
    const double notation = timed([&] {
        bench.window.findChild<QRadioButton *>(QStringLiteral("Display[2]"))->click();
        bench.window.serialControl().receiveRaw(ReceiveStream(kGigabyteRun.stream).next(64));
        bench.paint();
    });
    std::printf("%.0f MiB received in HEX (%.0f MiB of text) at %.1f MiB/s: %.0f MiB resident (%.0f MiB before), "
                "%.3f bytes resident per received byte; peak %.0f MiB\n"
                "scroll to the top and paint: %.1f ms; back to the end: %.1f ms; "
                "resize: %.0f ms; DEC clicked, then one event: %.0f ms\n",
                double(log.byteCount()) / kMiB, double(log.size()) / kMiB,
                double(log.byteCount()) / kMiB / result.seconds, double(rss) / 1024, double(rssBefore) / 1024,
                double(rss - rssBefore) * 1024 / double(log.byteCount() - bytesBefore), double(ProcStatus::kib("VmHWM:")) / 1024, top,
                end, resize, notation);
    std::fflush(stdout);
    pacedKeyWaits(bench, sizes);
    return 0;
}

double threadCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double mean(const std::vector<double> &values)
{
    double sum = 0;
    for (const double v : values)
        sum += v;
    return values.empty() ? 0 : sum / double(values.size());
}

// One window per flood, so that each starts alike; recording goes through the
// receive box's own item and file dialog.
int runRecording(const Run &run, const Sizes &sizes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("recording.bin"));
    std::array<std::vector<double>, 2> rates;
    std::array<std::vector<double>, 2> cpu; // of the UI thread, seconds per GiB received
    qint64 recorded = 0;
    qint64 received = 0;
    for (int pair = 0; pair < sizes.recordPairs; ++pair) {
        for (const bool recording : {false, true}) {
            QFile::remove(path);
            {
                Bench bench(run);
                bench.warmUp(run.stream);
                bench.window.findChild<QPushButton *>(QStringLiteral("Clear"))->click();
                auto *record = bench.window.findChild<QAction *>(QStringLiteral("menuRecordToFile"));
                if (recording) {
                    answerFileDialog(path);
                    record->trigger();
                }
                const double cpuBefore = threadCpuSeconds();
                const Flood result = flood(bench, run.stream, sizes.recordFlood, 0);
                const double cpuUsed = threadCpuSeconds() - cpuBefore;
                const qint64 bytes = bench.window.receivedText().byteCount();
                rates[recording].push_back(double(bytes) / double(kMiB) / result.seconds);
                cpu[recording].push_back(cpuUsed * double(1024 * kMiB) / double(bytes));
                if (recording) {
                    if (!record->isChecked())
                        std::fprintf(stderr, "recording stopped: %s\n", qPrintable(bench.text1->toolTip()));
                    record->trigger();
                    received += bytes;
                }
            }
            // The window is gone, and with it the recording's writer, done.
            if (recording)
                recorded += QFileInfo(path).size();
        }
    }
    const double plain = mean(rates[0]);
    const double withRecording = mean(rates[1]);
    const double cpuPlain = mean(cpu[0]);
    const double cpuRecording = mean(cpu[1]);
    std::printf("%-18s %8.1f %8.1f %7.1f %% %8.1f %8.1f %7.1f %%%s\n", run.name, plain, withRecording,
                100 * (1 - withRecording / plain), cpuPlain, cpuRecording, 100 * (cpuRecording / cpuPlain - 1),
                recorded == received ? "" : "  recording incomplete!");
    return 0;
}

// The recorder on its own, as the window drives it in a flood: one write per serial
// event of 4 KiB, a sync every two seconds and at the end.
int runRecorderAlone(const Sizes &sizes)
{
    QTemporaryDir dir;
    LogRecorder recorder;
    QString reason;
    if (!recorder.start(dir.filePath(QStringLiteral("alone.bin")), &reason)) {
        std::fprintf(stderr, "%s\n", qPrintable(reason));
        return 1;
    }
    const QByteArray event = ReceiveStream(Kind::Random).next(4096);
    const qint64 total = 4 * sizes.recordFlood;
    const Clock::time_point start = Clock::now();
    const double cpuBefore = threadCpuSeconds();
    for (qint64 written = 0; written < total; written += event.size()) {
        recorder.write(event);
        // Often enough for the sync timer, seldom enough to cost nothing.
        if (written % kMiB == 0)
            QCoreApplication::processEvents();
    }
    recorder.finish();
    const double perGiB = double(1024 * kMiB) / double(total);
    std::printf("the recorder alone, 4 KiB a write: %.2f s of processor and %.2f s in all per GiB, syncs included\n",
                (threadCpuSeconds() - cpuBefore) * perGiB, ms(Clock::now() - start) / 1000 * perGiB);
    return 0;
}

// What keys and the event loop met while a paced line came in.
struct PacedPhase
{
    std::vector<double> keys;
    double longestWait = 0;
};

// Bytes paced like a 115200 baud line for msecs, keys typed meanwhile from a thread
// of their own, as the windowing system delivers them: a held event loop keeps them
// waiting, and the wait is measured from the press.
PacedPhase pacedPhase(Bench &bench, int msecs)
{
    PacedPhase phase;
    Clock::time_point lastTick = Clock::now();
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, &bench.window, [&] {
        const Clock::time_point now = Clock::now();
        phase.longestWait = std::max(phase.longestWait, ms(now - lastTick) - kTickMs);
        lastTick = now;
    });
    const std::size_t first = bench.pressed.size();
    ticker.start(kTickMs);
    bench.far.pace(kSlowDiskRun.stream, k115200BytesPerSecond);
    std::atomic<bool> typing = true;
    std::thread typist([&] {
        while (typing) {
            bench.typeKey();
            std::this_thread::sleep_for(std::chrono::milliseconds(kKeyEveryMs));
        }
    });
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(msecs);
    while (Clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    typing = false;
    typist.join();
    bench.far.stop();
    ticker.stop();
    phase.keys = bench.keyWaits(first);
    return phase;
}

// A 115200 baud line received, then recorded to a disk whose every flush takes
// kSlowSyncMs longer (the parent preloads the shim; the folder is this run's): keys
// and the longest wait of the event loop in both, and how long unchecking "Record
// to File" takes.
int runSlowDisk(const Sizes &sizes)
{
    Bench bench(kSlowDiskRun);
    bench.warmUp(kSlowDiskRun.stream);
    const PacedPhase plain = pacedPhase(bench, sizes.slowDiskMs / 2);
    QTemporaryDir dir;
    qputenv("LORVANE_SLOW_SYNC_DIR", QFileInfo(dir.path()).canonicalFilePath().toLocal8Bit());
    qputenv("LORVANE_SLOW_SYNC_MS", QByteArray::number(kSlowSyncMs));
    auto *record = bench.window.findChild<QAction *>(QStringLiteral("menuRecordToFile"));
    answerFileDialog(dir.filePath(QStringLiteral("recording.bin")));
    record->trigger();
    if (!record->isChecked()) {
        std::fprintf(stderr, "recording did not start: %s\n", qPrintable(bench.text1->toolTip()));
        return 1;
    }
    const PacedPhase recorded = pacedPhase(bench, sizes.slowDiskMs);
    const double stop = timed([&] { record->trigger(); });
    std::printf("%-18s %6.2f / %-7.2f %8.1f %6.2f / %-7.2f %8.1f %8.1f %6zu\n", kSlowDiskRun.name,
                median(plain.keys), maximum(plain.keys), plain.longestWait, median(recorded.keys),
                maximum(recorded.keys), recorded.longestWait, stop, recorded.keys.size());
    return 0;
}

void runChild(const QString &name, bool quick)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    if (name == QLatin1String(kSlowDiskRun.name)) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(LORVANE_SLOWSYNC));
        child.setProcessEnvironment(env);
    }
    QStringList args{name};
    if (quick)
        args.append(QStringLiteral("--quick"));
    child.start(QCoreApplication::applicationFilePath(), args);
    child.waitForFinished(-1);
}

} // namespace

int main(int argc, char *argv[])
{
    // Offscreen unless a platform is named (QT_QPA_PLATFORM=xcb under Xvfb paints for real).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const bool quick = args.contains(QStringLiteral("--quick"));
    const Sizes &sizes = quick ? kQuick : kFull;
    const QString only = args.size() > 1 && !args[1].startsWith(u'-') ? args[1] : QString();
    if (only == QLatin1String(kGigabyteRun.name))
        return runGigabyte(sizes);
    for (const Run &run : kRecordRuns) {
        if (only == QLatin1String(run.name))
            return runRecording(run, sizes);
    }
    if (only == QLatin1String("record-alone"))
        return runRecorderAlone(sizes);
    if (only == QLatin1String(kSlowDiskRun.name))
        return runSlowDisk(sizes);
    for (const Run &run : kRuns) {
        if (only == QLatin1String(run.name))
            return runNotation(run, sizes);
    }
    std::printf("each run floods until the log holds %lld MiB of text; event = 64 received bytes, handled and "
                "painted; keys typed every %d ms;\nB/byte = growth of resident memory to its peak from a quarter of the "
                "flood on, per byte received from there; copy = Ctrl+A, Ctrl+C of the whole log\n",
                static_cast<long long>(sizes.logChars / kMiB), kKeyEveryMs);
    std::printf("%-13s %7s %6s %6s %6s %7s %13s %14s %8s %6s %6s\n", "stream", "MiB/s", "ev@1/64", "ev@1/4",
                "ev@end", "stall", "idle key ms", "flood key ms", "B/byte", "copy", "keys");
    std::printf("%-13s %7s %6s %6s %6s %7s %13s %14s %8s %6s\n", "", "", "ms", "ms", "ms", "ms", "med / max",
                "med / max", "", "ms");
    std::fflush(stdout);
    for (const Run &run : kRuns)
        runChild(QLatin1String(run.name), quick);
    runChild(QLatin1String(kGigabyteRun.name), quick);
    std::printf("\nrecording: %d floods of %lld MiB without and as many with every byte recorded to a file, taking "
                "turns; means of MiB/s received and of the UI thread's processor seconds per GiB received\n",
                sizes.recordPairs, static_cast<long long>(sizes.recordFlood / kMiB));
    std::printf("%-18s %8s %8s %9s %8s %8s %9s\n", "stream", "MiB/s", "recorded", "cost", "CPU s", "recorded",
                "cost");
    std::fflush(stdout);
    for (const Run &run : kRecordRuns)
        runChild(QLatin1String(run.name), quick);
    runChild(QStringLiteral("record-alone"), quick);
    std::printf("\n%d bytes/s arriving, %d s received, then %d s recorded to a disk whose every fdatasync takes "
                "%d ms longer; a key typed every %d ms from a thread of its own; wait = the event loop's longest\n",
                k115200BytesPerSecond, sizes.slowDiskMs / 2000, sizes.slowDiskMs / 1000, kSlowSyncMs, kKeyEveryMs);
    std::printf("%-18s %15s %8s %15s %8s %8s %6s\n", "", "keys, received", "wait", "keys, recorded", "wait",
                "uncheck", "keys");
    std::printf("%-18s %15s %8s %15s %8s %8s %6s\n", "", "med / max ms", "ms", "med / max ms", "ms", "ms", "");
    std::fflush(stdout);
    runChild(QLatin1String(kSlowDiskRun.name), quick);
    return 0;
}
