#include "lognavigation.h"

#include "linebreak.h"

#include <algorithm>

namespace LogNavigation {

namespace {

enum class Kind { Blank, Break, Word, Symbol };

Kind kindOf(QChar c)
{
    if (LineBreak::isBreak(c))
        return Kind::Break;
    if (c == u' ' || c == u'\t')
        return Kind::Blank;
    if (c.isLetterOrNumber() || c.isMark() || c == u'_' || c.isSurrogate())
        return Kind::Word;
    return Kind::Symbol;
}

bool pairAt(const LogText &text, qsizetype pos)
{
    if (pos <= 0 || pos >= text.size())
        return false;
    const QChar before = text.at(pos - 1);
    const QChar after = text.at(pos);
    return LineBreak::isPair(before, after) || (before.isHighSurrogate() && after.isLowSurrogate());
}

qsizetype clamped(const LogText &text, qsizetype pos)
{
    return std::clamp<qsizetype>(pos, 0, text.size());
}

} // namespace

qsizetype snapped(const LogText &text, qsizetype pos)
{
    pos = clamped(text, pos);
    return pairAt(text, pos) ? pos + 1 : pos;
}

qsizetype nextPosition(const LogText &text, qsizetype pos)
{
    pos = snapped(text, pos);
    if (pos >= text.size())
        return pos;
    return pairAt(text, pos + 1) ? pos + 2 : pos + 1;
}

qsizetype previousPosition(const LogText &text, qsizetype pos)
{
    pos = snapped(text, pos);
    if (pos <= 0)
        return 0;
    return pairAt(text, pos - 1) ? pos - 2 : pos - 1;
}

qsizetype nextWord(const LogText &text, qsizetype pos)
{
    pos = snapped(text, pos);
    if (pos >= text.size())
        return pos;
    const Kind kind = kindOf(text.at(pos));
    if (kind == Kind::Break)
        return nextPosition(text, pos);
    if (kind != Kind::Blank) {
        while (pos < text.size() && kindOf(text.at(pos)) == kind)
            ++pos;
    }
    while (pos < text.size() && kindOf(text.at(pos)) == Kind::Blank)
        ++pos;
    return pos;
}

qsizetype previousWord(const LogText &text, qsizetype pos)
{
    pos = snapped(text, pos);
    while (pos > 0 && kindOf(text.at(pos - 1)) == Kind::Blank)
        --pos;
    if (pos == 0)
        return 0;
    const Kind kind = kindOf(text.at(pos - 1));
    if (kind == Kind::Break)
        return previousPosition(text, pos);
    while (pos > 0 && kindOf(text.at(pos - 1)) == kind)
        --pos;
    return pos;
}

std::pair<qsizetype, qsizetype> wordAt(const LogText &text, qsizetype pos)
{
    pos = clamped(text, pos);
    if (pos == text.size())
        pos = std::max<qsizetype>(0, pos - 1);
    if (text.isEmpty())
        return {0, 0};
    const Kind kind = kindOf(text.at(pos));
    if (kind == Kind::Break) {
        const qsizetype from = snapped(text, pos) == pos ? pos : pos - 1;
        return {from, nextPosition(text, from)};
    }
    qsizetype from = pos;
    qsizetype to = pos + 1;
    while (from > 0 && kindOf(text.at(from - 1)) == kind)
        --from;
    while (to < text.size() && kindOf(text.at(to)) == kind)
        ++to;
    return {from, to};
}

} // namespace LogNavigation
