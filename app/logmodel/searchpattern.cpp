#include "searchpattern.h"

#include "codepage.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <utility>

namespace {

using Table = std::array<quint8, 256>;

// Bytes b and c fold alike when their characters' case folds are the same; each
// byte's class is the smallest byte of it. No class of the code page has more than
// two bytes.
const Table kFolded = [] {
    Table table{};
    for (int b = 0; b < 256; ++b) {
        const QChar folded = CodePage::toUnicode(quint8(b)).toCaseFolded();
        int first = 0;
        while (CodePage::toUnicode(quint8(first)).toCaseFolded() != folded)
            ++first;
        table[b] = quint8(first);
    }
    return table;
}();

const Table kSame = [] {
    Table table{};
    for (int b = 0; b < 256; ++b)
        table[b] = quint8(b);
    return table;
}();

// The class of the byte whose character matches c, if the code page has one.
std::optional<quint8> classOf(QChar c, Qt::CaseSensitivity cs)
{
    if (cs == Qt::CaseSensitive)
        return CodePage::fromUnicode(c);
    const QChar folded = c.toCaseFolded();
    for (int b = 0; b < 256; ++b) {
        if (CodePage::toUnicode(quint8(b)).toCaseFolded() == folded)
            return kFolded[b];
    }
    return std::nullopt;
}

// How common a byte is in received text: the commas and digits of HEX and DEC
// most, then the hexadecimal letters, then letters and blanks; anything else least.
int commonness(quint8 b)
{
    if (b == ',')
        return 4;
    if (b >= '0' && b <= '9')
        return 3;
    if (b >= 'A' && b <= 'F')
        return 2;
    if (b == ' ' || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'))
        return 1;
    return 0;
}

// Sixteen bytes at a time, in the compiler's portable vectors.
using Lanes = quint8 __attribute__((vector_size(16)));
using Hits = qint8 __attribute__((vector_size(16)));

Lanes load(const char *at)
{
    Lanes lanes;
    std::memcpy(&lanes, at, sizeof lanes);
    return lanes;
}

// One bit per lane, lane 0 lowest: the top bits of each 8 lanes gathered by a multiply.
unsigned maskOf(Hits hits)
{
    std::array<quint64, 2> words;
    std::memcpy(words.data(), &hits, sizeof words);
    if ((words[0] | words[1]) == 0)
        return 0;
    const auto gather = [](quint64 word) { return unsigned(((word & 0x8080808080808080) * 0x0002040810204081) >> 56); };
    return gather(words[0]) | gather(words[1]) << 8;
}

} // namespace

SearchPattern::SearchPattern(const QString &text, bool matchCase)
    : m_text(text)
    , m_case(matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive)
    , m_fold(matchCase ? &kSame : &kFolded)
{
    m_bytes.reserve(text.size());
    for (const QChar c : text) {
        const std::optional<quint8> b = classOf(c, m_case);
        if (!b)
            return;
        m_bytes.append(char(*b));
    }
    m_inBytes = !m_bytes.isEmpty();
    chooseAnchors();
}

// The rarest character first, then the rarest other one: a character repeated
// would filter nothing more.
void SearchPattern::chooseAnchors()
{
    const auto commonnessAt = [this](qsizetype i) { return commonness(quint8(m_bytes.at(i))); };
    qsizetype first = 0;
    for (qsizetype i = 1; i < m_bytes.size(); ++i)
        first = commonnessAt(i) < commonnessAt(first) ? i : first;
    const auto worse = [&](qsizetype i) { return std::pair(m_bytes.at(i) == m_bytes.at(first), commonnessAt(i)); };
    qsizetype second = first;
    for (qsizetype i = 0; i < m_bytes.size(); ++i) {
        if (i != first && (second == first || worse(i) < worse(second)))
            second = i;
    }
    m_anchors = {anchorAt(first), anchorAt(second)};
}

SearchPattern::Anchor SearchPattern::anchorAt(qsizetype offset) const
{
    Anchor anchor{offset, {m_bytes.at(offset), m_bytes.at(offset)}};
    for (int b = 0; b < 256; ++b) {
        if ((*m_fold)[b] == quint8(m_bytes.at(offset)) && char(b) != anchor.bytes[0])
            anchor.bytes[1] = char(b);
    }
    return anchor;
}

bool SearchPattern::matchesAt(const char *bytes) const
{
    if (m_case == Qt::CaseSensitive)
        return std::memcmp(bytes, m_bytes.constData(), size_t(m_bytes.size())) == 0;
    const Table &fold = *m_fold;
    for (qsizetype i = 0; i < m_bytes.size(); ++i) {
        if (fold[quint8(bytes[i])] != quint8(m_bytes.at(i)))
            return false;
    }
    return true;
}

qsizetype SearchPattern::indexIn(const char *bytes, qsizetype from, qsizetype to) const
{
    if (!m_inBytes)
        return -1;
    const Anchor &a = m_anchors[0];
    const Anchor &b = m_anchors[1];
    const Lanes a0 = Lanes{} + quint8(a.bytes[0]), a1 = Lanes{} + quint8(a.bytes[1]);
    const Lanes b0 = Lanes{} + quint8(b.bytes[0]), b1 = Lanes{} + quint8(b.bytes[1]);
    qsizetype at = from;
    for (; at + 16 <= to; at += 16) {
        const Lanes x = load(bytes + at + a.offset);
        const Lanes y = load(bytes + at + b.offset);
        for (unsigned mask = maskOf(((x == a0) | (x == a1)) & ((y == b0) | (y == b1))); mask; mask &= mask - 1) {
            const qsizetype hit = at + std::countr_zero(mask);
            if (matchesAt(bytes + hit))
                return hit;
        }
    }
    for (; at < to; ++at) {
        if (matchesAt(bytes + at))
            return at;
    }
    return -1;
}

qsizetype SearchPattern::lastIndexIn(const char *bytes, qsizetype from, qsizetype to) const
{
    if (!m_inBytes)
        return -1;
    const Anchor &a = m_anchors[0];
    const Anchor &b = m_anchors[1];
    const Lanes a0 = Lanes{} + quint8(a.bytes[0]), a1 = Lanes{} + quint8(a.bytes[1]);
    const Lanes b0 = Lanes{} + quint8(b.bytes[0]), b1 = Lanes{} + quint8(b.bytes[1]);
    qsizetype at = to;
    for (; at - 16 >= from; at -= 16) {
        const Lanes x = load(bytes + at - 16 + a.offset);
        const Lanes y = load(bytes + at - 16 + b.offset);
        unsigned mask = maskOf(((x == a0) | (x == a1)) & ((y == b0) | (y == b1)));
        while (mask) {
            const int lane = std::bit_width(mask) - 1;
            if (matchesAt(bytes + at - 16 + lane))
                return at - 16 + lane;
            mask &= ~(1u << lane);
        }
    }
    for (; at > from; --at) {
        if (matchesAt(bytes + at - 1))
            return at - 1;
    }
    return -1;
}

qsizetype SearchPattern::indexIn(QStringView chars, qsizetype from, qsizetype to) const
{
    if (from >= to)
        return -1;
    const qsizetype found = chars.sliced(from, to - from - 1 + size()).indexOf(m_text, 0, m_case);
    return found < 0 ? -1 : from + found;
}

qsizetype SearchPattern::lastIndexIn(QStringView chars, qsizetype from, qsizetype to) const
{
    if (from >= to)
        return -1;
    const qsizetype found = chars.sliced(from, to - from - 1 + size()).lastIndexOf(m_text, to - from - 1, m_case);
    return found < 0 ? -1 : from + found;
}

bool SearchPattern::matches(QStringView chars) const
{
    return chars.size() == size() && chars.compare(m_text, m_case) == 0;
}
