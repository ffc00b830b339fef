#include "QtScreenGrabber.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

QPixmap QtScreenGrabber::grabScreenArea(const QRect& area)
{
    if (area.isEmpty())
        return {};
    QScreen* screen = QGuiApplication::screenAt(area.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    // Window 0 stands for the whole screen; the offset is then from the screen's corner.
    const QPoint offset = area.topLeft() - screen->geometry().topLeft();
    return screen->grabWindow(0, offset.x(), offset.y(), area.width(), area.height());
}

} // namespace platform
