#include "chunktimes.h"

#include "zstdcontext.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// An entry is one byte, length | step << 6, while the length is below 64 and the
// step 0 to 3 ms; else a 0 byte (no read is empty), the length as a varint and the
// step zigzagged as a varint, since a clock set back gives a negative one.
constexpr qint64 kShortLength = 64;
constexpr qint64 kShortStep = 4;
constexpr qsizetype kMaxEntry = 1 + 2 * 10;
// No chunk holds more: a read a byte, each entry at its longest.
constexpr unsigned long long kMaxEntries = 4096 * kMaxEntry;
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

// Room for size bytes of entries while they grow: in place, then powers of two.
qsizetype capacityFor(qsizetype size, qsizetype local)
{
    return size <= local ? local : std::max<qsizetype>(2 * local, qsizetype(std::bit_ceil(quint64(size))));
}

} // namespace

ChunkTimes::ChunkTimes(const ChunkTimes &other)
    : m_last(other.m_last)
    , m_heldSize(other.m_heldSize)
    , m_lastFrom(other.m_lastFrom)
    , m_continued(other.m_continued)
    , m_compressed(other.m_compressed)
{
    if (m_heldSize <= kLocal) {
        m_local = other.m_local;
        return;
    }
    m_heap = new char[size_t(capacityFor(m_heldSize, kLocal))];
    std::memcpy(m_heap, other.m_heap, size_t(m_heldSize));
}

ChunkTimes::~ChunkTimes()
{
    if (m_heldSize > kLocal)
        delete[] m_heap;
}

void ChunkTimes::add(qsizetype from, qint64 msecs, bool continued)
{
    Q_ASSERT(!m_compressed);
    if (from == 0) {
        m_last = msecs;
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
    if (needed > capacityFor(m_heldSize, kLocal)) {
        char *grown = new char[size_t(capacityFor(needed, kLocal))];
        std::memcpy(grown, held(), size_t(m_heldSize));
        if (m_heldSize > kLocal)
            delete[] m_heap;
        m_heap = grown;
    }
    // Where the entries go once they are needed bytes long.
    char *to = needed <= kLocal ? m_local.data() : m_heap;
    std::memcpy(to + m_heldSize, entry, size_t(size));
    m_heldSize = qint32(needed);
}

// Held in place or exactly on the heap: a chunk's times stay as long as the log does.
// bytes may be what is held now.
void ChunkTimes::holdExactly(const char *bytes, qint32 size)
{
    char *kept = size <= kLocal ? nullptr : new char[size_t(size)];
    std::array<char, kLocal> local;
    std::memcpy(kept ? kept : local.data(), bytes, size_t(size));
    if (m_heldSize > kLocal)
        delete[] m_heap;
    if (kept)
        m_heap = kept;
    else
        m_local = local;
    m_heldSize = size;
}

void ChunkTimes::pack()
{
    if (m_heldSize <= kLocal || m_compressed)
        return;
    std::vector<char> frame;
    if (m_heldSize >= kMinPacked) {
        frame.resize(ZSTD_compressBound(size_t(m_heldSize)));
        const size_t size = ZSTD_compressCCtx(ZstdContext::compressor(), frame.data(), frame.size(), m_heap,
                                              size_t(m_heldSize), kLevel);
        frame.resize(ZSTD_isError(size) ? 0 : size);
    }
    if (!frame.empty() && qsizetype(frame.size()) < m_heldSize) {
        holdExactly(frame.data(), qint32(frame.size()));
        m_compressed = true;
    } else {
        holdExactly(m_heap, m_heldSize);
    }
}

std::vector<char> ChunkTimes::plainEntries() const
{
    if (!m_compressed)
        return std::vector<char>(held(), held() + m_heldSize);
    // Entries that cannot be unpacked give the chunk one read, at the last time.
    const unsigned long long expected = ZSTD_getFrameContentSize(held(), size_t(m_heldSize));
    if (expected == ZSTD_CONTENTSIZE_ERROR || expected == ZSTD_CONTENTSIZE_UNKNOWN || expected > kMaxEntries)
        return {};
    std::vector<char> plain(expected);
    const size_t size = ZSTD_decompressDCtx(ZstdContext::decompressor(), plain.data(), plain.size(), held(),
                                            size_t(m_heldSize));
    if (ZSTD_isError(size) || size != plain.size())
        return {};
    return plain;
}

std::vector<ChunkTimes::Read> ChunkTimes::reads() const
{
    const std::vector<char> entries = plainEntries();
    std::vector<Read> reads{Read{0, 0}};
    for (const char *in = entries.data(), *end = in + entries.size(); in < end;) {
        Read read = reads.back();
        const quint8 b = quint8(*in++);
        if (b != 0) {
            read.from += b % kShortLength;
            read.msecs += b / kShortLength;
        } else {
            read.from += qsizetype(getVarint(in));
            const quint64 zigzag = getVarint(in);
            read.msecs += qint64(zigzag >> 1) ^ -qint64(zigzag & 1);
        }
        reads.push_back(read);
    }
    // Steps were counted from 0; the last read's time is known.
    const qint64 shift = m_last - reads.back().msecs;
    for (Read &read : reads)
        read.msecs += shift;
    return reads;
}

qint64 ChunkTimes::timeOf(qsizetype byte) const
{
    const std::vector<Read> all = reads();
    const auto after = std::partition_point(all.cbegin() + 1, all.cend(), [byte](const Read &r) { return r.from <= byte; });
    return std::prev(after)->msecs;
}
