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
        grab = { X, Y };
        return;
    }
    if (Button != 1)
        return;
    if (windows.startSystemMove(window))
        return;
    const QPoint cursor = windows.cursorPos();
    const int left = int(std::lround(platform::pixelsToTwips(cursor.x()) - grab.X));
    const int top = int(std::lround(platform::pixelsToTwips(cursor.y()) - grab.Y));
    window.move(platform::twipsToPixels(left), platform::twipsToPixels(top));
}

} // namespace chrome
