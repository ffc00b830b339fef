#pragma once

#include <QPoint>

// The real pointer of the X server, moved and pressed through the XTest extension, so
// that the events take the server's own way to the windows (grabs included). Xlib stays
// inside the .cpp: its macros clash with GoogleTest.
class X11Pointer {
public:
    X11Pointer();
    ~X11Pointer();
    X11Pointer(const X11Pointer&) = delete;
    X11Pointer& operator=(const X11Pointer&) = delete;

    bool isOpen() const { return display_ != nullptr; }

    // `button`: 1 left, 2 middle, 3 right, as X numbers them.
    void moveTo(QPoint screen);
    void press(int button);
    void release(int button);

private:
    void* display_;
};
