#pragma once

#include "logtext.h"
#include "receivelog.h"
#include "wraplayout.h"

#include <QFont>

class ShapedLine;
struct KeyCommand;

// The receive box without its window: the text, its wrap, the caret and selection,
// and what keys and the clipboard do to them. It knows when its text is still the
// log's, so that showing the log again costs only what is new.
class LogEditor
{
public:
    LogEditor();
    ~LogEditor();

    const LogText &text() const { return m_text; }
    const WrapLayout &layout() const { return m_layout; }
    const QFont &font() const { return m_font; }
    int lineHeight() const { return m_lineHeight; }

    // Both leave the whole text to be wrapped again: settle() wraps it in slices,
    // and what is read is wrapped first.
    void setFont(const QFont &font);
    void setWidth(int units);
    std::pair<qsizetype, qsizetype> settle(const QDeadlineTimer &deadline);
    bool isSettled() const { return m_layout.isSettled(); }
    WrapLayout &layout() { return m_layout; }

    void show(const ReceiveLog &log);
    // Empties the text. While it was exactly the log's, it is put aside, so that
    // showing that log again costs only what the log got since.
    void clear();

    qsizetype caret() const { return m_caret; }
    qsizetype selectionStart() const { return std::min(m_anchor, m_caret); }
    qsizetype selectionEnd() const { return std::max(m_anchor, m_caret); }
    bool hasSelection() const { return m_anchor != m_caret; }
    QString selectedText() const;
    // The line the caret is drawn on: at a wrap it may be the upper one.
    qint64 caretLine() const { return lineOf(m_caret, m_caretAtLineEnd); }
    // The line a caret at pos is drawn on.
    qint64 lineOf(qsizetype pos, bool atLineEnd) const;

    // atLineEnd: a position at a wrap is shown at the end of the upper line.
    void moveCaret(qsizetype pos, bool extend, bool atLineEnd = false);
    void select(qsizetype anchor, qsizetype caret);
    void selectAll();
    // The caret position nearest x on a line, and whether it sits at the line's wrap.
    qsizetype positionOn(qint64 line, qreal x, bool *atLineEnd) const;
    // The character drawn under x on a line, or -1 beside its characters.
    qsizetype characterOn(qint64 line, qreal x) const;

    // pageRows: how far a page key moves.
    void carryOut(const KeyCommand &command, const QString &typed, int pageRows);
    void replaceSelection(const QString &text);
    void copy() const;
    void cut();
    void paste();

    ShapedLine shape(qint64 line) const;

private:
    void move(const KeyCommand &command, int pageRows);
    bool edit(const KeyCommand &command, const QString &typed);
    void replaceRange(qsizetype from, qsizetype to, const QString &text);
    void removeOrSelection(qsizetype from, qsizetype to);
    void moveVertically(qint64 lines, bool extend);
    void moveToLineEdge(bool end, bool extend);
    bool takeBackSetAside(const ReceiveLog &log);
    void dropSetAside();

    LogText m_text;
    WrapLayout m_layout{m_text};
    QFont m_font;
    int m_lineHeight = 1;

    // What the last show left: while m_shownExactly the text is the log of
    // m_shownGeneration as it was then; the text before m_unchangedUpTo is the log's.
    bool m_shownExactly = false;
    quint64 m_shownGeneration = 0;
    qsizetype m_unchangedUpTo = 0;

    LogText m_setAside;
    WrapLayout m_setAsideLayout{m_setAside};
    bool m_hasSetAside = false;

    qsizetype m_anchor = 0;
    qsizetype m_caret = 0;
    bool m_caretAtLineEnd = false;
    qreal m_goalX = -1; // kept through Up and Down
};
