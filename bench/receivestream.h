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
    double wobble(double range);
    quint64 random();

    Kind m_kind;
    quint64 m_state = 0x9E3779B97F4A7C15ull;
    QByteArray m_pending;
    int m_second = 36000;
    double m_latitude = 4807.038;
    double m_longitude = 1131.000;
    double m_altitude = 545.4;
    double m_speed = 22.4;
    double m_course = 84.4;
    int m_satellites = 8;
};
