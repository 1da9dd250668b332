#include "logtext.h"

#include "codepage.h"

#include <algorithm>
#include <optional>

const std::array<char16_t, 256> LogText::kDecodeTable = [] {
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = CodePage::toUnicode(quint8(b)).unicode();
    return table;
}();

namespace {

// The code-page bytes of text, or nothing when one of its characters has none.
std::optional<QByteArray> encode(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const std::optional<quint8> b = CodePage::fromUnicode(c);
        if (!b)
            return std::nullopt;
        bytes.append(char(*b));
    }
    return bytes;
}

} // namespace

QChar LogText::at(qsizetype pos) const
{
    const qsizetype b = blockOf(pos);
    if (b < 0 || pos < 0 || pos >= size())
        return QChar();
    const Block &block = m_blocks.at(b);
    const qsizetype i = pos - m_starts.at(b);
    if (!block.edited)
        return QChar(decode(rendering(block.logged).text.at(i)));
    return block.edited->wide ? block.edited->chars.at(i) : QChar(decode(block.edited->bytes.at(i)));
}

QString LogText::mid(qsizetype from, qsizetype to) const
{
    from = std::clamp<qsizetype>(from, 0, size());
    to = std::clamp<qsizetype>(to, from, size());
    QString text(to - from, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype b = blockOf(from); from < to; ++b) {
        const BlockView block = view(b);
        const qsizetype begin = from - m_starts.at(b);
        const qsizetype end = std::min(to, m_starts.at(b + 1)) - m_starts.at(b);
        if (block.wide) {
            out = std::copy(block.chars.constData() + begin, block.chars.constData() + end, out);
        } else {
            for (qsizetype i = begin; i < end; ++i)
                *out++ = QChar(decode(block.bytes.at(i)));
        }
        from = m_starts.at(b) + end;
    }
    return text;
}

qsizetype LogText::blockOf(qsizetype pos) const
{
    if (m_blocks.isEmpty())
        return -1;
    const auto it = std::upper_bound(m_starts.cbegin(), m_starts.cend() - 1, pos);
    return std::max<qsizetype>(0, std::min<qsizetype>(it - m_starts.cbegin() - 1, m_blocks.size() - 1));
}

LogText::BlockView LogText::view(qsizetype block) const
{
    const Block &b = m_blocks.at(block);
    if (b.edited)
        return BlockView{b.edited->bytes, b.edited->chars, b.edited->wide, b.edited->fields};
    const Rendering &r = rendering(b.logged);
    return BlockView{r.text, QString(), false, r.fields};
}

const LogChunk::Snapshot *LogText::logged(qsizetype block) const
{
    const Block &b = m_blocks.at(block);
    return b.edited ? nullptr : &b.logged;
}

// A chunk that grew since it was rendered is rendered on from where it was.
const LogText::Rendering &LogText::rendering(const LogChunk::Snapshot &logged) const
{
    const quint64 id = logged.chunk->id();
    auto found = std::find_if(m_renderings.begin(), m_renderings.end(), [id](const Rendering &r) { return r.id == id; });
    if (found == m_renderings.end()) {
        found = m_renderings.begin() + m_nextRendering;
        m_nextRendering = (m_nextRendering + 1) % qsizetype(m_renderings.size());
    }
    // A slot keeps its buffer for any chunk: growing and freeing buffers between the
    // log's long-lived chunks would leave the heap full of holes.
    Rendering &r = *found;
    if (r.id != id || r.bytes > logged.bytes) {
        r.id = id;
        r.bytes = 0;
        r.text.resize(0);
        r.text.reserve(ReceiveNotation::kMaxChars * LogChunk::kCapacity);
        r.fields.clear();
    }
    if (r.bytes < logged.bytes) {
        logged.chunk->render(r.bytes, logged.bytes, r.text, r.fields);
        r.bytes = logged.bytes;
    }
    return r;
}

void LogText::clear()
{
    m_blocks.clear();
    m_starts = {0};
    m_loggedUpTo = 0;
    m_changed = false;
}

// Blocks for the log's chunks [fromChunk, toChunk); a chunk with no text yet has none.
QList<LogText::Block> LogText::blocksOf(const ReceiveLog &log, qsizetype fromChunk, qsizetype toChunk)
{
    QList<Block> blocks;
    for (qsizetype i = fromChunk; i < toChunk; ++i) {
        LogChunk::Snapshot chunk = log.chunk(i);
        if (chunk.chars > 0)
            blocks.append(Block{std::move(chunk), nullptr});
    }
    return blocks;
}

