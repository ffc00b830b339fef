#pragma once

#include "platform/ScreenGrabber.h"

#include <QColor>
#include <QList>

namespace platform {

// A screen for tests: every grab is recorded, and answered with a picture of the area's
// size in one colour, or with a null pixmap once the test says the screen cannot be read.
class FakeScreenGrabber final : public ScreenGrabber {
public:
    QPixmap grabScreenArea(const QRect& area) override;

    void showColour(const QColor& colour) { colour_ = colour; }
    void failGrabs() { failing_ = true; }
    const QList<QRect>& grabbed() const { return grabbed_; }

private:
    QColor colour_ = Qt::darkCyan;
    bool failing_ = false;
    QList<QRect> grabbed_;
};

} // namespace platform
