#include "keycommand.h"

#include <QKeyEvent>

#include <algorithm>
#include <array>

namespace {

struct Binding
{
    QKeySequence::StandardKey key;
    KeyCommand::Action action;
    bool extend;
};

using A = KeyCommand::Action;

// Cut before Delete: Shift+Delete is Cut on some platforms.
constexpr std::array kBindings = {
    Binding{QKeySequence::SelectAll, A::SelectAll, false},
    Binding{QKeySequence::Copy, A::Copy, false},
    Binding{QKeySequence::Cut, A::Cut, false},
    Binding{QKeySequence::Paste, A::Paste, false},
    Binding{QKeySequence::MoveToNextChar, A::NextChar, false},
    Binding{QKeySequence::SelectNextChar, A::NextChar, true},
    Binding{QKeySequence::MoveToPreviousChar, A::PreviousChar, false},
    Binding{QKeySequence::SelectPreviousChar, A::PreviousChar, true},
    Binding{QKeySequence::MoveToNextWord, A::NextWord, false},
    Binding{QKeySequence::SelectNextWord, A::NextWord, true},
    Binding{QKeySequence::MoveToPreviousWord, A::PreviousWord, false},
    Binding{QKeySequence::SelectPreviousWord, A::PreviousWord, true},
    Binding{QKeySequence::MoveToStartOfLine, A::LineStart, false},
    Binding{QKeySequence::SelectStartOfLine, A::LineStart, true},
    Binding{QKeySequence::MoveToEndOfLine, A::LineEnd, false},
    Binding{QKeySequence::SelectEndOfLine, A::LineEnd, true},
    Binding{QKeySequence::MoveToNextLine, A::NextLine, false},
    Binding{QKeySequence::SelectNextLine, A::NextLine, true},
    Binding{QKeySequence::MoveToPreviousLine, A::PreviousLine, false},
    Binding{QKeySequence::SelectPreviousLine, A::PreviousLine, true},
    Binding{QKeySequence::MoveToNextPage, A::NextPage, false},
    Binding{QKeySequence::SelectNextPage, A::NextPage, true},
    Binding{QKeySequence::MoveToPreviousPage, A::PreviousPage, false},
    Binding{QKeySequence::SelectPreviousPage, A::PreviousPage, true},
    Binding{QKeySequence::MoveToStartOfDocument, A::DocumentStart, false},
    Binding{QKeySequence::SelectStartOfDocument, A::DocumentStart, true},
    Binding{QKeySequence::MoveToEndOfDocument, A::DocumentEnd, false},
    Binding{QKeySequence::SelectEndOfDocument, A::DocumentEnd, true},
    Binding{QKeySequence::DeleteStartOfWord, A::DeleteBackWord, false},
    Binding{QKeySequence::DeleteEndOfWord, A::DeleteForwardWord, false},
    Binding{QKeySequence::Delete, A::DeleteForward, false},
    Binding{QKeySequence::Backspace, A::DeleteBack, false},
};

bool typesText(const QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isPrint(); });
}

} // namespace

KeyCommand KeyCommand::of(const QKeyEvent *event)
{
    for (const Binding &binding : kBindings) {
        if (event->matches(binding.key))
            return KeyCommand{binding.action, binding.extend};
    }
    const int key = event->key();
    if (key == Qt::Key_Backspace)
        return KeyCommand{A::DeleteBack, false};
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return KeyCommand{A::NewLine, false};
    if (typesText(event))
        return KeyCommand{A::Type, false};
    return KeyCommand{};
}
