#pragma once

class QKeyEvent;

// What a key press asks of the receive box, read the way the platform's text boxes
// read keys (its standard key bindings), so the widget only carries commands out.
struct KeyCommand
{
    enum class Action {
        None,
        NextChar, PreviousChar, NextWord, PreviousWord,
        LineStart, LineEnd, NextLine, PreviousLine, NextPage, PreviousPage,
        DocumentStart, DocumentEnd, SelectAll,
        Copy, Cut, Paste,
        DeleteBack, DeleteBackWord, DeleteForward, DeleteForwardWord, NewLine, Type,
    };

    Action action = Action::None;
    bool extend = false; // with Shift: moves the caret and keeps the selection's anchor

    static KeyCommand of(const QKeyEvent *event);
};
