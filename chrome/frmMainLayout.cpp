// The main window's layout: the minimum size, the title-bar buttons anchored to the right
// edge, the movie area and progress bar stretched with the window, the frame lines on its
// edges and the bottom row on its bottom edge.

#include "core/frmMain.h"

#include "platform/MovieControl.h"
#include "platform/ProgressBar.h"
#include "platform/Tonwell.h"
#include "platform/Twips.h"
#include "platform/TwipsGeometry.h"

namespace {

// The smallest window, in twips; only a smaller size is raised to it.
constexpr int MinimumWidth = 5350;
constexpr int MinimumHeight = 4965;

} // namespace

int frmMain::Left() const
{
    return platform::twipsGeometry::left(*this);
}
int frmMain::Top() const
{
    return platform::twipsGeometry::top(*this);
}
int frmMain::Width() const
{
    return platform::twipsGeometry::width(*this);
}
int frmMain::Height() const
{
    return platform::twipsGeometry::height(*this);
}
void frmMain::setTop(int twips)
{
    platform::twipsGeometry::setTop(*this, twips);
}
void frmMain::setWidth(int twips)
{
    platform::twipsGeometry::setWidth(*this, twips);
}
void frmMain::setHeight(int twips)
{
    platform::twipsGeometry::setHeight(*this, twips);
}

int frmMain::WindowState() const
{
    return isMaximized() ? 2 : 0;
}

// Every change of the window's state that matters to the layout (maximising, restoring)
// reaches it as a change of size, once the window system has made it. The layout never
// runs between the two: a strip that is being maximised is not first raised to the
// minimum size.
void frmMain::resizeEvent(QResizeEvent*)
{
    Form_Resize();
}

void frmMain::Form_Resize()
{
    // The minimum size, not while rolled up: the strip is only the title bar's height.
    // The window manager is told it too, so that its own resizing stops there.
    if (!RolledUp()) {
        if (Width() < MinimumWidth)
            setWidth(MinimumWidth);
        if (Height() < MinimumHeight)
            setHeight(MinimumHeight);
        setMinimumSize(platform::twipsToPixels(MinimumWidth), platform::twipsToPixels(MinimumHeight));
    }

    const int H = Height();
    const int W = Width();
    const int ButtonTop = H - 493;

    ImgEnd.setLeft(W - 315);
    ImgMax.setLeft(W - 650);
    ImgMin.setLeft(W - 1000);
    if (RolledUp())
        return;

    // The movie area, and its frame from the place the control reports back.
    Flash1.setWidth(W - 210);
    Flash1.setHeight(H - 1275);
    Line1.setEnds(
        Flash1.Left() - 10, Flash1.Top() - 10, Flash1.Left() - 10, Flash1.Height() + Flash1.Top() - 10);
    const int rightEdge = Flash1.Width() + Flash1.Left() + 5;
    Line2.setEnds(rightEdge, Flash1.Top() - 10, rightEdge, Line1.Y2());
    Line3.setEnds(Line1.X1() - 5, Line1.Y1(), Line2.X1() - 5, Line2.Y1());

    Image1.setTop(H - 350);
    Image1.setLeft(W - 350);

    // The window's frame: left, right and bottom edges.
    LineL.setY2(H - 10);
    LineR.setEnds(W - 10, LineR.Y1(), W - 10, H - 10);
    LineD.setEnds(LineD.X1(), H - 10, W - 10, H - 10);

    ImgBar1.setSize(W, ImgBar1.Height());

    for (chrome::ImageControl* button :
        { &ImgOpen, &ImgPlay, &ImgNext, &ImgRewind, &ImgExit, &ImgCatch, &ImgMenu })
        button->setTop(ButtonTop);
    ImgBack.setTop(ButtonTop - 20);
    ImgExit.setLeft(W - 760);

    Fbar1.setWidth(Flash1.Width());
    Fbar1.setTop(H - 780);
    Tonwell1.setTop(ButtonTop + 40);
}
