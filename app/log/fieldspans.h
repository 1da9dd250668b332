#pragma once

#include <QList>

// Stretches of a text written in HEX or DEC, where every byte is a field of digits
// closed by a comma and a line may break after each comma. Positions are the
// text's own, [from, to); a list is sorted, its spans apart and never empty.
struct FieldSpan
{
    qsizetype from = 0;
    qsizetype to = 0;
};

using FieldSpans = QList<FieldSpan>;

namespace FieldSpanList {

// Adds [from, to) after every span of the list, joining one it touches.
void add(FieldSpans &spans, qsizetype from, qsizetype to);
// Adds the parts of in that lie inside [from, to), moved so that from lands on at.
void addSlice(FieldSpans &spans, const FieldSpans &in, qsizetype from, qsizetype to, qsizetype at);

} // namespace FieldSpanList
