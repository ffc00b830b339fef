#pragma once

#include <QString>

#include <optional>

// Top-level windows of the X server, found and closed the way a window manager would.
// Xlib stays inside the .cpp: its macros (None, Bool, Status...) clash with GoogleTest.
class X11Windows {
public:
    using WindowId = unsigned long;

    X11Windows();
    ~X11Windows();
    X11Windows(const X11Windows&) = delete;
    X11Windows& operator=(const X11Windows&) = delete;

    bool isOpen() const { return display_ != nullptr; }

    // The top-level window of process `pid` captioned exactly `caption`.
    std::optional<WindowId> find(qint64 pid, const QString& caption);
    bool isViewable(WindowId window);
    // What a window manager's close button does: ask the client to close the window.
    void askToClose(WindowId window);

private:
    void* display_;
};
