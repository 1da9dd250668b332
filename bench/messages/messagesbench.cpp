// Talking to the device, timed on the real main window over a pseudo-terminal: how
// late a matched reply is reported after the far end wrote its last byte, idle and
// during a flood of other bytes; what awaiting a reply costs the flood's ingest; Send
// File at full speed against cat into the device; Send File into a line that takes
// 11,520 bytes a second, with the longest wait of the event loop and how long a typed
// key waits; and resident memory for two file sizes. Each part runs in a process of
// its own. --quick runs a small version of everything.

#include "benchstats.h"
#include "commline.h"
#include "commport.h"
#include "filesender.h"
#include "globals.h"
#include "messagesession.h"
#include "messageswindow.h"
#include "procstatus.h"
#include "ptyline.h"
#include "receivestream.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/ioctl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr qint64 kMiB = 1024 * 1024;
constexpr int kTickMs = 5;
constexpr int kLinePace = 11520;
constexpr int kCommand = 1;
constexpr int kNeverAnswered = 2;
const QByteArray kCommandBytes = "\x02P\x03";
const QByteArray kReplyBytes = "\x06\xA5\x5AOK\xC3\x3C\x03";

struct Sizes
{
    int replies;       // replies timed, idle and again during a flood
    qint64 flood;      // bytes of each ingest flood
    int floodPairs;    // floods without and with a reply awaited, taking turns
    qint64 file;       // the file sent at full speed, and the smaller of the memory runs
    qint64 bigFile;    // the larger memory run
    int fileRounds;    // full-speed sends and cats, taking turns
    int pacedMs;       // how long the paced line is watched
};

constexpr Sizes kFull = {200, 256 * kMiB, 5, 256 * kMiB, 1024 * kMiB, 5, 20000};
constexpr Sizes kQuick = {30, 16 * kMiB, 2, 32 * kMiB, 128 * kMiB, 2, 1500};

using BenchStats::maximum;
using BenchStats::median;
using BenchStats::ms;

// Waits for room while the line is full, as a device does, until `stop` is set.
bool writeAll(int fd, const char *data, qsizetype size, const std::atomic<bool> *stop = nullptr)
{
    for (qsizetype off = 0; off < size;) {
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, 20) <= 0) {
            if (stop && *stop)
                return false;
            continue;
        }
        const ssize_t n = ::write(fd, data + off, size_t(size - off));
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return false;
        off += n;
    }
    return true;
}

// Milliseconds this thread has waited for a processor while it could run: what a
// loaded machine adds to any wait, whatever the program does.
double runQueueMs()
{
    QFile stat(QStringLiteral("/proc/thread-self/schedstat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() / 1e6 : 0;
}

struct Stall
{
    double longest = 0;         // the event loop's longest wait beyond the ticker's period
    double longestOwn = 0;      // the same without the time the thread waited for a processor
};

// Runs the event loop, noting its longest waits, until done().
Stall runUntil(const std::function<bool()> &done)
{
    Stall stall;
    Clock::time_point last = Clock::now();
    double queued = runQueueMs();
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] {
        const Clock::time_point now = Clock::now();
        const double queuedNow = runQueueMs();
        const double wait = ms(now - last) - kTickMs;
        stall.longest = std::max(stall.longest, wait);
        stall.longestOwn = std::max(stall.longestOwn, wait - (queuedNow - queued));
        last = now;
        queued = queuedNow;
        if (done())
            QCoreApplication::exit(0);
    });
    ticker.start(kTickMs);
    QCoreApplication::exec();
    return stall;
}

// The main window on a pseudo-terminal, connected at 115200 baud.
struct Bench
{
    Bench()
    {
        window.show();
        window.findChild<QRadioButton *>(QStringLiteral("Baudrate[6]"))->click();
        window.findChild<QRadioButton *>(QStringLiteral("Port[0]"))->click();
        connect()->click();
        QCoreApplication::processEvents();
    }
    QPushButton *connect() { return window.findChild<QPushButton *>(QStringLiteral("Connect")); }

    // F2 in the transmit box makes the Messages window's session and sends slot 1.
    MessageSession &session()
    {
        auto *text2 = window.findChild<QPlainTextEdit *>(QStringLiteral("Text2"));
        if (!window.findChild<MessagesWindow *>()) {
            QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
            QApplication::sendEvent(text2, &f2);
        }
        return window.findChild<MessagesWindow *>()->session();
    }

    PtyLine pty;
    CommPort window{pty.directory()};
};

// One writer at a time on the far end, so that a reply is never cut by flood bytes.
std::mutex farWrites;

