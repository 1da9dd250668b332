// Finds a pattern planted only at the end of a HEX log of random bytes, searching from
// the top, and prints how long that takes. --quick: a small log.
#include "logsearch.h"
#include "logtext.h"
#include "receivelog.h"
#include "searchpattern.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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
        log.append(QByteArrayView(reinterpret_cast<const char *>(words.data()), qsizetype(sizeof words)), Notation::Hex);
    }
    log.append(kPlanted, Notation::Hex);
}

struct Run
{
    double ms = 0;
    qsizetype at = -1;
};

Run find(const LogText &text, const QString &pattern, bool matchCase)
{
    QElapsedTimer timer;
    timer.start();
    LogSearch search(text, SearchPattern(pattern, matchCase), LogSearch::Direction::Forward, 0);
    while (search.step(1 << 20)) {
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    return Run{ms, search.match() ? search.match()->from : -1};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool quick = QCoreApplication::arguments().contains(QStringLiteral("--quick"));
    const qint64 bytes = quick ? 16 * kMiB : 1024 * kMiB;
    ReceiveLog log;
    fill(log, bytes);
    LogText text;
    text.assign(log);
    const qsizetype planted = text.size() - 3 * kPlanted.size();
    std::printf("HEX log of %.0f MiB of random bytes (%.2f GB of text), pattern only at its end\n",
                double(log.byteCount()) / double(kMiB), double(text.size()) / 1e9);
    std::printf("| pattern | match case | search from the top | text per second | found at the end |\n|---|---|---|---|---|\n");
    const QString hex = text.mid(planted, text.size());
    for (const auto &[pattern, matchCase] : {std::pair(hex.toLower(), false), std::pair(hex, true)}) {
        const Run run = find(text, pattern, matchCase);
        std::printf("| %s | %s | %.0f ms | %.2f GB/s | %s |\n", qPrintable(pattern), matchCase ? "yes" : "no", run.ms,
                    double(text.size()) / run.ms / 1e6, run.at == planted ? "yes" : "NO");
        std::fflush(stdout);
    }
    return 0;
}
