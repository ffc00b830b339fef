#pragma once

#include <QList>

// The real keyboard of the X server, pressed through the XTest extension, so that the keys
// take the server's own way to the windows (grabs included); and the grabs of another
// program. Keys are X keysyms. Xlib stays inside the .cpp: its macros clash with GoogleTest.
class X11Keyboard {
public:
    X11Keyboard();
    ~X11Keyboard();
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    bool isOpen() const { return display_ != nullptr; }

    // Presses `modifiers` in order, taps `key`, lets the modifiers go in reverse order.
    void tap(const QList<unsigned long>& modifiers, unsigned long key);
    // Ctrl and Shift with `key`, as keysyms for tap().
    static unsigned long control();
    static unsigned long shift();
    static unsigned long numLock();
    static unsigned long capsLock();
    static unsigned long letter(char lowerCase);

    // Grabs Ctrl+`key` on the root window on this connection, as another program holding
    // the hot key would. True when the grab was had.
    bool grabAsAnotherProgram(unsigned long key);

private:
    void* display_;
};
