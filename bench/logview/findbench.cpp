// Finds a pattern planted only at the end of a HEX log of random bytes, searching from
// the top, and prints how long that takes: the search alone, and through the find bar
// of a box that shows the log, with the longest the window's events waited meanwhile.
// --quick: a small log.
#include "findbar.h"
#include "logsearch.h"
#include "logtext.h"
#include "logview.h"
#include "receivelog.h"
#include "searchpattern.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>

#include <cstdio>

namespace {

constexpr qint64 kMiB = 1024 * 1024;
// "Lorvane!" in HEX: eight random bytes in a row are this with odds of 2^-64 per place.
const QByteArray kPlanted("Lorvane!");

using ReceiveNotation::Notation;

void fill(ReceiveLog &log, qint64 bytes)
{
    std::array<quint32, ReceiveLog::kChunkSize / 4> words;
    while (log.byteCount() < bytes) {
        QRandomGenerator::global()->fillRange(words.data(), words.size());
        log.append(QByteArrayView(reinterpret_cast<const char *>(words.data()), qsizetype(sizeof words)), Notation::Hex, 0);
    }
    log.append(kPlanted, Notation::Hex, 0);
}

struct Run
{
    double ms = 0;
    qsizetype at = -1;
    double longestWaitMs = 0;
};

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

Run find(const LogText &text, const QString &pattern, bool matchCase)
{
    QElapsedTimer timer;
    timer.start();
    LogSearch search(text, SearchPattern(pattern, matchCase), LogSearch::Direction::Forward, 0);
    while (search.step(1 << 20)) {
    }
    return Run{msSince(timer), search.match() ? search.match()->from : -1};
}

// Each pass of the event loop runs what waited, the search's one slice among it.
Run findThroughBar(const ReceiveLog &log, const QString &pattern)
{
    LogView view;
    view.resize(257, 225);
    view.show();
    view.showLog(log);
    // As a box that received the log bit by bit holds it: wrapped to the end.
    while (!view.isSettled())
        QCoreApplication::processEvents();
    FindBar bar(&view);
    bar.open();
    bar.findChild<QLineEdit *>()->setText(pattern);
    view.select(0, 0);
    QElapsedTimer timer;
    timer.start();
    bar.find(LogSearch::Direction::Forward);
    double longest = 0;
    while (bar.isSearching()) {
        QElapsedTimer pass;
        pass.start();
        QCoreApplication::processEvents();
        longest = std::max(longest, msSince(pass));
    }
    return Run{msSince(timer), view.editor().selectionStart(), longest};
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = QCoreApplication::arguments().contains(QStringLiteral("--quick"));
    const qint64 bytes = quick ? 16 * kMiB : 1024 * kMiB;
    ReceiveLog log;
    fill(log, bytes);
    LogText text;
    text.assign(log);
    const qsizetype planted = text.size() - 3 * kPlanted.size();
    std::printf("HEX log of %.0f MiB of random bytes (%.2f GB of text), pattern only at its end\n",
                double(log.byteCount()) / double(kMiB), double(text.size()) / 1e9);
    std::printf("| pattern | match case | search | from the top to the end | text per second | longest wait for events | found at the end |\n"
                "|---|---|---|---|---|---|---|\n");
    const QString hex = text.mid(planted, text.size());
    const auto print = [&](const QString &pattern, bool matchCase, const char *how, const Run &run) {
        std::printf("| %s | %s | %s | %.0f ms | %.2f GB/s | %s | %s |\n", qPrintable(pattern), matchCase ? "yes" : "no", how,
                    run.ms, double(text.size()) / run.ms / 1e6,
                    run.longestWaitMs > 0 ? qPrintable(QString::number(run.longestWaitMs, 'f', 1) + u" ms"_qs) : "-",
                    run.at == planted ? "yes" : "NO");
        std::fflush(stdout);
    };
    print(hex.toLower(), false, "alone", find(text, hex.toLower(), false));
    print(hex, true, "alone", find(text, hex, true));
    print(hex.toLower(), false, "find bar", findThroughBar(log, hex.toLower()));
    return 0;
}
