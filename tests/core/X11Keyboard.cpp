#include "X11Keyboard.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

Display* dpy(void* display)
{
    return static_cast<Display*>(display);
}

int grabError = 0;

int noteGrabError(Display*, XErrorEvent* error)
{
    grabError = error->error_code;
    return 0;
}

} // namespace

X11Keyboard::X11Keyboard()
    : display_(XOpenDisplay(nullptr))
{
    int event = 0, error = 0, major = 0, minor = 0;
    if (display_ && !XTestQueryExtension(dpy(display_), &event, &error, &major, &minor)) {
        XCloseDisplay(dpy(display_));
        display_ = nullptr;
    }
}

X11Keyboard::~X11Keyboard()
{
    if (display_)
        XCloseDisplay(dpy(display_));
}

unsigned long X11Keyboard::control()
{
    return XK_Control_L;
}
unsigned long X11Keyboard::shift()
{
    return XK_Shift_L;
}
unsigned long X11Keyboard::numLock()
{
    return XK_Num_Lock;
}
unsigned long X11Keyboard::capsLock()
{
    return XK_Caps_Lock;
}
unsigned long X11Keyboard::letter(char lowerCase)
{
    return XK_a + static_cast<unsigned long>(lowerCase - 'a');
}

void X11Keyboard::tap(const QList<unsigned long>& modifiers, unsigned long key)
{
    Display* d = dpy(display_);
    const auto send = [d](unsigned long keysym, bool down) {
        XTestFakeKeyEvent(d, XKeysymToKeycode(d, keysym), down ? True : False, CurrentTime);
    };
    for (const unsigned long modifier : modifiers)
        send(modifier, true);
    send(key, true);
    send(key, false);
    for (qsizetype i = modifiers.size() - 1; i >= 0; --i)
        send(modifiers[i], false);
    XSync(d, False);
}

bool X11Keyboard::grabAsAnotherProgram(unsigned long key)
{
    Display* d = dpy(display_);
    grabError = 0;
    XErrorHandler previous = XSetErrorHandler(noteGrabError);
    XGrabKey(
        d, XKeysymToKeycode(d, key), ControlMask, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync);
    XSync(d, False);
    XSetErrorHandler(previous);
    return grabError == 0;
}
