// The main window's title bar and window states: dragging by the title bar and the icon,
// resizing by the corner grip, maximising and restoring, rolling up to the title bar and
// back, and the command menu from the title bar.

#include "core/frmMain.h"

#include "chrome/LoadSkinPicture.h"
#include "core/Forms.h"
#include "menu/frmBKList.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "platform/WindowManager.h"

#include <QScreen>

using mdlCommonFunctions::LoadSkinPicture;

namespace {

// The corner grip accepts only a size beyond these, in twips.
constexpr int GripMinimumWidth = 5350;
constexpr int GripMinimumHeight = 4965;

} // namespace

platform::WindowManager& frmMain::windows() const
{
    return forms_.platform().windowManager();
}

// Rolled up, the window is only its title bar: no minimum size holds it taller. The
// minimum comes back with the next full layout (Form_Resize), not here, so that a strip
// about to be maximised stays the strip that restoring returns to.
void frmMain::setRolledUp(bool rolledUp)
{
    rolledUp_ = rolledUp;
    if (rolledUp_)
        setMinimumSize(0, 0);
}

void frmMain::ImgBar1_MouseMove(int Button, int, float X, float Y)
{
    if (Button == 1 && WindowState() == 2)
        return;
    chrome::dragWindow(windows(), *this, BarGrab, Button, X, Y);
}

void frmMain::ImgBar1_MouseUp(int Button, int, float, float)
{
    chrome::endDrag(BarGrab);
    if (Button == 2)
        PopupCommandMenu();
}

void frmMain::ImgIco_MouseMove(int Button, int, float X, float Y)
{
    if (Button == 1 && WindowState() == 2)
        return;
    chrome::dragWindow(windows(), *this, IcoGrab, Button, X, Y);
}

// The window's bottom-right corner goes to the pointer, within the limits. A window
// manager that takes resizing is then handed the resize, once per press (as the title
// bar's drag), and carries it on from there.
void frmMain::Image1_MouseMove(int Button, int, float, float)
{
    if (Button != 1 || WindowState() == 2 || gripHandedOver_)
        return;
    const QPoint cursor = windows().cursorPos();
    const int w = platform::pixelsToTwips(cursor.x()) - Left();
    const int h = platform::pixelsToTwips(cursor.y()) - Top();
    if (w > GripMinimumWidth)
        setWidth(w);
    if (h > GripMinimumHeight)
        setHeight(h);
    gripHandedOver_ = windows().startSystemResize(*this, Qt::RightEdge | Qt::BottomEdge);
}

// A maximised window forgets that it was rolled up, so that the layout fills the screen;
// restoring it rolls it up again (the system returns it to the strip it was).
void frmMain::MaximiseOrRestore()
{
    if (WindowState() == 2) {
        if (ImgMax.Tag == u"c") {
            setRolledUp(true);
            ImgMax.Tag = QStringLiteral("u");
        }
        LoadSkinPicture(114, ImgMax);
        setWindowState(windowState() & ~Qt::WindowMaximized);
    } else {
        if (RolledUp()) {
            setRolledUp(false);
            ImgMax.Tag = QStringLiteral("c");
        }
        LoadSkinPicture(116, ImgMax);
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

// The flag changes before the height does, so that the layout the height change runs
// already sees the new state. The rolled-up strip goes to the top of its screen.
void frmMain::RollUpOrRestore()
{
    if (WindowState() == 2)
        return;
    if (RolledUp()) {
        setRolledUp(false);
        setHeight(NormalHeight);
        setTop(NormalTop);
    } else {
        setRolledUp(true);
        NormalHeight = Height();
        setHeight(ImgBar1.Height());
        NormalTop = Top();
        const QScreen* screen = this->screen();
        setTop(screen ? platform::pixelsToTwips(screen->geometry().top()) : 0);
    }
}

// The command menu belongs to frmBKList, which the first popup loads.
void frmMain::PopupCommandMenu()
{
    forms_.bkList.get().PopupMenu(windows().cursorPos());
}