// Blocks [first, first + removed) become blocks; the starts after them move by what
// the text grew, and nothing moves in memory when as many blocks come as go.
LogText::BlockChange LogText::splice(qsizetype first, qsizetype removed, QList<Block> blocks)
{
    const qsizetype added = blocks.size();
    const qsizetype oldEnd = m_starts.at(first + removed);
    if (added != removed) {
        m_blocks.remove(first, removed);
        m_blocks.insert(first, added, Block{});
        m_starts.remove(first + 1, removed);
        m_starts.insert(first + 1, added, 0);
    }
    std::move(blocks.begin(), blocks.end(), m_blocks.begin() + first);
    for (qsizetype i = first; i < first + added; ++i)
        m_starts[i + 1] = m_starts.at(i) + m_blocks.at(i).size();
    const qsizetype grown = m_starts.at(first + added) - oldEnd;
    if (grown != 0) {
        for (auto it = m_starts.begin() + first + added + 1; it != m_starts.end(); ++it)
            *it += grown;
    }
    return BlockChange{first, removed, added};
}

LogText::BlockChange LogText::assign(const ReceiveLog &log, qsizetype keepBefore)
{
    // Blocks before the first one an edit touched are still the log's chunks, but for
    // pieces of an edited block that lie before the edit; the last chunk kept may
    // have grown since.
    qsizetype keep = keepBefore > 0 && !m_blocks.isEmpty() ? blockOf(keepBefore) : 0;
    while (keep > 0 && m_blocks.at(keep - 1).edited)
        --keep;
    qsizetype fromChunk = 0;
    if (keep > 0) {
        const LogChunk::Snapshot &last = m_blocks.at(keep - 1).logged;
        const qsizetype index = log.indexOf(last.chunk->id());
        if (index < 0)
            keep = 0;
        else if (log.chunk(index).bytes == last.bytes)
            fromChunk = index + 1;
        else {
            fromChunk = index;
            --keep;
        }
    }
    // So are the blocks after the operator's changes: the log's chunks as they were,
    // which only catchUp() need bring up to date.
    qsizetype tail = m_changed ? std::max(keep, m_changedTo) : m_blocks.size();
    qsizetype toChunk = tail < m_blocks.size() ? log.indexOf(m_blocks.at(tail).logged.chunk->id()) : -1;
    if (toChunk < fromChunk) {
        tail = m_blocks.size();
        toChunk = log.chunkCount();
    }
    m_loggedUpTo = tail < m_blocks.size() ? log.indexOf(m_blocks.constLast().logged.chunk->id()) + 1 : toChunk;
    m_changed = false;
    return splice(keep, tail - keep, blocksOf(log, fromChunk, toChunk));
}

LogText::BlockChange LogText::catchUp(const ReceiveLog &log)
{
    if (log.chunkCount() > m_loggedUpTo)
        takePacked(log);
    // Only the chunk that was last may have grown; chunks after it are new.
    const qsizetype fromChunk = std::max<qsizetype>(0, m_loggedUpTo - 1);
    qsizetype first = m_blocks.size();
    const LogChunk *lastChunk = first > 0 ? m_blocks.constLast().logged.chunk.data() : nullptr;
    if (lastChunk && fromChunk < log.chunkCount() && lastChunk->id() == log.chunk(fromChunk).chunk->id())
        --first;
    const BlockChange change = splice(first, m_blocks.size() - first, blocksOf(log, fromChunk, log.chunkCount()));
    m_loggedUpTo = log.chunkCount();
    return change;
}

// A new chunk has the log pack one of the last it had: the block showing that one
// takes the packed chunk, which has the same text, and lets the other go.
void LogText::takePacked(const ReceiveLog &log)
{
    for (qsizetype b = std::max<qsizetype>(0, m_blocks.size() - ReceiveLog::kRawChunks - 2); b < m_blocks.size(); ++b) {
        LogChunk::Snapshot &logged = m_blocks[b].logged;
        if (m_blocks.at(b).edited)
            continue;
        const qsizetype index = log.indexOf(logged.chunk->id());
        if (index < 0)
            continue;
        const LogChunk::Snapshot now = log.chunk(index);
        if (now.chunk != logged.chunk && now.bytes == logged.bytes)
            logged.chunk = now.chunk;
    }
}

