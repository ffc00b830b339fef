#include "X11Windows.h"

#include <QByteArray>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

Display* dpy(void* display)
{
    return static_cast<Display*>(display);
}

QByteArray property(Display* display, Window window, const char* name, Atom type, int format)
{
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    QByteArray value;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, type,
            &actualType, &actualFormat, &items, &after, &data)
            == Success
        && data && actualType == type && actualFormat == format) {
        // Format 32 items are longs on the client side, whatever their size on the wire.
        const int itemSize = format == 32 ? int(sizeof(long)) : format / 8;
        value = QByteArray(reinterpret_cast<const char*>(data), int(items) * itemSize);
    }
    if (data)
        XFree(data);
    return value;
}

qint64 windowPid(Display* display, Window window)
{
    const QByteArray value = property(display, window, "_NET_WM_PID", XA_CARDINAL, 32);
    return value.size() >= int(sizeof(long)) ? *reinterpret_cast<const long*>(value.constData()) : -1;
}

QString windowCaption(Display* display, Window window)
{
    return QString::fromUtf8(
        property(display, window, "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False), 8));
}

} // namespace

X11Windows::X11Windows()
    : display_(XOpenDisplay(nullptr))
{
}

X11Windows::~X11Windows()
{
    if (display_)
        XCloseDisplay(dpy(display_));
}

std::optional<X11Windows::WindowId> X11Windows::find(qint64 pid, const QString& caption)
{
    Display* display = dpy(display_);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return std::nullopt;
    std::optional<WindowId> found;
    for (unsigned i = 0; i < count && !found; ++i)
        if (windowPid(display, children[i]) == pid && windowCaption(display, children[i]) == caption)
            found = children[i];
    if (children)
        XFree(children);
    return found;
}

bool X11Windows::isViewable(WindowId window)
{
    XWindowAttributes attributes {};
    return XGetWindowAttributes(dpy(display_), window, &attributes) && attributes.map_state == IsViewable;
}

void X11Windows::askToClose(WindowId window)
{
    Display* display = dpy(display_);
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}
