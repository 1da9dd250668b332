#pragma once

#include "logtext.h"

#include <QDate>
#include <QString>

#include <optional>

// What hovering over the receive box tells of arrival times: when the byte under the
// pointer came, or when a selection's first and last bytes came and the span between
// them. Positions of the box's text reach the log's bytes through the blocks that
// show log chunks; a block the operator edited holds typed text and has no times.
namespace ArrivalText {

// The received bytes of a stretch of text: the times of its first and last, and
// how many bytes from one to the other (0 bytes that ASCII does not show included).
struct Span
{
    qint64 first = 0;
    qint64 last = 0;
    qint64 bytes = 0;
};

// When the byte written at pos came; none in edited text or outside the text.
std::optional<qint64> timeAt(const LogText &text, qsizetype pos);
// The received bytes of [from, to); none when it holds none.
std::optional<Span> spanOf(const LogText &text, qsizetype from, qsizetype to);

// Local time with milliseconds, the date in front when it is not today:
// "14:03:22.418", "2026-12-08 14:03:22.418".
QString timeText(qint64 msecs, QDate today);
// "14:03:22.418 to 14:03:25.001 (2.583 s, 29,760 bytes)"; a clock set back in between
// gives a negative span.
QString spanText(const Span &span, QDate today);

// What hovering over the character at pos shows (pos -1: none is under the pointer):
// inside the selection [selectionFrom, selectionTo) its span, else "Received" and the
// time of pos's byte; nothing where no received byte is.
QString tooltip(const LogText &text, qsizetype pos, qsizetype selectionFrom, qsizetype selectionTo, QDate today);

} // namespace ArrivalText