LogText::BlockChange LogText::replace(qsizetype from, qsizetype to, const QString &text)
{
    from = std::clamp<qsizetype>(from, 0, size());
    to = std::clamp<qsizetype>(to, from, size());
    if (from == to && text.isEmpty())
        return {};
    const bool placeholder = m_blocks.isEmpty();
    if (placeholder) {
        m_blocks.append(Block{{}, std::make_shared<const Edited>()});
        m_starts.append(0);
    }
    const qsizetype first = blockOf(from);
    const qsizetype last = std::max(first, blockOf(std::max(from, to - 1)));
    const qsizetype offset = from - m_starts.at(first);
    const qsizetype tail = m_starts.at(last + 1) - to;

    // Join the touched blocks into one, keeping bytes while every character fits.
    const std::optional<QByteArray> bytes = encode(text);
    const bool wide = !bytes || std::any_of(m_blocks.cbegin() + first, m_blocks.cbegin() + last + 1,
                                            [](const Block &b) { return b.edited && b.edited->wide; });
    const Edited whole = joined(first, last, wide);
    Edited edited;
    edited.wide = wide;
    if (wide)
        edited.chars = whole.chars.left(offset) + text + whole.chars.right(tail);
    else
        edited.bytes = whole.bytes.left(offset) + *bytes + whole.bytes.right(tail);
    FieldSpanList::addSlice(edited.fields, whole.fields, 0, offset, 0);
    FieldSpanList::addSlice(edited.fields, whole.fields, whole.size() - tail, whole.size(), offset + text.size());

    const BlockChange change = splice(first, last - first + 1, splitBlock(std::move(edited)));
    markChanged(change);
    return placeholder ? BlockChange{first, 0, change.added} : change;
}

// The operator's changes so far lie in blocks [m_changedFrom, m_changedTo).
void LogText::markChanged(const BlockChange &change)
{
    const qsizetype end = change.first + change.removed;
    const auto moved = [&](qsizetype block, qsizetype inside) {
        return block < change.first ? block : block >= end ? block + change.added - change.removed : inside;
    };
    if (!m_changed) {
        m_changedFrom = change.first;
        m_changedTo = change.first + change.added;
    } else {
        m_changedFrom = std::min(moved(m_changedFrom, change.first), change.first);
        m_changedTo = std::max(moved(m_changedTo, change.first + change.added), change.first + change.added);
    }
    m_changed = true;
}

// The text and stretches of blocks [first, last] as one.
LogText::Edited LogText::joined(qsizetype first, qsizetype last, bool wide) const
{
    Edited whole;
    whole.wide = wide;
    for (qsizetype b = first; b <= last; ++b) {
        const BlockView block = view(b);
        if (!wide)
            whole.bytes.append(block.bytes);
        else
            whole.chars.append(block.wide ? block.chars : mid(m_starts.at(b), m_starts.at(b + 1)));
        FieldSpanList::addSlice(whole.fields, block.fields, 0, m_blocks.at(b).size(), m_starts.at(b) - m_starts.at(first));
    }
    return whole;
}

// Pieces of at most kSplitSize, none empty; an empty block vanishes.
QList<LogText::Block> LogText::splitBlock(Edited edited) const
{
    QList<Block> pieces;
    const qsizetype n = edited.size();
    const qsizetype count = (n + kSplitSize - 1) / kSplitSize;
    if (count == 1)
        pieces.append(Block{{}, std::make_shared<const Edited>(std::move(edited))});
    for (qsizetype i = 0; count > 1 && i < count; ++i) {
        const qsizetype begin = n * i / count;
        const qsizetype end = n * (i + 1) / count;
        Edited piece;
        piece.wide = edited.wide;
        if (edited.wide)
            piece.chars = edited.chars.mid(begin, end - begin);
        else
            piece.bytes = edited.bytes.mid(begin, end - begin);
        FieldSpanList::addSlice(piece.fields, edited.fields, begin, end, 0);
        pieces.append(Block{{}, std::make_shared<const Edited>(std::move(piece))});
    }
    return pieces;
}
