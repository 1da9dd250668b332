#include "linedecoder.h"

#include <utility>

namespace {

constexpr char kMark = char(0xFF);

} // namespace

std::vector<LineDecoder::Event> LineDecoder::decode(QByteArrayView raw, QByteArray &out, LineCounters *counters)
{
    if (!m_marked)
        return takeCounts(raw, out, counters);
    std::vector<Event> events;
    for (const char c : raw) {
        switch (m_state) {
        case State::Data:
            if (c == kMark)
                m_state = State::Escape;
            else
                out.append(c);
            break;
        case State::Escape:
            if (c == kMark) {
                out.append(kMark);
                m_state = State::Data;
            } else {
                // The driver only ever follows 0xFF with 0xFF or 0x00.
                m_state = State::Marked;
            }
            break;
        case State::Marked: {
            const Event event = classify(quint8(c), counters);
            events.push_back(event);
            if (event != Event::Break)
                out.append(c);
            m_state = State::Data;
            break;
        }
        }
    }
    return events;
}

// Takes the error kind from a count that moved, using each count up once. Without a
// count to go by, a zero byte is a break, and a mark on a line without parity can only
// be a framing error.
LineDecoder::Event LineDecoder::classify(quint8 byte, LineCounters *counters) const
{
    if (counters) {
        if (byte == 0 && counters->brk > 0) {
            --counters->brk;
            return Event::Break;
        }
        if (counters->parity > 0) {
            --counters->parity;
            return Event::ParityError;
        }
        if (counters->frame > 0) {
            --counters->frame;
            return Event::FramingError;
        }
    }
    if (byte == 0)
        return Event::Break;
    return m_parityEnabled ? Event::ParityError : Event::FramingError;
}

// A count only says that an error came with these bytes, not which byte had it, so
// the events come before the data; parity before framing, as a byte with bad parity
// often has a bad stop bit too.
std::vector<LineDecoder::Event> LineDecoder::takeCounts(QByteArrayView raw, QByteArray &out, LineCounters *counters)
{
    out.append(raw);
    std::vector<Event> events;
    if (!counters)
        return events;
    for (auto [count, event] : {std::pair{&counters->parity, Event::ParityError},
                                std::pair{&counters->frame, Event::FramingError}, std::pair{&counters->brk, Event::Break}}) {
        for (; *count > 0; --*count)
            events.push_back(event);
    }
    return events;
}
