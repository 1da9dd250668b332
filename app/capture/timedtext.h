#pragma once

#include "fieldspans.h"
#include "logchunk.h"

#include <QByteArray>

#include <limits>

// The log as text with arrival times: a line a read, the read's time in ISO 8601
// with milliseconds and the local offset, a tab, and its text as shown. A tab, CR
// and LF in the text are written \t, \r and \n, and a backslash \\, so that every
// line stays one line and the text can be read back. Written in code-page bytes,
// chunk after chunk; a read that runs on into the next chunk runs on in its line.
class TimedText
{
public:
    // The lines of the chunk's first snapshot.bytes bytes.
    void append(const LogChunk::Snapshot &snapshot, QByteArray &out);
    // Ends the last line.
    void finish(QByteArray &out);

private:
    void stamp(qint64 msecs, QByteArray &out);
    void appendEscaped(QByteArrayView text, QByteArray &out) const;

    bool m_lineOpen = false;
    // The date, time to the second and offset of the second last stamped.
    qint64 m_second = std::numeric_limits<qint64>::min();
    QByteArray m_dateTime;
    QByteArray m_offset;
    QByteArray m_text;
    FieldSpans m_fields;
};
