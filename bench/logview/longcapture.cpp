#include "longcapture.h"

#include "logview.h"
#include "receivelog.h"
#include "receivestream.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using ReceiveNotation::Notation;

constexpr qint64 kMiB = 1024 * 1024;
constexpr QSize kBox{257, 225};     // the receive box in a window of its first size
constexpr QSize kMaximised{1100, 690}; // and in a maximised one
constexpr qint64 kWeekAt115200 = 11520LL * 7 * 24 * 3600;

struct Capture
{
    const char *name;
    ReceiveStream::Kind kind;
    Notation notation;
    qint64 bytes;
};

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

struct Times
{
    std::vector<double> ms;
    void add(double t) { ms.push_back(t); }
    double median() const
    {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[sorted.size() / 2];
    }
    double worst() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

// The box as the window holds it, painted the way the platform paints: through the
// X server under xcb; offscreen, where nothing is exposed, into an image.
class Box
{
public:
    Box()
    {
        m_view.resize(kBox);
        m_view.show();
        m_view.setFocus();
    }

    LogView &view() { return m_view; }

    void paint()
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
            static QImage canvas(kMaximised, QImage::Format_ARGB32_Premultiplied);
            m_view.viewport()->render(&canvas);
        } else {
            m_view.viewport()->repaint();
        }
    }

    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString &text = QString())
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(&m_view, &press);
    }

    // The action and the paint it leads to, as the event loop waits for them.
    double timed(const std::function<void()> &action)
    {
        QElapsedTimer timer;
        timer.start();
        action();
        paint();
        return msSince(timer);
    }

    // Runs the event loop for ms, and returns its longest wait between two ticks of
    // a 1 ms timer: the longest slice of background work.
    double idle(int ms)
    {
        QElapsedTimer since;
        since.start();
        double longest = 0;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, &m_view, [&] {
            longest = std::max(longest, msSince(since) - 1);
            since.restart();
        });
        tick.start(1);
        QElapsedTimer total;
        total.start();
        while (total.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return longest;
    }

private:
    LogView m_view;
};

// A stretch of the stream made once and received round and round: each chunk is
// compressed on its own, so the repeat far back gains nothing.
void fill(ReceiveLog &log, const Capture &capture)
{
    constexpr qsizetype kPool = 16 * kMiB;
    constexpr qsizetype kRead = 64 * 1024;
    const QByteArray pool = ReceiveStream(capture.kind).next(kPool);
    for (qsizetype off = 0; log.byteCount() < capture.bytes; off = (off + kRead) % kPool)
        log.append(QByteArrayView(pool).sliced(off, kRead), capture.notation, log.byteCount() * 1000 / 11520);
}

void report(const char *action, const Times &times)
{
    std::printf("| %s | %.2f | %.2f |\n", action, times.median(), times.worst());
    std::fflush(stdout);
}

void runCapture(const Capture &capture, int repeats)
{
    ReceiveLog log;
    QElapsedTimer filling;
    filling.start();
    fill(log, capture);
    Box box;
    LogView &view = box.view();
    const double shown = box.timed([&] { view.showLog(log); });
    std::printf("\n%s: %.0f MiB received, %.0f MiB of text, filled in %.0f s; shown in %.1f ms\n", capture.name,
                double(log.byteCount()) / kMiB, double(log.size()) / kMiB, msSince(filling) / 1000, shown);

    // Settling after a resize, with nothing else to do: how long, and its longest slice.
    box.timed([&] { view.resize(kBox.width() + 40, kBox.height()); });
    QElapsedTimer settling;
    settling.start();
    double longestSlice = 0;
    while (!view.isSettled())
        longestSlice = std::max(longestSlice, box.idle(50));
    std::printf("after a resize the wrap settles in %.2f s in the background, its longest slice %.1f ms\n",
                msSince(settling) / 1000, longestSlice);
    view.resize(kBox);
    box.idle(20);

    std::printf("| action | median ms | worst ms |\n|---|---|---|\n");
    Times wider, maximise, font, notation, edit, home, end, pageDown, drag;
    QScrollBar *bar = view.verticalScrollBar();
    QFont bigger = view.font();
    bigger.setPointSizeF(bigger.pointSizeF() * 1.25);
    for (int i = 0; i < repeats; ++i) {
        wider.add(box.timed([&] { view.resize(kBox.width() + 8 * (i + 1), kBox.height()); }));
        box.idle(20);
        maximise.add(box.timed([&] { view.resize(kMaximised); }));
        box.idle(20);
        maximise.add(box.timed([&] { view.resize(kBox); }));
        box.idle(20);
        font.add(box.timed([&] { view.setFont(i % 2 == 0 ? bigger : QFont()); }));
        box.idle(20);
        notation.add(box.timed([&] {
            view.clear();
            log.append(QByteArrayView("\x0A", 1), i % 2 == 0 ? Notation::Dec : capture.notation,
                       QDateTime::currentMSecsSinceEpoch());
            view.showLog(log);
        }));
        box.idle(20);
        edit.add(box.timed([&] {
            box.key(Qt::Key_Home, Qt::ControlModifier);
            box.key(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
            log.append(QByteArrayView("\x0A", 1), capture.notation, QDateTime::currentMSecsSinceEpoch());
            view.showLog(log);
        }));
        box.idle(20);
        end.add(box.timed([&] { box.key(Qt::Key_End, Qt::ControlModifier); }));
        home.add(box.timed([&] { box.key(Qt::Key_Home, Qt::ControlModifier); }));
        for (int page = 0; page < 5; ++page)
            pageDown.add(box.timed([&] { box.key(Qt::Key_PageDown); }));
        // A drag moves the bar in steps, each painted.
        const int from = bar->value();
        for (int step = 1; step <= 8; ++step)
            drag.add(box.timed([&] { bar->setValue(from + (bar->maximum() / 2 - from) * step / 8); }));
        box.idle(20);
    }
    report("resize wider", wider);
    report("maximise, and back", maximise);
    report("font change", font);
    report("notation change, then one byte", notation);
    report("edit at the top, then one byte", edit);
    report("Ctrl+Home", home);
    report("Ctrl+End", end);
    report("PageDown", pageDown);
    report("scroll-bar drag to the middle (each step)", drag);
}

} // namespace

void runLongCaptures(bool quick)
{
    const int repeats = quick ? 2 : 7;
    runCapture(Capture{"random bytes in HEX", ReceiveStream::Kind::Random, Notation::Hex, quick ? 8 * kMiB : 1024 * kMiB},
               repeats);
    runCapture(Capture{"NMEA sentences in ASCII, a week at 115200 baud", ReceiveStream::Kind::Nmea, Notation::Ascii,
                       quick ? 16 * kMiB : kWeekAt115200},
               repeats);
}
