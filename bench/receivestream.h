#pragma once

#include <QByteArray>

// Bytes as a benchmark's far end sends them: random bytes (nothing to compress), or
// NMEA-style sentences as a GPS receiver sends them, with a moving position, the
// time, changing numbers and checksums, each ended by CR LF.
class ReceiveStream
{
public:
    enum class Kind { Random, Nmea };

    explicit ReceiveStream(Kind kind) : m_kind(kind) {}

    QByteArray next(qsizetype n);

private:
    void fillRandom(QByteArray &bytes, qsizetype n);
    void addSentences(QByteArray &bytes);
    qint64 wobble(qint64 range);
    quint64 random();

    Kind m_kind;
    quint64 m_state = 0x9E3779B97F4A7C15ull;
    QByteArray m_pending;
    // Fixed point, as the sentences write them: thousandths of a minute, tenths.
    int m_second = 36000;
    qint64 m_latitude = 4807038;
    qint64 m_longitude = 1131000;
    qint64 m_altitude = 5454;
    qint64 m_speed = 224;
    qint64 m_course = 844;
    int m_satellites = 8;
};
