// Reconnects the real main window again and again and prints how long after its
// device node appears the port is open again and the device's first byte is in the
// receive log. Each round the null modem linked as ttyACM0 in a private folder
// standing for /dev hangs up and its link goes, as when socat is killed; a new one is
// linked in its place, whose far end sends its first byte the moment the port is open
// (the pseudo-terminal's packet mode tells it of the open's input flush), as a board
// that prints its boot log would, minus the pacing of its sends. For comparison, how
// long a byte takes from the far end to the log on a line that stays open. Last, a
// device that comes back locked by another program: how often the window tries it and
// how much processor it uses while it waits. --quick: fewer rounds.
// Offscreen unless QT_QPA_PLATFORM names a platform.

#include "commport.h"
#include "ptyline.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include <cerrno>

#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 200;
constexpr int kQuickRounds = 20;
constexpr int kIdleMs = 2000;
constexpr int kQuickIdleMs = 500;
constexpr int kGiveUpMs = 5000;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The far end of `master` waits until the near end flushes its input, as an open does,
// and then sends one byte. The master is non-blocking and in packet mode.
void sendOnceOpened(int master)
{
    for (pollfd p{master, POLLIN, 0}; ::poll(&p, 1, kGiveUpMs) > 0;) {
        char packet[256];
        const ssize_t n = ::read(master, packet, sizeof packet);
        if (n > 0 && (packet[0] & TIOCPKT_FLUSHREAD)) {
            (void)::write(master, "b", 1);
            return;
        }
        if (n <= 0 && errno != EAGAIN)
            return;
    }
}

double cpuMs()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Runs the event loop until `done` or the time is up, sleeping while nothing happens.
template<typename Done>
bool waitUntil(Done done, int ms = kGiveUpMs)
{
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(ms);
    while (!done() && wake.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

struct Times
{
    std::vector<double> open;
    std::vector<double> firstByte;
};

void print(const char *what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double share) { return ms[std::min(ms.size() - 1, size_t(share * double(ms.size())))]; };
    std::printf("%-34s %7.2f %7.2f %7.2f %7.2f\n", what, ms.front(), at(0.5), at(0.9), ms.back());
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = QCoreApplication::arguments().contains(QStringLiteral("--quick"));

    PtyLine first(QStringLiteral("ttyACM0"));
    if (!first.isValid()) {
        std::fprintf(stderr, "could not open the pseudo-terminal\n");
        return 1;
    }
    const QByteArray link = QFile::encodeName(first.linkPath());
    CommPort window(first.directory());
    window.show();
    auto *connectButton = window.findChild<QPushButton *>(QStringLiteral("Connect"));
    MSComm &comm = window.serialControl();
    window.findChild<QAction *>(QStringLiteral("menuReconnect"))->setChecked(true);
    window.findChild<QRadioButton *>(QStringLiteral("Port[0]"))->click();
    connectButton->click();

    Clock::time_point opened;
    Clock::time_point firstByte;
    // Connected after the window's own handler, so this runs once the open is done.
    QObject::connect(connectButton, &QPushButton::toggled, &window, [&](bool on) {
        if (on && comm.PortOpen() && opened == Clock::time_point())
            opened = Clock::now();
    });
    QObject::connect(&comm, &MSComm::OnComm, &window, [&] {
        if (firstByte == Clock::time_point())
            firstByte = Clock::now();
    });

    Times times;
    std::unique_ptr<PtyLine> line;
    const int rounds = quick ? kQuickRounds : kRounds;
    for (int round = 0; round < rounds; ++round) {
        ::unlink(link.constData());
        (line ? *line : first).closeMaster();
        if (!waitUntil([&] { return !connectButton->isChecked(); })) {
            std::fprintf(stderr, "round %d: the line was not lost\n", round);
            return 1;
        }
        // Its own folder is unused; the node that counts is the link made below.
        line = std::make_unique<PtyLine>(QStringLiteral("ttyACM0"));
        int packetMode = 1;
        ::ioctl(line->master(), TIOCPKT, &packetMode);
        opened = firstByte = Clock::time_point();
        const Clock::time_point appeared = Clock::now();
        const bool linked = ::symlink(line->slavePath().toLocal8Bit().constData(), link.constData()) == 0;
        std::thread board(sendOnceOpened, line->master());
        const bool back = linked && waitUntil([&] { return firstByte != Clock::time_point(); }) && comm.PortOpen();
        board.join();
        if (!back) {
            std::fprintf(stderr, "round %d: not reconnected\n", round);
            return 1;
        }
        times.open.push_back(msBetween(appeared, opened));
        times.firstByte.push_back(msBetween(appeared, firstByte));
    }
    std::printf("%d rounds, ms from the link's appearance %12s %7s %7s %7s\n", rounds, "min", "median", "p90", "max");
    print("to the port open again", times.open);
    print("to the first byte in the log", times.firstByte);

    // For comparison, a byte the far end sends from a thread of its own on a line that
    // stays open: the same two wake-ups, of the far end and of the window.
    std::vector<double> steady;
    for (int round = 0; round < rounds; ++round) {
        firstByte = Clock::time_point();
        Clock::time_point sent;
        std::thread board([&, master = line->master()] {
            sent = Clock::now();
            (void)::write(master, "s", 1);
        });
        const bool arrived = waitUntil([&] { return firstByte != Clock::time_point(); });
        board.join();
        if (!arrived)
            return 1;
        steady.push_back(msBetween(sent, firstByte));
    }
    print("open line: a byte sent to the log", steady);

    // A device that comes back but stays locked: tried once, then only waited for.
    ::unlink(link.constData());
    line->closeMaster();
    waitUntil([&] { return !connectButton->isChecked(); });
    PtyLine locked(QStringLiteral("ttyACM0"));
    if (::flock(locked.slave(), LOCK_EX | LOCK_NB) != 0)
        return 1;
    int attempts = 0;
    QObject::connect(connectButton, &QPushButton::toggled, &window, [&](bool on) { attempts += on ? 1 : 0; });
    ::symlink(locked.slavePath().toLocal8Bit().constData(), link.constData());
    const int idleMs = quick ? kQuickIdleMs : kIdleMs;
    waitUntil([&] { return attempts > 0; });
    const double cpuBefore = cpuMs();
    waitUntil([] { return false; }, idleMs);
    std::printf("a device back but locked: %d open attempt(s); then %.1f ms of processor in %d ms of waiting\n",
                attempts, cpuMs() - cpuBefore, idleMs);
    ::unlink(link.constData());
    return 0;
}
