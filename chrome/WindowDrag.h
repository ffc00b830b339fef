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
};

// One mouse move over a drag handle of `window` (its title bar, its icon, or its
// background), with the buttons held `Button` and the pointer at X, Y twips inside the
// handle:
//  - no button: the place is recorded in `grab`;
//  - the left button alone: the window moves. Where the window manager takes moves, it is
//    handed this one and follows the pointer itself (snapping at edges, crossing
//    screens); otherwise the window's corner goes to the pointer less the grab point, so
//    that the pointer keeps its place in the handle (a handle away from the window's
//    corner shifts the window by its offset at the first step);
//  - any other buttons: nothing.
void dragWindow(
    platform::WindowManager& windows, QWidget& window, GrabPoint& grab, int Button, float X, float Y);

} // namespace chrome
