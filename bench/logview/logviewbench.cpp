// Drives the receive box alone, offscreen, the way the window does after each serial
// event, and prints what that costs as the log grows. --quick: a small run.
#include "logview.h"
#include "longcapture.h"
#include "receivelog.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QScrollBar>

#include <malloc.h>

#include <cstdio>
#include <functional>

namespace {

constexpr qsizetype kMiB = 1024 * 1024;
constexpr int kEventBytes = 64;
constexpr int kEventsPerSample = 300;

using ReceiveNotation::Notation;

// What one serial event receives, from random bytes: the bytes themselves, or
// lines of 32 letters with CR LF.
using Received = std::function<QByteArray(const QByteArray &)>;

QByteArray asIs(const QByteArray &bytes)
{
    return bytes;
}

QByteArray asLines(const QByteArray &bytes)
{
    QByteArray text;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text.append(i % 32 == 31 ? '\n' : char('a' + quint8(bytes[i]) % 26));
    text.replace('\n', "\r\n");
    return text;
}

QByteArray randomBytes(int n)
{
    QByteArray bytes(n, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Offscreen windows are never exposed, so repaint() would skip painting: render instead.
void paint(LogView &view)
{
    static QImage canvas(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    view.viewport()->render(&canvas);
}

qsizetype heapInUse()
{
    return qsizetype(mallinfo2().uordblks);
}

struct Feed
{
    Received received;
    Notation notation;
};

// One serial event: new bytes into the log, the box shown again and painted.
double eventCost(LogView &view, ReceiveLog &log, const Feed &feed)
{
    const QByteArray bytes = feed.received(randomBytes(kEventBytes));
    QElapsedTimer timer;
    timer.start();
    log.append(bytes, feed.notation, QDateTime::currentMSecsSinceEpoch());
    view.showLog(log);
    paint(view);
    return msSince(timer);
}

void fillTo(ReceiveLog &log, qsizetype size, const Feed &feed)
{
    while (log.size() < size)
        log.append(feed.received(randomBytes(4096)), feed.notation, QDateTime::currentMSecsSinceEpoch());
}

double timed(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return msSince(timer);
}

void typeKey(LogView &view, Qt::Key key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&view, &press);
}

void runNotation(const char *name, const Feed &feed, bool quick)
{
    std::printf("\n%s notation, box 257 x 225 px\n", name);
    std::printf("| log size | per event (mean) | per event (max) | full show | re-wrap on resize | "
                "edit at end, event | edit at start, event | scroll + paint | copy all | heap per received byte |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    const QList<qsizetype> sizes = quick ? QList<qsizetype>{1} : QList<qsizetype>{1, 16, 64};
    const int events = quick ? 30 : kEventsPerSample;
    for (const qsizetype mb : sizes) {
        const qsizetype heapBefore = heapInUse();
        auto log = std::make_unique<ReceiveLog>();
        auto view = std::make_unique<LogView>();
        view->resize(257, 225);
        view->show();
        fillTo(*log, mb * kMiB, feed);
        const double fullShow = timed([&] { view->showLog(*log); });
        double total = 0;
        double worst = 0;
        for (int i = 0; i < events; ++i) {
            const double cost = eventCost(*view, *log, feed);
            total += cost;
            worst = std::max(worst, cost);
        }
        const double perByte = double(heapInUse() - heapBefore) / double(log->byteCount());
        const double rewrap = timed([&] { view->resize(300, 225); });
        view->resize(257, 225);
        const auto editAt = [&](Qt::Key where) {
            return timed([&] {
                QKeyEvent move(QEvent::KeyPress, where, Qt::ControlModifier);
                QApplication::sendEvent(view.get(), &move);
                typeKey(*view, Qt::Key_X, QStringLiteral("x"));
                eventCost(*view, *log, feed);
            });
        };
        const double editEnd = editAt(Qt::Key_End);
        const double editStart = editAt(Qt::Key_Home);
        QScrollBar *bar = view->verticalScrollBar();
        const double scroll = timed([&] {
            bar->setValue(bar->maximum() / 2);
            paint(*view);
        });
        const double copy = timed([&] {
            view->select(0, log->size());
            const QString all = view->selectedText();
            Q_UNUSED(all);
        });
        std::printf("| %lld MB | %.3f ms | %.3f ms | %.1f ms | %.1f ms | %.2f ms | %.1f ms | %.3f ms | %.1f ms | %.2f B |\n",
                    qlonglong(mb), total / events, worst, fullShow, rewrap, editEnd, editStart, scroll, copy,
                    perByte);
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = QCoreApplication::arguments().contains(QStringLiteral("--quick"));
    runNotation("HEX, random bytes", Feed{asIs, Notation::Hex}, quick);
    runNotation("ASCII (lines of 32 with CR LF)", Feed{asLines, Notation::Ascii}, quick);
    runLongCaptures(quick);
    return 0;
}
