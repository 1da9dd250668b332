#include "fieldspans.h"

#include <algorithm>

namespace FieldSpanList {

void add(FieldSpans &spans, qsizetype from, qsizetype to)
{
    if (from >= to)
        return;
    if (!spans.isEmpty() && spans.constLast().to == from)
        spans.last().to = to;
    else
        spans.append(FieldSpan{from, to});
}

void addSlice(FieldSpans &spans, const FieldSpans &in, qsizetype from, qsizetype to, qsizetype at)
{
    const auto first = std::partition_point(in.cbegin(), in.cend(), [from](const FieldSpan &s) { return s.to <= from; });
    for (auto it = first; it != in.cend() && it->from < to; ++it)
        add(spans, std::max(it->from, from) - from + at, std::min(it->to, to) - from + at);
}

} // namespace FieldSpanList
