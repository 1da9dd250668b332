#include "logeditor.h"

#include "keycommand.h"
#include "lognavigation.h"
#include "shapedline.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>

#include <algorithm>

LogEditor::LogEditor()
{
    setFont(QFont());
}

LogEditor::~LogEditor() = default;

void LogEditor::setFont(const QFont &font)
{
    m_font = font;
    // The wrap adds up single advances; kerning would make shaped lines disagree.
    m_font.setKerning(false);
    m_lineHeight = std::max(1, QFontMetrics(m_font).lineSpacing());
    dropSetAside();
    m_layout.setMetrics(CharMetrics(m_font));
    m_layout.reflow();
}

void LogEditor::setWidth(int units)
{
    dropSetAside();
    m_layout.setWidth(units);
    m_layout.reflow();
}

std::pair<qsizetype, qsizetype> LogEditor::settle(const QDeadlineTimer &deadline)
{
    const auto wrapped = m_layout.settle(deadline);
    m_layout.ensureAround(m_caret, 1, 1);
    return wrapped;
}

void LogEditor::show(const ReceiveLog &log)
{
    if (takeBackSetAside(log))
        m_shownExactly = true;
    const bool grown = m_shownExactly && log.generation() == m_shownGeneration && log.size() >= m_text.size();
    if (grown) {
        const WrapLayout::Restart restart = m_layout.restartFor(m_text.size());
        m_layout.update(m_text.catchUp(log), restart);
    } else {
        const qsizetype keep = log.generation() == m_shownGeneration ? std::min(m_unchangedUpTo, log.size()) : 0;
        const WrapLayout::Restart restart = m_layout.restartFor(keep);
        m_layout.update(m_text.assign(log, keep), restart);
        const WrapLayout::Restart end = m_layout.restartFor(m_text.size());
        m_layout.update(m_text.catchUp(log), end);
        select(m_anchor, m_caret);
    }
    m_shownExactly = true;
    m_shownGeneration = log.generation();
    m_unchangedUpTo = m_text.size();
}

void LogEditor::clear()
{
    dropSetAside();
    if (m_shownExactly && !m_text.isEmpty()) {
        std::swap(m_text, m_setAside);
        m_layout.swapLines(m_setAsideLayout);
        m_hasSetAside = true;
    }
    m_text.clear();
    m_layout.relayout();
    m_shownExactly = false;
    m_unchangedUpTo = 0;
    select(0, 0);
}

// The text put aside comes back when the log is the one it showed, grown, and the
// operator typed nothing into the empty box since.
bool LogEditor::takeBackSetAside(const ReceiveLog &log)
{
    const bool back = m_hasSetAside && m_text.isEmpty() && log.generation() == m_shownGeneration
                      && log.size() >= m_setAside.size();
    if (back) {
        std::swap(m_text, m_setAside);
        m_layout.swapLines(m_setAsideLayout);
    }
    dropSetAside();
    return back;
}

void LogEditor::dropSetAside()
{
    if (!m_hasSetAside)
        return;
    m_setAside.clear();
    m_setAsideLayout.relayout();
    m_hasSetAside = false;
}

QString LogEditor::selectedText() const
{
    return m_text.mid(selectionStart(), selectionEnd());
}

qint64 LogEditor::lineOf(qsizetype pos, bool atLineEnd) const
{
    const qint64 line = m_layout.lineOf(pos);
    if (atLineEnd && line > 0 && m_layout.lineStart(line) == pos)
        return line - 1;
    return line;
}

void LogEditor::moveCaret(qsizetype pos, bool extend, bool atLineEnd)
{
    m_caret = LogNavigation::snapped(m_text, pos);
    m_layout.ensureAround(m_caret, 1, 1);
    if (!extend)
        m_anchor = m_caret;
    m_caretAtLineEnd = atLineEnd;
    m_goalX = -1;
}

void LogEditor::select(qsizetype anchor, qsizetype caret)
{
    m_anchor = LogNavigation::snapped(m_text, anchor);
    moveCaret(caret, true);
}

void LogEditor::selectAll()
{
    select(0, m_text.size());
}

qsizetype LogEditor::positionOn(qint64 line, qreal x, bool *atLineEnd) const
{
    const ShapedLine shaped = shape(line);
    const qsizetype pos = shaped.posAt(x);
    *atLineEnd = shaped.softEnd() && pos == shaped.end();
    return pos;
}

// The nearest caret position lies after the character under x when x is right of it.
qsizetype LogEditor::characterOn(qint64 line, qreal x) const
{
    const ShapedLine shaped = shape(line);
    if (x < 0 || x >= shaped.width())
        return -1;
    const qsizetype pos = shaped.posAt(x);
    const qsizetype under = shaped.xOf(pos) > x ? pos - 1 : pos;
    return under >= shaped.contentStart() && under < shaped.contentEnd() ? under : -1;
}

