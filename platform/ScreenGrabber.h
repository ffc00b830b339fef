#pragma once

#include <QPixmap>
#include <QRect>

namespace platform {

// Reading the pixels that the screen shows. What lies in the area is captured as it is
// seen, other windows lying over it included.
class ScreenGrabber {
public:
    virtual ~ScreenGrabber() = default;

    // The pixels of `area`, in pixels of the desktop; a null pixmap when the screen
    // cannot be read there.
    virtual QPixmap grabScreenArea(const QRect& area) = 0;
};

} // namespace platform
