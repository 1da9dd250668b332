#include "chunktimes.h"

#include "zstdcontext.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

// An entry is one byte, length | step << 6, while the length is below 64 and the
// step 0 to 3 ms; else a 0 byte (no read is empty), the length as a varint and the
// step zigzagged as a varint, since a clock set back gives a negative one.
constexpr qint64 kShortLength = 64;
constexpr qint64 kShortStep = 4;
constexpr qsizetype kMaxEntry = 1 + 2 * 10;
// Smaller sets of entries gain too little from a frame of their own.
constexpr qint32 kMinPacked = 64;
// Entries are small and few: a slow level costs little and packs the steady rhythm
// of a paced line several times tighter than the fastest.
constexpr int kLevel = 9;

qsizetype putVarint(char *out, quint64 value)
{
    qsizetype n = 0;
    for (; value >= 0x80; value >>= 7)
        out[n++] = char(value | 0x80);
    out[n++] = char(value);
    return n;
}

quint64 getVarint(const char *&in)
{
    quint64 value = 0;
    for (int shift = 0;; shift += 7) {
        const quint8 b = quint8(*in++);
        value |= quint64(b & 0x7F) << shift;
        if (b < 0x80)
            return value;
    }
}

// Room for size bytes of entries while they grow: powers of two, 16 at least.
qsizetype capacityFor(qsizetype size)
{
    return size == 0 ? 0 : std::max<qsizetype>(16, qsizetype(std::bit_ceil(quint64(size))));
}

// Calls visit(from, msecs) for each read in order until it returns false.
template<typename Visit>
void visitReads(const std::vector<char> &entries, qint64 first, Visit visit)
{
    qsizetype from = 0;
    qint64 msecs = first;
    if (!visit(from, msecs))
        return;
    for (const char *in = entries.data(), *end = in + entries.size(); in < end;) {
        const quint8 b = quint8(*in++);
        if (b != 0) {
            from += b % kShortLength;
            msecs += b / kShortLength;
        } else {
            from += qsizetype(getVarint(in));
            const quint64 zigzag = getVarint(in);
            msecs += qint64(zigzag >> 1) ^ -qint64(zigzag & 1);
        }
        if (!visit(from, msecs))
            return;
    }
}

} // namespace

void ChunkTimes::add(qsizetype from, qint64 msecs, bool continued)
{
    Q_ASSERT(!m_compressed);
    if (from == 0) {
        m_first = m_last = msecs;
        m_continued = continued;
        return;
    }
    Q_ASSERT(from > m_lastFrom);
    const qint64 length = from - m_lastFrom;
    const qint64 step = msecs - m_last;
    std::array<char, kMaxEntry> entry;
    qsizetype n = 0;
    if (length < kShortLength && step >= 0 && step < kShortStep) {
        entry[n++] = char(length + step * kShortLength);
    } else {
        entry[n++] = 0;
        n += putVarint(entry.data() + n, quint64(length));
        n += putVarint(entry.data() + n, (quint64(step) << 1) ^ quint64(step >> 63));
    }
    hold(entry.data(), n);
    m_lastFrom = qint16(from);
    m_last = msecs;
}

void ChunkTimes::hold(const char *entry, qsizetype size)
{
    const qsizetype needed = m_heldSize + size;
    if (needed > capacityFor(m_heldSize)) {
        auto grown = std::make_unique_for_overwrite<char[]>(size_t(capacityFor(needed)));
        if (m_heldSize > 0)
            std::memcpy(grown.get(), m_held.get(), size_t(m_heldSize));
        m_held = std::move(grown);
    }
    std::memcpy(m_held.get() + m_heldSize, entry, size_t(size));
    m_heldSize = qint32(needed);
}

void ChunkTimes::pack()
{
    if (m_heldSize == 0 || m_compressed)
        return;
    std::vector<char> frame;
    if (m_heldSize >= kMinPacked) {
        frame.resize(ZSTD_compressBound(size_t(m_heldSize)));
        const size_t size = ZSTD_compressCCtx(ZstdContext::compressor(), frame.data(), frame.size(), m_held.get(),
                                              size_t(m_heldSize), kLevel);
        frame.resize(ZSTD_isError(size) ? 0 : size);
    }
    // Held exactly: a chunk's times stay as long as the log does.
    m_compressed = !frame.empty() && qsizetype(frame.size()) < m_heldSize;
    const char *kept = m_compressed ? frame.data() : m_held.get();
    const qint32 size = m_compressed ? qint32(frame.size()) : m_heldSize;
    auto exact = std::make_unique_for_overwrite<char[]>(size_t(size));
    std::memcpy(exact.get(), kept, size_t(size));
    m_held = std::move(exact);
    m_heldSize = size;
}

std::vector<char> ChunkTimes::plainEntries() const
{
    if (!m_compressed)
        return std::vector<char>(m_held.get(), m_held.get() + m_heldSize);
    std::vector<char> plain(ZSTD_getFrameContentSize(m_held.get(), size_t(m_heldSize)));
    const size_t size = ZSTD_decompressDCtx(ZstdContext::decompressor(), plain.data(), plain.size(), m_held.get(),
                                            size_t(m_heldSize));
    Q_ASSERT(size == plain.size());
    Q_UNUSED(size);
    return plain;
}

std::vector<ChunkTimes::Read> ChunkTimes::reads() const
{
    std::vector<Read> reads;
    visitReads(plainEntries(), m_first, [&reads](qsizetype from, qint64 msecs) {
        reads.push_back(Read{from, msecs});
        return true;
    });
    return reads;
}

qint64 ChunkTimes::timeOf(qsizetype byte) const
{
    qint64 time = m_first;
    visitReads(plainEntries(), m_first, [&](qsizetype from, qint64 msecs) {
        if (from > byte)
            return false;
        time = msecs;
        return true;
    });
    return time;
}
