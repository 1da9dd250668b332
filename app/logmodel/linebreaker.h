#pragma once

#include "charmetrics.h"
#include "logtext.h"

// Where one visual line of the receive box's text ends, the way a text box wraps:
// after a CR, after an LF that does not follow a CR (CR LF is one break), and before
// a word that would cross the right edge, or before the first character that would
// when a line has no space. Spaces that cross the edge hang. In HEX and DEC stretches
// a line breaks only after a comma or where the stretch begins.
class LineBreaker
{
public:
    explicit LineBreaker(const LogText &text) : m_text(text) {}

    void setMetrics(const CharMetrics &metrics) { m_metrics = metrics; }
    void setWidth(int units) { m_width = units; }
    int width() const { return m_width; }
    const CharMetrics &metrics() const { return m_metrics; }

    // The start of the line after the one starting at start, or -1 when that line
    // runs to the end of the text. An LF right after the CR that ended the previous
    // line belongs to this line and takes no room. block is a hint, kept up to date.
    qsizetype next(qsizetype start, qsizetype &block) const;
    // Lets go of the block last read, which is held while wrapping goes on so that
    // every line does not fetch its block's text again. Due after the text changed.
    void release() const;

private:
    const LogText::BlockView &viewOf(qsizetype block) const;

    const LogText &m_text;
    CharMetrics m_metrics;
    int m_width = 0;
    mutable qsizetype m_viewBlock = -1;
    mutable LogText::BlockView m_view;
};