void LogEditor::carryOut(const KeyCommand &command, const QString &typed, int pageRows)
{
    if (!edit(command, typed))
        move(command, pageRows);
}

void LogEditor::move(const KeyCommand &command, int pageRows)
{
    using A = KeyCommand::Action;
    namespace Nav = LogNavigation;
    const bool extend = command.extend;
    const bool collapse = hasSelection() && !extend;
    switch (command.action) {
    case A::NextChar:
        return moveCaret(collapse ? selectionEnd() : Nav::nextPosition(m_text, m_caret), extend);
    case A::PreviousChar:
        return moveCaret(collapse ? selectionStart() : Nav::previousPosition(m_text, m_caret), extend);
    case A::NextWord:
        return moveCaret(Nav::nextWord(m_text, m_caret), extend);
    case A::PreviousWord:
        return moveCaret(Nav::previousWord(m_text, m_caret), extend);
    case A::LineStart:
    case A::LineEnd:
        return moveToLineEdge(command.action == A::LineEnd, extend);
    case A::NextLine:
    case A::PreviousLine:
        return moveVertically(command.action == A::NextLine ? 1 : -1, extend);
    case A::NextPage:
    case A::PreviousPage:
        return moveVertically(command.action == A::NextPage ? pageRows : -pageRows, extend);
    case A::DocumentStart:
    case A::DocumentEnd:
        return moveCaret(command.action == A::DocumentEnd ? m_text.size() : 0, extend);
    case A::SelectAll:
        return selectAll();
    default:
        return;
    }
}

// False when the command is no edit.
bool LogEditor::edit(const KeyCommand &command, const QString &typed)
{
    using A = KeyCommand::Action;
    namespace Nav = LogNavigation;
    switch (command.action) {
    case A::Copy: copy(); return true;
    case A::Cut: cut(); return true;
    case A::Paste: paste(); return true;
    case A::DeleteBack: removeOrSelection(Nav::previousPosition(m_text, m_caret), m_caret); return true;
    case A::DeleteBackWord: removeOrSelection(Nav::previousWord(m_text, m_caret), m_caret); return true;
    case A::DeleteForward: removeOrSelection(m_caret, Nav::nextPosition(m_text, m_caret)); return true;
    case A::DeleteForwardWord: removeOrSelection(m_caret, Nav::nextWord(m_text, m_caret)); return true;
    case A::NewLine: replaceSelection(QStringLiteral("\r\n")); return true;
    case A::Type: replaceSelection(typed); return true;
    default: return false;
    }
}

void LogEditor::replaceSelection(const QString &text)
{
    replaceRange(selectionStart(), selectionEnd(), text);
}

void LogEditor::copy() const
{
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void LogEditor::cut()
{
    copy();
    replaceSelection(QString());
}

void LogEditor::paste()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.isEmpty())
        replaceSelection(text);
}

ShapedLine LogEditor::shape(qint64 line) const
{
    return ShapedLine(m_text, m_layout, line, m_font);
}

void LogEditor::replaceRange(qsizetype from, qsizetype to, const QString &text)
{
    if (from == to && text.isEmpty())
        return;
    const WrapLayout::Restart restart = m_layout.restartFor(from);
    m_layout.update(m_text.replace(from, to, text), restart);
    m_shownExactly = false;
    m_unchangedUpTo = std::min(m_unchangedUpTo, from);
    moveCaret(from + text.size(), false);
}

void LogEditor::removeOrSelection(qsizetype from, qsizetype to)
{
    if (hasSelection())
        replaceSelection(QString());
    else
        replaceRange(from, to, QString());
}

void LogEditor::moveVertically(qint64 lines, bool extend)
{
    m_layout.ensureAround(m_caret, std::max<qint64>(0, -lines) + 1, std::max<qint64>(0, lines) + 1);
    const qint64 from = caretLine();
    const qreal goal = m_goalX >= 0 ? m_goalX : shape(from).xOf(m_caret);
    const qint64 to = std::clamp<qint64>(from + lines, 0, m_layout.lineCount() - 1);
    bool atLineEnd = false;
    const qsizetype pos = positionOn(to, goal, &atLineEnd);
    moveCaret(pos, extend, atLineEnd);
    m_goalX = goal;
}

void LogEditor::moveToLineEdge(bool end, bool extend)
{
    const ShapedLine line = shape(caretLine());
    if (!end)
        return moveCaret(line.contentStart(), extend);
    moveCaret(line.contentEnd(), extend, line.softEnd() && line.contentEnd() == line.end());
}
