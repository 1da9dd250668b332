#pragma once

#include "wraplayout.h"

#include <QTextLayout>

#include <memory>

class QPainter;
class QPalette;

// One visual line of the receive box, shaped for drawing and hit testing. The
// line's own line break (a CR, a lone LF, the LF of a CR LF that begins it) takes
// no room and holds no caret position.
class ShapedLine
{
public:
    ShapedLine(const LogText &text, const WrapLayout &layout, qint64 line, const QFont &font);

    qint64 line() const { return m_line; }
    qsizetype start() const { return m_start; }
    qsizetype end() const { return m_end; }
    // The first and last caret positions on the line.
    qsizetype contentStart() const { return m_contentStart; }
    qsizetype contentEnd() const { return m_contentEnd; }
    // The line was wrapped, not broken: its end is also the next line's start.
    bool softEnd() const { return m_softEnd; }

    qreal xOf(qsizetype pos) const; // pos clamped to the line
    // The caret position nearest x, clamped to the content.
    qsizetype posAt(qreal x) const;
    qreal width() const;

    void draw(QPainter *painter, QPointF topLeft, qsizetype selectionFrom, qsizetype selectionTo,
              const QPalette &palette) const;

private:
    qint64 m_line = 0;
    qsizetype m_start = 0;
    qsizetype m_end = 0;
    qsizetype m_contentStart = 0;
    qsizetype m_contentEnd = 0;
    bool m_softEnd = false;
    std::unique_ptr<QTextLayout> m_layout;
};
