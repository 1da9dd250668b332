#pragma once

#include "logtext.h"
#include "searchpattern.h"

#include <array>
#include <optional>

// One find in the receive box's text, carried out a slice at a time so that the
// window keeps answering keys. Forward it finds the first match that starts at or
// after `from`, else the first before it; backward the last match that ends at or
// before `from`, else the last after it: that second pass has wrapped around. It
// searches the text as it was when it began (the copy shares its blocks), so the box
// may go on growing meanwhile; dropping the search stops it.
class LogSearch
{
public:
    enum class Direction { Forward, Backward };

    struct Match
    {
        qsizetype from = 0;
        qsizetype to = 0;
        bool wrapped = false;
    };

    // from is clamped to the text.
    LogSearch(const LogText &text, const SearchPattern &pattern, Direction direction, qsizetype from);

    // Looks at about budget more places, at least one block's share of them; false
    // once the search is over.
    bool step(qsizetype budget);
    bool isDone() const { return m_pass == qsizetype(m_passes.size()); }
    // Once done: the match, or nothing when the text holds none.
    const std::optional<Match> &match() const { return m_match; }
    // The share of the text looked at, from 0 to 1.
    double progress() const;
    const SearchPattern &pattern() const { return m_pattern; }

private:
    // The places where a match may start, [from, to).
    struct Range
    {
        qsizetype from = 0;
        qsizetype to = 0;
    };

    void startPass(qsizetype pass);
    qsizetype stepForward(qsizetype to);
    qsizetype stepBackward(qsizetype from);
    qsizetype inBlock(qsizetype block, qsizetype from, qsizetype to) const;
    qsizetype acrossBlockEnd(qsizetype from, qsizetype to) const;

    LogText m_text;
    SearchPattern m_pattern;
    bool m_forward = true;
    std::array<Range, 2> m_passes{};
    qsizetype m_pass = 0;
    // Forward the next place to look at, backward one past it.
    qsizetype m_cursor = 0;
    qsizetype m_looked = 0;
    qsizetype m_total = 0;
    std::optional<Match> m_match;
};
