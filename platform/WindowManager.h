#pragma once

#include <QPoint>
#include <Qt>

class QWidget;

namespace platform {

// What the skinned windows ask of the window system in place of a system frame: the
// pointer's place, the window manager's own move and resize, and the Z order. All
// places are in screen pixels.
class WindowManager {
public:
    virtual ~WindowManager() = default;

    // The pointer's place on the screen.
    virtual QPoint cursorPos() const = 0;

    // Hands a move of `window` by the pointer, or a resize at its `edges`, to the window
    // manager while a mouse button is held. False where none takes it: the window then
    // follows the pointer itself.
    virtual bool startSystemMove(QWidget& window) = 0;
    virtual bool startSystemResize(QWidget& window, Qt::Edges edges) = 0;

    // Puts `window` into the band of windows kept above all others, or out of it. Its
    // place, size and visibility stay as they are. False when the system refused.
    virtual bool setTopMost(QWidget& window, bool onTop) = 0;
    // Brings `window` to the top of the Z order.
    virtual void bringToTop(QWidget& window) = 0;
};

} // namespace platform
