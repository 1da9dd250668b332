#include "timedtext.h"

#include <QDateTime>
#include <QTimeZone>

void TimedText::append(const LogChunk::Snapshot &snapshot, QByteArray &out)
{
    const ChunkTimes &times = snapshot.chunk->times();
    const std::vector<ChunkTimes::Read> reads = times.reads();
    for (std::size_t i = 0; i < reads.size() && reads[i].from < snapshot.bytes; ++i) {
        const qsizetype to = i + 1 < reads.size() ? std::min<qsizetype>(reads[i + 1].from, snapshot.bytes)
                                                  : snapshot.bytes;
        if (i > 0 || !times.continued() || !m_lineOpen) {
            if (m_lineOpen)
                out.append('\n');
            stamp(reads[i].msecs, out);
            out.append('\t');
            m_lineOpen = true;
        }
        m_text.resize(0);
        m_fields.resize(0);
        snapshot.chunk->render(reads[i].from, to, m_text, m_fields);
        appendEscaped(m_text, out);
    }
}

void TimedText::finish(QByteArray &out)
{
    if (m_lineOpen)
        out.append('\n');
    m_lineOpen = false;
}

// A paced line brings a thousand reads a second: the date, the time and the offset
// are looked up once a second.
void TimedText::stamp(qint64 msecs, QByteArray &out)
{
    const qint64 second = msecs >= 0 ? msecs / 1000 : (msecs - 999) / 1000;
    if (second != m_second) {
        m_second = second;
        const QByteArray iso = QDateTime::fromSecsSinceEpoch(second, QTimeZone::systemTimeZone())
                                   .toString(Qt::ISODate)
                                   .toLatin1();
        m_dateTime = iso.left(19);
        m_offset = iso.mid(19);
    }
    const int ms = int(msecs - second * 1000);
    out.append(m_dateTime);
    out.append('.');
    out.append(char('0' + ms / 100));
    out.append(char('0' + ms / 10 % 10));
    out.append(char('0' + ms % 10));
    out.append(m_offset);
}

void TimedText::appendEscaped(QByteArrayView text, QByteArray &out) const
{
    for (const char c : text) {
        switch (c) {
        case '\t': out.append("\\t"); break;
        case '\r': out.append("\\r"); break;
        case '\n': out.append("\\n"); break;
        case '\\': out.append("\\\\"); break;
        default: out.append(c); break;
        }
    }
}
