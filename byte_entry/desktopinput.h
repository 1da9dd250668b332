#pragma once

#include <QPoint>
#include <QPointF>

class QWidget;

// What the byte entry controls need from the windowing system, as one layer over Qt:
// ending a press at once with one synthetic left-button release, a widget point in
// screen pixels, and the pointer position. A pop-up opened while the operator still
// holds the button takes the pointer, so that the moves and the operator's own
// release land on it rather than on the widget the press started on.
namespace DesktopInput {

// Delivers one left-button release at `position` (pixels in `pressed`) from the event
// loop, as soon as the press handler has returned, while the operator still holds the
// button. Whoever handles releases must expect a second one when the operator lets go
// quickly: the real release can come first.
void sendLeftButtonUp(QWidget *pressed, QPointF position);

QPoint clientToScreen(const QWidget *widget, QPoint client);

QPoint cursorPos();

// Grabs the pointer for `popup` once its window is on screen (a grab asked for while
// the window is still being mapped would not take), and lets it go again.
void holdPointer(QWidget *popup);
void releasePointer(QWidget *popup);

} // namespace DesktopInput