// The far end floods random bytes until stopped or until limit bytes are out.
struct Flooder
{
    Flooder(int master, qint64 limit)
        : pool(ReceiveStream(ReceiveStream::Kind::Random).next(16 * kMiB))
    {
        thread = std::thread([this, master, limit] {
            for (qsizetype off = 0; !stop && written < limit; off = (off + 65536) % pool.size()) {
                const qsizetype n = qsizetype(std::min<qint64>(65536, limit - written));
                std::lock_guard lock(farWrites);
                if (!writeAll(master, pool.constData() + off, n, &stop))
                    break;
                written += n;
            }
        });
    }
    ~Flooder()
    {
        stop = true;
        thread.join();
    }
    QByteArray pool;
    std::atomic<bool> stop = false;
    std::atomic<qint64> written = 0;
    std::thread thread;
};

SerialString message(QByteArrayView bytes)
{
    SerialString record;
    record.count = qint16(bytes.size());
    std::copy(bytes.begin(), bytes.end(), record.values);
    return record;
}

void setUpSlots()
{
    Globals::MessageTable.setSlot(kCommand, message(kCommandBytes));
    Globals::MessageTable.setSlot(kCommand + 10, message(kReplyBytes));
    Globals::MessageTable.setSlot(kNeverAnswered, message("?"));
    Globals::MessageTable.setSlot(kNeverAnswered + 10, message(QByteArray(8, '\xEE')));
}

