#include "spinstate.h"

#include <limits>

namespace {
constexpr qint16 kLowest = std::numeric_limits<qint16>::min();
constexpr qint16 kHighest = std::numeric_limits<qint16>::max();
} // namespace

void SpinState::show_value(qint16 requested)
{
    if (requested > max_value)
        current_value = max_value;
    else if (requested < min_value)
        current_value = min_value;
    else
        current_value = requested;
}

bool SpinState::pressUp()
{
    if (current_value == kHighest)
        return false;
    show_value(qint16(current_value + 1));
    up_held = true;
    return true;
}

bool SpinState::pressDown()
{
    if (current_value == kLowest)
        return false;
    show_value(qint16(current_value - 1));
    down_held = true;
    return true;
}

void SpinState::releaseUp()
{
    up_held = false;
}

void SpinState::releaseDown()
{
    down_held = false;
}

void SpinState::tick()
{
    if (down_held && current_value != kLowest)
        show_value(qint16(current_value - 1));
    if (up_held && current_value != kHighest)
        show_value(qint16(current_value + 1));
}
