#pragma once

#include <QPixmap>
#include <QString>

class QWidget;

namespace platform {
class ScreenGrabber;
}

// Capture of what the screen shows at the movie's place, saved as a Windows bitmap.
namespace mdlCatchFrame {

// The screen pixels of a rectangle of `window` (in pixels from the corner of its client
// area when `clientArea` is set, of its frame otherwise), as they are seen: a window lying
// over the rectangle is captured with it. Null when the rectangle is empty or the screen
// cannot be read.
QPixmap GrabWindowArea(platform::ScreenGrabber& screen, const QWidget& window, bool clientArea, int left,
    int top, int width, int height);

// Saves `picture` as a Windows BMP file at the picture's colour depth (24 bits for the
// screens of today), replacing any file of that name only once the new one is complete.
// False when there is nothing to save or the file cannot be written.
bool SavePicture(const QPixmap& picture, const QString& path);

} // namespace mdlCatchFrame
