#pragma once

#include "logtext.h"

// Caret steps through the receive box's text. A CR LF pair and a surrogate pair are
// one step each; no caret position lies inside either. Words for double-click and
// Ctrl+arrows are runs of letters and digits, runs of other symbols, or runs of blanks.
// Every function clamps pos to the text first.
namespace LogNavigation {

qsizetype snapped(const LogText &text, qsizetype pos); // out of a pair, forwards
qsizetype nextPosition(const LogText &text, qsizetype pos);
qsizetype previousPosition(const LogText &text, qsizetype pos);
qsizetype nextWord(const LogText &text, qsizetype pos);
qsizetype previousWord(const LogText &text, qsizetype pos);
// The run that holds the character at pos (the one before it at the end of the text).
std::pair<qsizetype, qsizetype> wordAt(const LogText &text, qsizetype pos);

} // namespace LogNavigation
