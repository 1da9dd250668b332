#include "arrivaltext.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>

namespace ArrivalText {

namespace {

// Figures grouped by thousands with commas, as the rest of the window's English.
const QLocale &english()
{
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

} // namespace

std::optional<qint64> timeAt(const LogText &text, qsizetype pos)
{
    if (pos < 0 || pos >= text.size())
        return std::nullopt;
    const qsizetype block = text.blockOf(pos);
    const LogChunk::Snapshot *logged = text.logged(block);
    if (!logged)
        return std::nullopt;
    return logged->chunk->times().timeOf(logged->chunk->byteAt(pos - text.blockStart(block), logged->bytes));
}

std::optional<Span> spanOf(const LogText &text, qsizetype from, qsizetype to)
{
    from = std::clamp<qsizetype>(from, 0, text.size());
    to = std::clamp<qsizetype>(to, from, text.size());
    std::optional<Span> span;
    if (from == to)
        return span;
    const LogChunk *lastChunk = nullptr;
    qsizetype lastByte = 0;
    for (qsizetype b = text.blockOf(from); b < text.blockCount() && text.blockStart(b) < to; ++b) {
        const LogChunk::Snapshot *logged = text.logged(b);
        if (!logged)
            continue;
        // Blocks the stretch only passes through count whole.
        const qsizetype start = text.blockStart(b);
        const qsizetype begin = from >= start ? logged->chunk->byteAt(from - start, logged->bytes) : 0;
        const qsizetype end = to <= text.blockEnd(b) ? logged->chunk->byteAt(to - 1 - start, logged->bytes) + 1
                                                     : logged->bytes;
        if (!span)
            span = Span{logged->chunk->times().timeOf(begin), 0, 0};
        span->bytes += end - begin;
        lastChunk = logged->chunk.data();
        lastByte = end - 1;
    }
    if (span)
        span->last = lastChunk->times().timeOf(lastByte);
    return span;
}

QString timeText(qint64 msecs, QDate today)
{
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(msecs);
    const QString time = at.time().toString(QStringLiteral("HH:mm:ss.zzz"));
    return at.date() == today ? time : at.date().toString(Qt::ISODate) + u' ' + time;
}

QString spanText(const Span &span, QDate today)
{
    const qint64 ms = span.last - span.first;
    const QString seconds = (ms < 0 ? QStringLiteral("-") : QString()) + english().toString(qAbs(ms) / 1000) + u'.'
                            + QString::number(qAbs(ms) % 1000).rightJustified(3, u'0');
    const QString bytes = span.bytes == 1 ? QStringLiteral("1 byte")
                                          : english().toString(span.bytes) + QStringLiteral(" bytes");
    return QStringLiteral("%1 to %2 (%3 s, %4)").arg(timeText(span.first, today), timeText(span.last, today), seconds, bytes);
}

QString tooltip(const LogText &text, qsizetype pos, qsizetype selectionFrom, qsizetype selectionTo, QDate today)
{
    if (pos >= selectionFrom && pos < selectionTo) {
        const std::optional<Span> span = spanOf(text, selectionFrom, selectionTo);
        return span ? spanText(*span, today) : QString();
    }
    const std::optional<qint64> time = timeAt(text, pos);
    return time ? QStringLiteral("Received %1").arg(timeText(*time, today)) : QString();
}

} // namespace ArrivalText
