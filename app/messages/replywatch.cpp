#include "replywatch.h"

#include <cstring>

void ReplyWatch::start(QByteArrayView reply)
{
    m_reply = reply.first(std::min<qsizetype>(reply.size(), kMaxReply)).toByteArray();
    m_matched = 0;
    m_active = !m_reply.isEmpty();
    if (!m_active)
        return;
    m_fallback[0] = 0;
    for (int i = 1, k = 0; i < m_reply.size(); ++i) {
        while (k > 0 && m_reply[i] != m_reply[k])
            k = m_fallback[k - 1];
        if (m_reply[i] == m_reply[k])
            ++k;
        m_fallback[i] = k;
    }
}

bool ReplyWatch::feed(QByteArrayView bytes)
{
    if (!m_active)
        return false;
    const int size = int(m_reply.size());
    const char first = m_reply[0];
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        // Outside a partial match only the reply's first byte matters: skip to it.
        if (m_matched == 0) {
            const void *next = std::memchr(bytes.data() + i, first, size_t(bytes.size() - i));
            if (!next)
                return false;
            i = static_cast<const char *>(next) - bytes.data();
        }
        const char byte = bytes[i];
        while (m_matched > 0 && byte != m_reply[m_matched])
            m_matched = m_fallback[m_matched - 1];
        if (byte == m_reply[m_matched])
            ++m_matched;
        if (m_matched == size) {
            m_active = false;
            return true;
        }
    }
    return false;
}
