#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

// Line error counters as the driver keeps them (TIOCGICOUNT); a change between two
// reads tells which kind of error a mark stands for.
struct LineCounters {
    int frame = 0;
    int parity = 0;
    int brk = 0;

    LineCounters &operator+=(const LineCounters &other)
    {
        frame += other.frame;
        parity += other.parity;
        brk += other.brk;
        return *this;
    }
};

// Decodes the raw input of a line read with PARMRK: 0xFF 0xFF is a data byte 0xFF,
// 0xFF 0x00 X is byte X received with an error, and 0xFF 0x00 0x00 is a break unless
// the counters say otherwise. Marks may be split across reads, so the decoder keeps
// its place between calls. Data bytes go to an output buffer; errors come back in the
// order they were seen. A line without marks (a Win32 COM port) reports its errors
// only as counts beside the data: then every byte is data and every count an error.
class LineDecoder
{
public:
    enum class Event { ParityError, FramingError, Break };

    void setParityEnabled(bool enabled) { m_parityEnabled = enabled; }
    void setMarked(bool marked) { m_marked = marked; }
    void reset() { m_state = State::Data; }

    // Appends the data bytes of `raw` to `out`. `counters`, when the driver has them,
    // holds the counts not yet matched to a mark; each mark decoded uses one up, and
    // what is left belongs to marks still to come (a count can move one read early).
    std::vector<Event> decode(QByteArrayView raw, QByteArray &out, LineCounters *counters = nullptr);

private:
    enum class State { Data, Escape, Marked };

    Event classify(quint8 byte, LineCounters *counters) const;
    static std::vector<Event> takeCounts(QByteArrayView raw, QByteArray &out, LineCounters *counters);

    State m_state = State::Data;
    bool m_parityEnabled = false;
    bool m_marked = true;
};
