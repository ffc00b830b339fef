#pragma once

#include "platform/Twips.h"

#include <Qt>

namespace chrome {

// The mouse as the windows' handlers take it: buttons as 1 left, 2 right, 4 middle (added
// up when several are held), the shift state as 1 Shift, 2 Ctrl, 4 Alt, places in twips.
inline int buttonCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
        | (buttons & Qt::MiddleButton ? 4 : 0);
}

inline int shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

inline float toTwips(qreal pixels)
{
    return float(pixels * platform::TwipsPerPixel);
}

} // namespace chrome
