#pragma once

#include "chrome/ImageControl.h"
#include "chrome/WindowDrag.h"

#include <QWidget>

namespace core {
class Forms;
}

namespace platform {
class WindowManager;
}

namespace chrome {

// The frame that the play-list window, the open dialog and the About window share: a
// borderless white window of a fixed size, owned by the main window and centred over it
// when first shown, with a stretched title bar `ImgBar1`, the title icon `ImgIco` at its
// left and the close button `ImgEnd` at its right. The window is dragged by its title bar
// and icon, closed by its close button, follows the always-on-top option when it loads
// and hands the top of the Z order back to the main window when it unloads.
//
// Each window places its frame, loads the frame's pictures in its own order, and calls
// followTopMostOption() at the point of its load where it belongs.
class SecondaryForm : public QWidget {
    Q_OBJECT
public:
    core::Forms& forms() const { return forms_; }

    ImageControl ImgBar1 { this };
    ImageControl ImgIco { this };
    ImageControl ImgEnd { this };
    GrabPoint BarGrab;
    GrabPoint IcoGrab;

    // The frame's share of unloading: the main window goes back to the top of the Z
    // order. A window with unloading work of its own does it first, then calls this.
    virtual void Form_Unload();

protected:
    // The window's size and the frame's places, in twips.
    struct Frame {
        int width, height;
        int barWidth;
        int icoLeft, icoTop;
        int endLeft, endTop;
    };

    SecondaryForm(core::Forms& forms, QWidget* owner, const Frame& frame);

    // Topmost while the always-on-top option is on, not topmost while it is off.
    void followTopMostOption();
    // Takes this window out of its instance in core::Forms, destroying it.
    virtual void Unload() = 0;
    // What the close button runs: unloading, unless the window routes it otherwise.
    virtual void closeByFrame() { Unload(); }

    platform::WindowManager& windows() const;

    void showEvent(QShowEvent* event) override;
    // Closed by the system (a key, the task bar): unloaded like by its own button.
    void closeEvent(QCloseEvent* event) override;

private:
    core::Forms& forms_;
    bool placed_ = false;
};

} // namespace chrome
