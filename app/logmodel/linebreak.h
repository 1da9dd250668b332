#pragma once

#include <QChar>

// Where the receive box's text breaks into lines: after every CR and every LF, but
// the LF of a CR LF pair belongs to the CR's break: it begins the next line, takes
// no room there and breaks nothing of its own. Breaks are drawn as nothing.
namespace LineBreak {

inline bool isBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Whether after completes the break that before began.
inline bool isPair(QChar before, QChar after)
{
    return before == u'\r' && after == u'\n';
}

} // namespace LineBreak
