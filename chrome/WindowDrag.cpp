#include "WindowDrag.h"

#include "platform/Twips.h"
#include "platform/WindowManager.h"

#include <QWidget>

#include <cmath>

namespace chrome {

void dragWindow(
    platform::WindowManager& windows, QWidget& window, GrabPoint& grab, int Button, float X, float Y)
{
    if (Button == 0) {
        grab = { X, Y, false };
        return;
    }
    if (Button != 1 || grab.handedOver)
        return;
    const QPoint cursor = windows.cursorPos();
    const int left = int(std::lround(platform::pixelsToTwips(cursor.x()) - grab.X));
    const int top = int(std::lround(platform::pixelsToTwips(cursor.y()) - grab.Y));
    window.move(platform::twipsToPixels(left), platform::twipsToPixels(top));
    // Handed over once the window is where the pointer wants it, so that the window
    // manager keeps the pointer on the grab point from the first step on. A second
    // request during the same press would leave some window managers moving the window
    // after the button is up.
    grab.handedOver = windows.startSystemMove(window);
}

} // namespace chrome
