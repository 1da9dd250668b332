// Floods the real main window through a pseudo-terminal as fast as it takes bytes and
// prints what an operator would feel: throughput, the cost of one serial event as the
// log grows, the longest stall of the event loop, how late typed keys reach the line,
// and memory per character of log. Run without arguments for all three notations;
// each runs in a process of its own so that peak memory is its own.

#include "commport.h"
#include "logview.h"
#include "ptyline.h"
#include "receivenotation.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using ReceiveNotation::Notation;

constexpr qsizetype kMiB = 1024 * 1024;
constexpr qsizetype kLogTarget = 64 * kMiB;
constexpr std::array<qsizetype, 3> kCostPoints = {1 * kMiB, 16 * kMiB, 64 * kMiB};
constexpr int kTickMs = 5;
constexpr int kKeyEveryMs = 10;
constexpr char kKey = 'k';

struct Run {
    const char *name;
    int display;
    Notation notation;
};

constexpr std::array<Run, 3> kRuns = {{
    {"hex", 1, Notation::Hex},
    {"dec", 2, Notation::Dec},
    {"ascii", 0, Notation::Ascii},
}};

// Text lines for ASCII, every byte value for the others.
QByteArray pattern(Notation notation)
{
    QByteArray block;
    if (notation == Notation::Ascii) {
        while (block.size() < 64 * 1024)
            block += "The quick brown fox jumps over the lazy dog 0123456789 !?\r\n";
    } else {
        for (int i = 0; i < 256 * 256; ++i)
            block.append(char(i % 256));
    }
    return block;
}

qsizetype renderedSize(const QByteArray &bytes, Notation notation)
{
    qsizetype total = 0;
    char out[ReceiveNotation::kMaxChars];
    for (const char b : bytes)
        total += ReceiveNotation::render(quint8(b), notation, out);
    return total;
}

qint64 statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').front().toLongLong();
    }
    return 0;
}

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int runOne(const Run &run)
{
    PtyLine pty;
    CommPort window(pty.directory());
    window.show();
    auto *text1 = window.findChild<LogView *>(QStringLiteral("Text1"));
    auto *text2 = window.findChild<QPlainTextEdit *>(QStringLiteral("Text2"));
    window.findChild<QRadioButton *>(QStringLiteral("Display[%1]").arg(run.display))->click();
    window.findChild<QRadioButton *>(QStringLiteral("Port[0]"))->click();
    window.findChild<QPushButton *>(QStringLiteral("Connect"))->click();
    if (!window.serialControl().PortOpen()) {
        std::fprintf(stderr, "could not open the pseudo-terminal\n");
        return 1;
    }
    QCoreApplication::processEvents();

    const QByteArray block = pattern(run.notation);
    const qsizetype blockChars = renderedSize(block, run.notation);
    const qsizetype blocks = (kLogTarget + blockChars - 1) / blockChars;
    const qint64 rssBefore = statusKiB("VmRSS:");

    // The far end: one thread writes the flood, one reads what the window sends.
    ::fcntl(pty.master(), F_SETFL, ::fcntl(pty.master(), F_GETFL) & ~O_NONBLOCK);
    std::atomic<bool> done = false;
    std::mutex keyMutex;
    std::vector<Clock::time_point> pressed, arrived;
    std::thread writer([&] {
        for (qsizetype i = 0; i < blocks; ++i) {
            for (qsizetype off = 0; off < block.size();) {
                const ssize_t n = ::write(pty.master(), block.constData() + off, size_t(block.size() - off));
                if (n <= 0)
                    return;
                off += n;
            }
        }
    });
    std::thread reader([&] {
        char c;
        while (!done && ::read(pty.master(), &c, 1) == 1) {
            if (c == kKey) {
                std::lock_guard lock(keyMutex);
                arrived.push_back(Clock::now());
            }
        }
    });

    const Clock::time_point start = Clock::now();
    qsizetype expected = blocks * blockChars;
    std::vector<double> costs(kCostPoints.size(), 0);
    std::size_t nextCost = 0;
    double longestStall = 0;
    Clock::time_point lastTick = start;
    const QByteArray event = block.left(64);
    QImage canvas(text1->viewport()->size(), QImage::Format_ARGB32_Premultiplied);

    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, &window, [&] {
        const Clock::time_point now = Clock::now();
        longestStall = std::max(longestStall, ms(now - lastTick) - kTickMs);
        lastTick = now;
        const qsizetype size = window.receivedText().size();
        if (nextCost < kCostPoints.size() && size >= kCostPoints[nextCost]) {
            std::vector<double> samples;
            for (int i = 0; i < 21; ++i) {
                const Clock::time_point t0 = Clock::now();
                window.serialControl().receiveRaw(event);
                // Offscreen, repaint() may skip an unexposed window; render() always paints.
                text1->viewport()->render(&canvas);
                samples.push_back(ms(Clock::now() - t0));
            }
            expected += 21 * renderedSize(event, run.notation);
            costs[nextCost++] = median(samples);
            lastTick = Clock::now();
        }
        if (size >= expected && nextCost == kCostPoints.size())
            QCoreApplication::exit(0);
    });
    ticker.start(kTickMs);

    QTimer typist;
    QObject::connect(&typist, &QTimer::timeout, &window, [&] {
        {
            std::lock_guard lock(keyMutex);
            pressed.push_back(Clock::now());
        }
        const QString text(QChar::fromLatin1(kKey));
        QCoreApplication::postEvent(text2, new QKeyEvent(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, text));
        QCoreApplication::postEvent(text2, new QKeyEvent(QEvent::KeyRelease, Qt::Key_K, Qt::NoModifier, text));
    });
    typist.start(kKeyEveryMs);

    QCoreApplication::exec();
    const double seconds = ms(Clock::now() - start) / 1000;
    typist.stop();
    ticker.stop();
    writer.join();
    // Let the last keys reach the far end, then stop the reader with one more byte.
    const Clock::time_point settle = Clock::now() + std::chrono::milliseconds(200);
    while (Clock::now() < settle)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    done = true;
    window.serialControl().Output("x");
    QCoreApplication::processEvents();
    reader.join();

    std::vector<double> delays;
    for (std::size_t i = 0; i < std::min(pressed.size(), arrived.size()); ++i)
        delays.push_back(ms(arrived[i] - pressed[i]));
    const double worstDelay = delays.empty() ? 0 : *std::max_element(delays.begin(), delays.end());
    const qsizetype logChars = window.receivedText().size();
    const double bytesPerChar = double(statusKiB("VmHWM:") - rssBefore) * 1024 / double(logChars);

    std::printf("%-6s %8.1f %10.2f %10.2f %10.2f %9.1f %10.1f %9.1f %9.2f %8zu/%zu\n", run.name,
                double(blocks * block.size()) / double(kMiB) / seconds, costs[0], costs[1], costs[2],
                longestStall, median(delays), worstDelay, bytesPerChar, arrived.size(), pressed.size());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    for (const Run &run : kRuns) {
        if (args.size() > 1 && args[1] == QLatin1String(run.name))
            return runOne(run);
    }
    std::printf("log of %lld MiB per notation; event = 64 received bytes, handled and painted\n",
                static_cast<long long>(kLogTarget / kMiB));
    std::printf("%-6s %8s %10s %10s %10s %9s %10s %9s %9s %10s\n", "", "MiB/s", "event@1MB", "event@16MB",
                "event@64MB", "stall ms", "key med ms", "key max", "B/char", "keys");
    std::fflush(stdout);
    for (const Run &run : kRuns) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(run.name)});
        child.waitForFinished(-1);
    }
    return 0;
}
