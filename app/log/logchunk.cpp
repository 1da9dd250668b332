#include "logchunk.h"

#include "zstdcontext.h"

#include <array>
#include <algorithm>
#include <atomic>
#include <cstring>

using ReceiveNotation::Notation;

namespace {

// A compressed chunk must save at least this share of its bytes to be kept so.
constexpr qsizetype kMinSaving = LogChunk::kCapacity / 8;
constexpr int kLevel = 1; // the fastest: compression runs while bytes flood in

struct Written
{
    std::array<char, ReceiveNotation::kMaxChars> chars{};
    qsizetype size = 0;
};
using Table = std::array<Written, 256>;

// Every byte in every notation, written once by the one rendering the window uses.
const std::array<Table, 3> kTables = [] {
    std::array<Table, 3> tables{};
    for (const Notation notation : {Notation::Ascii, Notation::Hex, Notation::Dec}) {
        for (int b = 0; b < 256; ++b) {
            Written &w = tables[int(notation)][b];
            w.size = ReceiveNotation::render(quint8(b), notation, w.chars.data());
        }
    }
    return tables;
}();

quint64 nextId()
{
    static std::atomic<quint64> counter{0};
    return ++counter;
}

} // namespace

LogChunk::LogChunk()
    : m_held(std::make_unique_for_overwrite<char[]>(kCapacity))
    , m_id(nextId())
{
}

LogChunk::LogChunk(const LogChunk &other)
    : QSharedData()
    , m_heldSize(other.m_heldSize)
    , m_held(std::make_unique_for_overwrite<char[]>(other.m_compressed ? size_t(other.m_heldSize) : size_t(kCapacity)))
    , m_changes(other.m_changes ? std::make_unique<std::vector<Change>>(*other.m_changes) : nullptr)
    , m_times(other.m_times)
    , m_id(other.m_id)
    , m_byteCount(other.m_byteCount)
    , m_textSize(other.m_textSize)
    , m_first(other.m_first)
    , m_compressed(other.m_compressed)
{
    std::memcpy(m_held.get(), other.m_held.get(), size_t(m_heldSize));
}

qsizetype LogChunk::textSizeOf(QByteArrayView bytes, Notation notation)
{
    if (notation == Notation::Hex)
        return 3 * bytes.size();
    if (notation == Notation::Ascii)
        return bytes.size() - std::count(bytes.begin(), bytes.end(), '\0');
    qsizetype size = 0;
    for (const char b : bytes)
        size += kTables[int(Notation::Dec)][quint8(b)].size;
    return size;
}

void LogChunk::append(QByteArrayView bytes, Notation notation, qint64 msecs, bool sameRead)
{
    Q_ASSERT(bytes.size() <= room() && !m_compressed);
    if (bytes.isEmpty())
        return;
    if (m_byteCount == 0 || !sameRead)
        m_times.add(m_byteCount, msecs, sameRead);
    if (m_byteCount == 0) {
        m_first = notation;
    } else if (notationAt(m_byteCount - 1, nullptr) != notation) {
        if (!m_changes)
            m_changes = std::make_unique<std::vector<Change>>();
        m_changes->push_back(Change{m_byteCount, notation});
    }
    std::memcpy(m_held.get() + m_byteCount, bytes.data(), size_t(bytes.size()));
    m_byteCount += qint32(bytes.size());
    m_heldSize = m_byteCount;
    m_textSize += qint32(textSizeOf(bytes, notation));
}

QExplicitlySharedDataPointer<LogChunk> LogChunk::packed() const
{
    Q_ASSERT(m_byteCount == kCapacity);
    QExplicitlySharedDataPointer<LogChunk> packed(new LogChunk(*this));
    packed->m_times.pack();
    if (m_compressed)
        return packed;
    std::array<char, ZSTD_COMPRESSBOUND(kCapacity)> frame;
    const size_t size = ZSTD_compressCCtx(ZstdContext::compressor(), frame.data(), frame.size(), m_held.get(),
                                          size_t(m_byteCount), kLevel);
    if (ZSTD_isError(size) || qsizetype(size) > m_byteCount - kMinSaving)
        return packed;
    packed->m_held = std::make_unique_for_overwrite<char[]>(size);
    std::memcpy(packed->m_held.get(), frame.data(), size);
    packed->m_heldSize = qint32(size);
    packed->m_compressed = true;
    return packed;
}

