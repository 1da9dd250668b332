#include "receivestream.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

QByteArray ReceiveStream::next(qsizetype n)
{
    QByteArray bytes;
    if (m_kind == Kind::Random) {
        fillRandom(bytes, n);
        return bytes;
    }
    while (m_pending.size() < n)
        addSentences(m_pending);
    bytes = m_pending.left(n);
    m_pending.remove(0, n);
    return bytes;
}

quint64 ReceiveStream::random()
{
    m_state ^= m_state << 13;
    m_state ^= m_state >> 7;
    m_state ^= m_state << 17;
    return m_state;
}

void ReceiveStream::fillRandom(QByteArray &bytes, qsizetype n)
{
    bytes.resize(n);
    for (qsizetype i = 0; i < n; i += 8) {
        const quint64 r = random();
        for (qsizetype k = 0; k < 8 && i + k < n; ++k)
            bytes[i + k] = char(r >> (8 * k));
    }
}

double ReceiveStream::wobble(double range)
{
    return (double(random() % 2000001) / 1000000.0 - 1.0) * range;
}

// One second of a receiver: a fix, the recommended minimum and the track.
void ReceiveStream::addSentences(QByteArray &bytes)
{
    ++m_second;
    m_latitude += wobble(0.002);
    m_longitude += wobble(0.002);
    m_altitude += wobble(0.3);
    m_speed = std::max(0.0, m_speed + wobble(0.5));
    m_course = std::fmod(m_course + wobble(2.0) + 360.0, 360.0);
    if (random() % 50 == 0)
        m_satellites = 4 + int(random() % 9);
    const int hh = m_second / 3600 % 24;
    const int mm = m_second / 60 % 60;
    const int ss = m_second % 60;
    char body[3][128];
    std::snprintf(body[0], sizeof body[0], "GPGGA,%02d%02d%02d,%08.3f,N,%09.3f,E,1,%02d,%.1f,%.1f,M,46.9,M,,", hh, mm,
                  ss, m_latitude, m_longitude, m_satellites, 0.9 + wobble(0.3), m_altitude);
    std::snprintf(body[1], sizeof body[1], "GPRMC,%02d%02d%02d,A,%08.3f,N,%09.3f,E,%05.1f,%05.1f,230394,003.1,W", hh,
                  mm, ss, m_latitude, m_longitude, m_speed, m_course);
    std::snprintf(body[2], sizeof body[2], "GPVTG,%05.1f,T,%05.1f,M,%05.1f,N,%05.1f,K", m_course,
                  std::fmod(m_course + 3.1, 360.0), m_speed, m_speed * 1.852);
    for (const char *sentence : body) {
        quint8 checksum = 0;
        for (const char *c = sentence; *c; ++c)
            checksum ^= quint8(*c);
        char tail[8];
        std::snprintf(tail, sizeof tail, "*%02X\r\n", checksum);
        bytes.append('$').append(sentence).append(tail);
    }
}
