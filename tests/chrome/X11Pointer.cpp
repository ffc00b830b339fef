#include "X11Pointer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

Display* dpy(void* display)
{
    return static_cast<Display*>(display);
}

} // namespace

X11Pointer::X11Pointer()
    : display_(XOpenDisplay(nullptr))
{
    int event = 0, error = 0, major = 0, minor = 0;
    if (display_ && !XTestQueryExtension(dpy(display_), &event, &error, &major, &minor)) {
        XCloseDisplay(dpy(display_));
        display_ = nullptr;
    }
}

X11Pointer::~X11Pointer()
{
    if (display_)
        XCloseDisplay(dpy(display_));
}

void X11Pointer::moveTo(QPoint screen)
{
    XTestFakeMotionEvent(dpy(display_), -1, screen.x(), screen.y(), CurrentTime);
    XFlush(dpy(display_));
}

void X11Pointer::press(int button)
{
    XTestFakeButtonEvent(dpy(display_), unsigned(button), True, CurrentTime);
    XFlush(dpy(display_));
}

void X11Pointer::release(int button)
{
    XTestFakeButtonEvent(dpy(display_), unsigned(button), False, CurrentTime);
    XFlush(dpy(display_));
}
