#pragma once

class QWidget;

namespace platform {
class WindowManager;
}

namespace chrome {

// The pointer's place inside a drag handle, in twips, recorded while no button is down.
struct GrabPoint {
    float X = 0;
    float Y = 0;
    // The window manager carries the drag that the present press started.
    bool handedOver = false;
};

// One mouse move over a drag handle of `window` (its title bar, its icon, or its
// background), with the buttons held `Button` and the pointer at X, Y twips inside the
// handle:
//  - no button: the place is recorded in `grab`;
//  - the left button alone: the window's corner goes to the pointer less the grab point,
//    so that the pointer keeps its place in the handle (a handle away from the window's
//    corner shifts the window by its offset at the first step). Where the window manager
//    takes moves, it is then handed the drag, once per press, and follows the pointer
//    itself (snapping at edges, crossing screens); moves that still reach the handle
//    before it holds the pointer are left to it;
//  - any other buttons: nothing.
void dragWindow(
    platform::WindowManager& windows, QWidget& window, GrabPoint& grab, int Button, float X, float Y);

// The button that started a drag was let go: the next press drags afresh.
inline void endDrag(GrabPoint& grab)
{
    grab.handedOver = false;
}

} // namespace chrome