// Reply lateness: from the far end's write of the reply's last byte (the reply comes in
// two writes, 1 ms apart) to the session's report of the match.
std::vector<double> replyLateness(Bench &bench, int replies)
{
    std::mutex mutex;
    std::optional<Clock::time_point> lastWrite;
    std::atomic<bool> closing = false;
    std::thread replier([&] {
        pollfd p{bench.pty.master(), POLLIN, 0};
        char buffer[256];
        while (!closing) {
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const ssize_t n = ::read(bench.pty.master(), buffer, sizeof buffer);
            if (n <= 0 || !QByteArrayView(buffer, n).contains('\x03'))
                continue;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::lock_guard line(farWrites);
            writeAll(bench.pty.master(), kReplyBytes.constData(), kReplyBytes.size() - 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            // Read before the write, so the lateness includes the write itself.
            const Clock::time_point t = Clock::now();
            writeAll(bench.pty.master(), kReplyBytes.constData() + kReplyBytes.size() - 1, 1);
            std::lock_guard lock(mutex);
            lastWrite = t;
        }
    });
    MessageSession &session = bench.session();
    std::optional<Clock::time_point> report;
    QObject::connect(&session, &MessageSession::replied, &bench.window, [&] { report = Clock::now(); });
    std::vector<double> lateness;
    for (int i = 0; i < replies; ++i) {
        report.reset();
        {
            std::lock_guard lock(mutex);
            lastWrite.reset();
        }
        session.sendSlot(kCommand);
        const Clock::time_point give = Clock::now() + std::chrono::seconds(2);
        while (!report && Clock::now() < give)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        // The replier notes its write after the write returns, which may be after the report.
        for (int wait = 0; wait < 200; ++wait) {
            std::unique_lock lock(mutex);
            if (lastWrite || !report)
                break;
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::lock_guard lock(mutex);
        if (report && lastWrite)
            lateness.push_back(ms(*report - *lastWrite));
    }
    closing = true;
    replier.join();
    QObject::disconnect(&session, &MessageSession::replied, &bench.window, nullptr);
    return lateness;
}

int runReplies(const Sizes &sizes)
{
    setUpSlots();
    Bench bench;
    const std::vector<double> idle = replyLateness(bench, sizes.replies);
    Flooder flood(bench.pty.master(), std::numeric_limits<qint64>::max());
    const std::vector<double> flooded = replyLateness(bench, sizes.replies);
    flood.stop = true;
    std::printf("reply reported after its last byte was written: idle %.3f / %.3f ms (median / max, %zu replies); "
                "during a flood %.3f / %.3f ms (%zu replies)\n",
                median(idle), maximum(idle), idle.size(), median(flooded), maximum(flooded), flooded.size());
    return 0;
}

double threadCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Ingest
{
    double mibPerSecond = 0;
    double cpuPerGiB = 0; // the UI thread's processor seconds per GiB received
};

// One flood into the window, every byte in the log.
Ingest ingest(Bench &bench, qint64 bytes)
{
    bench.window.findChild<QPushButton *>(QStringLiteral("Clear"))->click();
    const Clock::time_point start = Clock::now();
    const double cpu = threadCpuSeconds();
    Flooder flood(bench.pty.master(), bytes);
    runUntil([&] { return bench.window.receivedText().byteCount() >= bytes; });
    const double gib = double(bytes) / double(1024 * kMiB);
    return {double(bytes) / double(kMiB) / (ms(Clock::now() - start) / 1000), (threadCpuSeconds() - cpu) / gib};
}

int runIngest(const Sizes &sizes)
{
    setUpSlots();
    Bench bench;
    MessageSession &session = bench.session();
    session.setTimeoutMs(3'600'000);
    std::vector<double> without;
    std::vector<double> with;
    std::vector<double> cpuWithout;
    std::vector<double> cpuWith;
    // A first flood that counts for neither, so that neither pays what a first log costs.
    ingest(bench, sizes.flood / 4);
    for (int pair = 0; pair < sizes.floodPairs; ++pair) {
        session.sendMessage(message("."), QStringLiteral("end")); // ends any watch
        const Ingest plain = ingest(bench, sizes.flood);
        session.sendSlot(kNeverAnswered);
        const Ingest watched = ingest(bench, sizes.flood);
        without.push_back(plain.mibPerSecond);
        cpuWithout.push_back(plain.cpuPerGiB);
        with.push_back(watched.mibPerSecond);
        cpuWith.push_back(watched.cpuPerGiB);
        if (!session.awaitsReply())
            std::printf("(the awaited reply was found in the flood)\n");
    }
    std::printf("ingest of %lld MiB floods, %d of each taking turns (medians): %.1f MiB/s without a reply awaited, "
                "%.1f with (%+.1f %%);\n  UI thread %.2f processor s per GiB without, %.2f with (%+.1f %%)\n",
                static_cast<long long>(sizes.flood / kMiB), sizes.floodPairs, median(without), median(with),
                (median(with) / median(without) - 1) * 100, median(cpuWithout), median(cpuWith),
                (median(cpuWith) / median(cpuWithout) - 1) * 100);
    return 0;
}

// A file of `size` zero bytes that takes no disk.
QString sparseFile(const QTemporaryDir &dir, qint64 size)
{
    QFile file(dir.filePath(QStringLiteral("send-%1.bin").arg(size)));
    if (file.open(QIODevice::WriteOnly))
        file.resize(size);
    return file.fileName();
}

// The far end takes `limit` bytes as fast as it can, or at bytesPerSecond.
struct Taker
{
    Taker(int master, qint64 limit, int bytesPerSecond = 0)
    {
        thread = std::thread([this, master, limit, bytesPerSecond] {
            static char buffer[256 * 1024];
            const Clock::time_point start = Clock::now();
            for (int tick = 1; taken < limit && !stop;) {
                qint64 want = qint64(sizeof buffer);
                if (bytesPerSecond > 0) {
                    std::this_thread::sleep_until(start + std::chrono::milliseconds(tick));
                    want = qint64(bytesPerSecond) * tick++ / 1000 - taken;
                    if (want <= 0)
                        continue;
                }
                pollfd p{master, POLLIN, 0};
                if (::poll(&p, 1, 20) <= 0)
                    continue;
                const ssize_t n = ::read(master, buffer, size_t(std::min<qint64>(want, qint64(sizeof buffer))));
                if (n > 0)
                    taken += n;
                if (n > 0 && !keySeen && QByteArrayView(buffer, n).contains('k')) {
                    keyAt = Clock::now();
                    keySeen = true;
                }
            }
            done = Clock::now();
            finished = true;
        });
    }
    ~Taker()
    {
        stop = true;
        thread.join();
    }
    std::atomic<qint64> taken = 0;
    std::atomic<bool> stop = false;
    std::atomic<bool> finished = false;
    std::atomic<bool> keySeen = false;
    Clock::time_point keyAt;
    Clock::time_point done;
    std::thread thread;
};

// Our send and cat take turns; the best of each is the one least slowed by whatever
// else the machine runs.
int runFullSpeed(const Sizes &sizes)
{
    Bench bench;
    QTemporaryDir dir;
    const QString path = sparseFile(dir, sizes.file);
    CommLine line(bench.window.serialControl());
    FileSender sender(&line);
    const double mib = double(sizes.file) / double(kMiB);
    std::vector<double> ours;
    std::vector<double> cats;
    Stall stall;
    for (int round = 0; round < sizes.fileRounds; ++round) {
        if (!bench.window.serialControl().PortOpen())
            bench.connect()->click();
        const Clock::time_point start = Clock::now();
        {
            Taker far(bench.pty.master(), sizes.file);
            if (sender.start(path, {}))
                return 1;
            const Stall turn = runUntil([&] { return far.finished.load(); });
            stall.longest = std::max(stall.longest, turn.longest);
            stall.longestOwn = std::max(stall.longestOwn, turn.longestOwn);
        }
        ours.push_back(mib / (ms(Clock::now() - start) / 1000));

        bench.connect()->click(); // closed, so that the device is free for cat
        const Clock::time_point catStart = Clock::now();
        {
            Taker far(bench.pty.master(), sizes.file);
            QProcess::execute(QStringLiteral("sh"),
                              {QStringLiteral("-c"),
                               QStringLiteral("stty raw -echo < %1 && cat %2 > %1").arg(bench.pty.slavePath(), path)});
            while (!far.finished)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        cats.push_back(mib / (ms(Clock::now() - catStart) / 1000));
    }
    std::printf("Send File of %lld MiB at full speed, %d turns each: best %.1f MiB/s, cat into the device best %.1f "
                "MiB/s (%.0f %%); medians %.1f and %.1f;\n  longest event-loop wait %.1f ms, %.1f ms without the "
                "time the thread waited for a processor\n",
                static_cast<long long>(sizes.file / kMiB), sizes.fileRounds, maximum(ours), maximum(cats),
                maximum(ours) / maximum(cats) * 100, median(ours), median(cats), stall.longest, stall.longestOwn);
    return 0;
}

int runPaced(const Sizes &sizes)
{
    Bench bench;
    QTemporaryDir dir;
    const QString path = sparseFile(dir, 64 * kMiB);
    CommLine line(bench.window.serialControl());
    FileSender sender(&line);
    Taker far(bench.pty.master(), std::numeric_limits<qint64>::max(), kLinePace);
    if (sender.start(path, {}))
        return 1;
    // A second in, the line has reached its pace; from then on it is measured.
    const Clock::time_point start = Clock::now();
    qint64 takenAtSecond = -1;
    Clock::time_point second;
    qint64 queued = 0;
    auto *text2 = bench.window.findChild<QPlainTextEdit *>(QStringLiteral("Text2"));
    const Stall stall = runUntil([&] {
        const Clock::time_point now = Clock::now();
        if (takenAtSecond < 0 && now - start >= std::chrono::seconds(1)) {
            takenAtSecond = far.taken;
            second = now;
            int kernel = 0;
            ::ioctl(bench.pty.slave(), TIOCOUTQ, &kernel);
            queued = line.pending() + kernel;
            QKeyEvent key(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, QStringLiteral("k"));
            QApplication::sendEvent(text2, &key);
        }
        return now - start >= std::chrono::milliseconds(1000 + sizes.pacedMs) && (far.keySeen || now - start > std::chrono::seconds(60));
    });
    const double seconds = ms(Clock::now() - second) / 1000;
    const double rate = double(far.taken - takenAtSecond) / seconds;
    std::printf("Send File into a line that takes %d bytes/s: it carried %.0f bytes/s (%.2f %%) over %.1f s; longest "
                "event-loop wait %.1f ms (%.1f ms without waits for a processor);\n  a key typed meanwhile waited behind %lld queued bytes (serial control and "
                "kernel) and arrived after %.0f ms\n",
                kLinePace, rate, rate / kLinePace * 100, seconds, stall.longest, stall.longestOwn,
                static_cast<long long>(queued),
                ms(far.keyAt - second));
    sender.cancel();
    return 0;
}

int runMemory(qint64 size)
{
    Bench bench;
    QTemporaryDir dir;
    const QString path = sparseFile(dir, size);
    CommLine line(bench.window.serialControl());
    FileSender sender(&line);
    QCoreApplication::processEvents();
    const qint64 before = ProcStatus::kib("VmRSS:");
    ProcStatus::resetPeak();
    Taker far(bench.pty.master(), size);
    if (sender.start(path, {}))
        return 1;
    runUntil([&] { return far.finished.load(); });
    std::printf("Send File of %5lld MiB: resident memory grew by %lld KiB at its peak\n",
                static_cast<long long>(size / kMiB), ProcStatus::kib("VmHWM:") - before);
    return 0;
}

void runChild(const QString &part, bool quick)
{
    QStringList args{part};
    if (quick)
        args << QStringLiteral("--quick");
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), args);
    child.waitForFinished(-1);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const Sizes &sizes = args.contains(QStringLiteral("--quick")) ? kQuick : kFull;
    const QString part = args.size() > 1 && !args[1].startsWith(u'-') ? args[1] : QString();
    if (part == u"replies")
        return runReplies(sizes);
    if (part == u"ingest")
        return runIngest(sizes);
    if (part == u"full-speed")
        return runFullSpeed(sizes);
    if (part == u"paced")
        return runPaced(sizes);
    if (part == u"memory-small")
        return runMemory(sizes.file);
    if (part == u"memory-big")
        return runMemory(sizes.bigFile);
    for (const char *name : {"replies", "ingest", "full-speed", "paced", "memory-small", "memory-big"}) {
        runChild(QLatin1String(name), args.contains(QStringLiteral("--quick")));
        std::fflush(stdout);
    }
    return 0;
}
