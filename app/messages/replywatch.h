#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>

// Looks for the first occurrence of a reply in received bytes that come in pieces of
// any size: a streaming match (Knuth-Morris-Pratt), so a reply split over several
// serial events, after other bytes, is found once, and each byte is looked at once.
class ReplyWatch
{
public:
    static constexpr int kMaxReply = 32;

    // Starts watching for `reply` (1 to 32 bytes) in what is fed from now on.
    void start(QByteArrayView reply);
    void stop() { m_active = false; }
    bool isActive() const { return m_active; }

    // True when these bytes complete the reply; the watch has stopped then.
    bool feed(QByteArrayView bytes);

private:
    QByteArray m_reply;
    // m_fallback[i]: how much of the reply still matches after a mismatch at i.
    std::array<int, kMaxReply> m_fallback{};
    int m_matched = 0;
    bool m_active = false;
};
