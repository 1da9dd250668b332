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
    return block.wide ? block.chars.at(i) : QChar(decode(block.bytes.at(i)));
}

QString LogText::mid(qsizetype from, qsizetype to) const
{
    from = std::clamp<qsizetype>(from, 0, size());
    to = std::clamp<qsizetype>(to, from, size());
    QString text(to - from, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype b = blockOf(from); from < to; ++b) {
        const Block &block = m_blocks.at(b);
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

const char *LogText::blockBytes(qsizetype block) const
{
    const Block &b = m_blocks.at(block);
    return b.wide ? nullptr : b.bytes.constData();
}

const QChar *LogText::blockChars(qsizetype block) const
{
    const Block &b = m_blocks.at(block);
    return b.wide ? b.chars.constData() : nullptr;
}

void LogText::clear()
{
    m_blocks.clear();
    m_starts = {0};
}

LogText::BlockChange LogText::assign(const ReceiveLog &log, qsizetype keepBefore)
{
    // Blocks before the first one an edit touched are still the log's full chunks.
    const qsizetype keep = keepBefore > 0 && !m_blocks.isEmpty()
                               ? std::min(blockOf(keepBefore), log.chunkCount())
                               : 0;
    const BlockChange change{keep, m_blocks.size() - keep, log.chunkCount() - keep};
    m_blocks.resize(keep);
    m_blocks.reserve(log.chunkCount());
    for (qsizetype i = keep; i < log.chunkCount(); ++i)
        m_blocks.append(Block{log.chunk(i), QString(), false});
    rebuildStarts(keep);
    return change;
}

LogText::BlockChange LogText::catchUp(const ReceiveLog &log)
{
    // Every block but the last is a full chunk already; the last may have grown.
    const qsizetype first = std::max<qsizetype>(0, m_blocks.size() - 1);
    const BlockChange change{first, m_blocks.size() - first, log.chunkCount() - first};
    m_blocks.resize(first);
    for (qsizetype i = first; i < log.chunkCount(); ++i)
        m_blocks.append(Block{log.chunk(i), QString(), false});
    rebuildStarts(first);
    return change;
}

LogText::BlockChange LogText::replace(qsizetype from, qsizetype to, const QString &text)
{
    from = std::clamp<qsizetype>(from, 0, size());
    to = std::clamp<qsizetype>(to, from, size());
    if (from == to && text.isEmpty())
        return {};
    const bool placeholder = m_blocks.isEmpty();
    if (placeholder) {
        m_blocks.append(Block{});
        rebuildStarts(0);
    }
    const qsizetype first = blockOf(from);
    const qsizetype last = std::max(first, blockOf(std::max(from, to - 1)));
    const qsizetype offset = from - m_starts.at(first);
    const qsizetype tail = m_starts.at(last + 1) - to;

    // Join the touched blocks into one, keeping bytes while every character fits.
    Block joined;
    const std::optional<QByteArray> bytes = encode(text);
    joined.wide = !bytes || std::any_of(m_blocks.cbegin() + first, m_blocks.cbegin() + last + 1,
                                        [](const Block &b) { return b.wide; });
    if (joined.wide) {
        const QString whole = mid(m_starts.at(first), m_starts.at(last + 1));
        joined.chars = whole.left(offset) + text + whole.right(tail);
    } else {
        QByteArray whole;
        for (qsizetype b = first; b <= last; ++b)
            whole.append(m_blocks.at(b).bytes);
        joined.bytes = whole.left(offset) + *bytes + whole.right(tail);
    }
    m_blocks.remove(first, last - first + 1);
    QList<Block> pieces = splitBlock(std::move(joined));
    const BlockChange change{first, placeholder ? 0 : last - first + 1, pieces.size()};
    for (qsizetype i = 0; i < pieces.size(); ++i)
        m_blocks.insert(first + i, std::move(pieces[i]));
    rebuildStarts(first);
    return change;
}

// Pieces of at most kSplitSize, none empty; an empty block vanishes.
QList<LogText::Block> LogText::splitBlock(Block block) const
{
    QList<Block> pieces;
    const qsizetype n = block.size();
    const qsizetype count = (n + kSplitSize - 1) / kSplitSize;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype begin = n * i / count;
        const qsizetype len = n * (i + 1) / count - begin;
        if (count == 1)
            pieces.append(std::move(block));
        else if (block.wide)
            pieces.append(Block{QByteArray(), block.chars.mid(begin, len), true});
        else
            pieces.append(Block{block.bytes.mid(begin, len), QString(), false});
    }
    return pieces;
}

void LogText::rebuildStarts(qsizetype fromBlock)
{
    m_starts.resize(fromBlock + 1);
    for (qsizetype i = fromBlock; i < m_blocks.size(); ++i)
        m_starts.append(m_starts.constLast() + m_blocks.at(i).size());
}
