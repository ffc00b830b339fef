#include "QtWindowManager.h"

#include <QCursor>
#include <QWidget>
#include <QWindow>

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {

QPoint QtWindowManager::cursorPos() const
{
    return QCursor::pos();
}

bool QtWindowManager::startSystemMove(QWidget& window)
{
    QWindow* handle = window.windowHandle();
    return handle && handle->startSystemMove();
}

bool QtWindowManager::startSystemResize(QWidget& window, Qt::Edges edges)
{
    QWindow* handle = window.windowHandle();
    return handle && handle->startSystemResize(edges);
}

bool QtWindowManager::setTopMost(QWidget& window, bool onTop)
{
    // Qt's own record of the flag is kept right, so that Qt never undoes the change. A
    // widget's setWindowFlags would hide a shown window; the window's own flags are
    // changed in place instead, and a window not made yet takes them when it is made.
    Qt::WindowFlags flags = window.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    window.overrideWindowFlags(flags);
#ifdef _WIN32
    // The window keeps its place and size; the call also activates it.
    return SetWindowPos(reinterpret_cast<HWND>(window.winId()), onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0,
               0, 0, SWP_NOMOVE | SWP_NOSIZE)
        != 0;
#else
    if (QWindow* handle = window.windowHandle())
        handle->setFlags(flags);
    if (window.isVisible()) {
        window.raise();
        window.activateWindow();
    }
    return true;
#endif
}

void QtWindowManager::bringToTop(QWidget& window)
{
#ifdef _WIN32
    BringWindowToTop(reinterpret_cast<HWND>(window.winId()));
#else
    window.raise();
    window.activateWindow();
#endif
}

} // namespace platform
