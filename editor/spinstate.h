#pragma once

#include <QtGlobal>

// The value and button state of a spin entry, apart from its widgets. Every change of
// the value goes through show_value; the entry widget starts and stops its repeat timer
// as press and release report, and redraws its text after each call.
struct SpinState
{
    qint16 current_value = 0;
    qint16 min_value = 0;
    qint16 max_value = 0;
    bool down_held = false;
    bool up_held = false;

    // The upper bound is tested first, so with inverted bounds everything above
    // max_value gives max_value and every other value gives min_value.
    void show_value(qint16 requested);

    // One step at the press. False when the value sits at the end of the 16-bit range:
    // then nothing is held and no repeat may start.
    bool pressUp();
    bool pressDown();
    void releaseUp();
    void releaseDown();

    // One repeat step: down first, then up, so holding both buttons rewrites the value.
    void tick();
};
