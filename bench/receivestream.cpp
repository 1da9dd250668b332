#include "receivestream.h"

#include <algorithm>

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

qint64 ReceiveStream::wobble(qint64 range)
{
    return qint64(random() % quint64(2 * range + 1)) - range;
}

namespace {

// value / 10^decimals, zero-padded to width characters, as printf's %0*.*f writes it;
// printf itself would cost the far end more than the window spends on the bytes.
QByteArray fixed(qint64 value, int width, int decimals)
{
    QByteArray digits = QByteArray::number(value).rightJustified(decimals + 1, '0');
    if (decimals > 0)
        digits.insert(digits.size() - decimals, '.');
    return digits.rightJustified(width, '0');
}

QByteArray twoDigits(int value)
{
    return QByteArray::number(value).rightJustified(2, '0');
}

} // namespace

// One second of a receiver: a fix, the recommended minimum and the track.
void ReceiveStream::addSentences(QByteArray &bytes)
{
    ++m_second;
    m_latitude += wobble(2);
    m_longitude += wobble(2);
    m_altitude += wobble(3);
    m_speed = std::max<qint64>(0, m_speed + wobble(5));
    m_course = (m_course + wobble(20) + 3600) % 3600;
    if (random() % 50 == 0)
        m_satellites = 4 + int(random() % 9);
    const QByteArray time = twoDigits(m_second / 3600 % 24) + twoDigits(m_second / 60 % 60) + twoDigits(m_second % 60);
    const QByteArray position = fixed(m_latitude, 8, 3) + ",N," + fixed(m_longitude, 9, 3) + ",E,";
    const QByteArray speed = fixed(m_speed, 5, 1);
    const QByteArray course = fixed(m_course, 5, 1);
    const QByteArray sentences[] = {
        "GPGGA," + time + ',' + position + "1," + twoDigits(m_satellites) + ',' + fixed(9 + wobble(3), 1, 1) + ','
            + fixed(m_altitude, 1, 1) + ",M,46.9,M,,",
        "GPRMC," + time + ",A," + position + speed + ',' + course + ",230394,003.1,W",
        "GPVTG," + course + ",T," + fixed((m_course + 31) % 3600, 5, 1) + ",M," + speed + ",N,"
            + fixed(m_speed * 1852 / 1000, 5, 1) + ",K",
    };
    for (const QByteArray &sentence : sentences) {
        quint8 checksum = 0;
        for (const char c : sentence)
            checksum ^= quint8(c);
        bytes.append('$').append(sentence).append('*');
        bytes.append(QByteArray::number(checksum, 16).toUpper().rightJustified(2, '0')).append("\r\n");
    }
}
