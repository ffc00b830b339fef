#pragma once

#include "ScreenGrabber.h"

namespace platform {

// The screen as the window system shows it, through QScreen. On X11 this reads the root
// window; Wayland gives ordinary programs no such access, which is one reason the player
// runs on X11.
class QtScreenGrabber final : public ScreenGrabber {
public:
    QPixmap grabScreenArea(const QRect& area) override;
};

} // namespace platform
