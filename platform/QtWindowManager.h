#pragma once

#include "WindowManager.h"

namespace platform {

// The window manager through Qt: the pointer and the interactive move and resize of
// QWindow (X11 window managers and XWayland take them; where none does, the caller moves
// the window itself); the topmost band through Qt's window flag and a raise, or through
// SetWindowPos and BringWindowToTop on Windows.
class QtWindowManager final : public WindowManager {
public:
    QPoint cursorPos() const override;
    bool startSystemMove(QWidget& window) override;
    bool startSystemResize(QWidget& window, Qt::Edges edges) override;
    bool setTopMost(QWidget& window, bool onTop) override;
    void bringToTop(QWidget& window) override;
};

} // namespace platform