Notation LogChunk::notationAt(qsizetype index, qsizetype *runEnd) const
{
    Notation notation = m_first;
    qsizetype end = m_byteCount;
    if (m_changes) {
        for (const Change &change : *m_changes) {
            if (change.from > index) {
                end = change.from;
                break;
            }
            notation = change.notation;
        }
    }
    if (runEnd)
        *runEnd = end;
    return notation;
}

// The bytes as received: the held ones, or the frame unpacked into plain.
const char *LogChunk::plainBytes(std::array<char, kCapacity> &plain) const
{
    if (!m_compressed)
        return m_held.get();
    const size_t size = ZSTD_decompressDCtx(ZstdContext::decompressor(), plain.data(), plain.size(), m_held.get(),
                                            size_t(m_heldSize));
    return !ZSTD_isError(size) && size == size_t(m_byteCount) ? plain.data() : nullptr;
}

qsizetype LogChunk::byteAt(qsizetype pos, qsizetype bytes) const
{
    std::array<char, kCapacity> plain;
    const char *held = plainBytes(plain);
    if (!held)
        return std::clamp<qsizetype>(pos * bytes / std::max<qsizetype>(m_textSize, 1), 0, bytes - 1);
    for (qsizetype from = 0; from < bytes;) {
        qsizetype runEnd = 0;
        const Notation notation = notationAt(from, &runEnd);
        runEnd = std::min(runEnd, bytes);
        if (notation == Notation::Hex) {
            if (pos < 3 * (runEnd - from))
                return from + pos / 3;
            pos -= 3 * (runEnd - from);
        } else {
            // ASCII writes nothing for a 0 byte, so no position lands on one.
            const Table &table = kTables[int(notation)];
            for (qsizetype i = from; i < runEnd; ++i) {
                pos -= table[quint8(held[i])].size;
                if (pos < 0)
                    return i;
            }
        }
        from = runEnd;
    }
    return bytes - 1;
}

bool LogChunk::appendBytes(qsizetype count, QByteArray &out) const
{
    Q_ASSERT(count >= 0 && count <= m_byteCount);
    if (!m_compressed) {
        out.append(m_held.get(), count);
        return true;
    }
    // A frame decompresses whole; what lies past count is cut off again.
    const qsizetype start = out.size();
    out.resize(start + m_byteCount);
    const size_t size = ZSTD_decompressDCtx(ZstdContext::decompressor(), out.data() + start, size_t(m_byteCount),
                                            m_held.get(), size_t(m_heldSize));
    const bool whole = !ZSTD_isError(size) && size == size_t(m_byteCount);
    out.resize(whole ? start + count : start);
    return whole;
}

void LogChunk::render(qsizetype from, qsizetype to, QByteArray &text, FieldSpans &fields) const
{
    std::array<char, kCapacity> plain;
    const char *bytes = plainBytes(plain);
    if (!bytes) {
        // Only a full chunk is packed, and it is read whole where its length matters.
        text.append(from == 0 && to == m_byteCount ? m_textSize : to - from, kUnreadable);
        return;
    }
    const qsizetype start = text.size();
    text.resize(start + ReceiveNotation::kMaxChars * (to - from));
    char *out = text.data() + start;
    while (from < to) {
        qsizetype runEnd = 0;
        const Notation notation = notationAt(from, &runEnd);
        runEnd = std::min(runEnd, to);
        const Table &table = kTables[int(notation)];
        const char *const fieldStart = out;
        if (notation == Notation::Ascii) {
            out = std::remove_copy(bytes + from, bytes + runEnd, out, '\0');
        } else if (notation == Notation::Hex) {
            // A fixed step, so that no byte waits for the width of the one before.
            for (qsizetype i = from; i < runEnd; ++i, out += 3)
                std::memcpy(out, table[quint8(bytes[i])].chars.data(), ReceiveNotation::kMaxChars);
        } else {
            for (qsizetype i = from; i < runEnd; ++i) {
                const Written &w = table[quint8(bytes[i])];
                std::memcpy(out, w.chars.data(), w.chars.size());
                out += w.size;
            }
        }
        if (notation != Notation::Ascii)
            FieldSpanList::add(fields, fieldStart - text.constData(), out - text.constData());
        from = runEnd;
    }
    text.resize(out - text.constData());
}
