#include "logchunk.h"

#include <zstd.h>

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

// The UI thread's contexts, kept: each is large to set up.
ZSTD_CCtx *compressor()
{
    static const std::unique_ptr<ZSTD_CCtx, size_t (*)(ZSTD_CCtx *)> context(ZSTD_createCCtx(), ZSTD_freeCCtx);
    return context.get();
}

ZSTD_DCtx *decompressor()
{
    static const std::unique_ptr<ZSTD_DCtx, size_t (*)(ZSTD_DCtx *)> context(ZSTD_createDCtx(), ZSTD_freeDCtx);
    return context.get();
}

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

void LogChunk::append(QByteArrayView bytes, Notation notation)
{
    Q_ASSERT(bytes.size() <= room() && !m_compressed);
    if (bytes.isEmpty())
        return;
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

void LogChunk::compress()
{
    if (m_tried || m_byteCount < kCapacity)
        return;
    m_tried = true;
    static std::array<char, ZSTD_COMPRESSBOUND(kCapacity)> frame;
    const size_t size = ZSTD_compressCCtx(compressor(), frame.data(), frame.size(), m_held.get(),
                                          size_t(m_byteCount), kLevel);
    if (ZSTD_isError(size) || qsizetype(size) > m_byteCount - kMinSaving)
        return;
    m_held = std::make_unique_for_overwrite<char[]>(size);
    std::memcpy(m_held.get(), frame.data(), size);
    m_heldSize = qint32(size);
    m_compressed = true;
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

void LogChunk::appendBytes(qsizetype count, QByteArray &out) const
{
    Q_ASSERT(count >= 0 && count <= m_byteCount);
    if (!m_compressed) {
        out.append(m_held.get(), count);
        return;
    }
    // A frame decompresses whole; what lies past count is cut off again.
    const qsizetype start = out.size();
    out.resize(start + m_byteCount);
    const size_t size = ZSTD_decompressDCtx(decompressor(), out.data() + start, size_t(m_byteCount), m_held.get(),
                                            size_t(m_heldSize));
    Q_ASSERT(size == size_t(m_byteCount));
    Q_UNUSED(size);
    out.resize(start + count);
}

void LogChunk::render(qsizetype from, qsizetype to, QByteArray &text, FieldSpans &fields) const
{
    std::array<char, kCapacity> plain;
    const char *bytes = m_held.get();
    if (m_compressed) {
        const size_t size = ZSTD_decompressDCtx(decompressor(), plain.data(), plain.size(), m_held.get(),
                                                size_t(m_heldSize));
        Q_ASSERT(size == size_t(m_byteCount));
        Q_UNUSED(size);
        bytes = plain.data();
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
