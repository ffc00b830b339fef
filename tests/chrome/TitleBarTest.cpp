#include "MainWindowFixture.h"
#include "MouseDriving.h"

#include "platform/Twips.h"

// The main window's title bar and window states: roll-up, maximise, dragging, the corner
// grip and the command menu.
namespace {

using TitleBar = MainWindowFixture;

void maximise(frmMain& main)
{
    mouse::click(main.ImgMax);
}

} // namespace

TEST_F(TitleBar, RollingUpLeavesTheTitleBarAtTheTopAndRestoringBringsBackHeightAndTop)
{
    const QPoint exitBefore = main.ImgExit.pos();
    mouse::press(main.ImgMin);
    EXPECT_EQ(main.ImgMin.Picture(), 113);
    mouse::release(main.ImgMin);

    EXPECT_EQ(main.ImgMin.Picture(), 112);
    EXPECT_TRUE(main.RolledUp());
    EXPECT_EQ(main.Height(), 375);
    EXPECT_EQ(main.Top(), 0);
    EXPECT_EQ(main.Left(), 1500) << "the left stays";
    EXPECT_EQ(main.NormalHeight, 6975);
    EXPECT_EQ(main.NormalTop, 900);
    EXPECT_EQ(main.ImgExit.pos(), exitBefore) << "only the title bar is laid out";

    mouse::click(main.ImgMin);
    EXPECT_FALSE(main.RolledUp());
    EXPECT_EQ(main.geometry(), QRect(100, 60, 521, 465));
    EXPECT_EQ(main.ImgExit.y(), platform::twipsToPixels(6975 - 493));
}

TEST_F(TitleBar, MaximisingAndRestoringSwapTheButtonsPictures)
{
    mouse::press(main.ImgMax);
    EXPECT_EQ(main.ImgMax.Picture(), 115);
    mouse::release(main.ImgMax);
    settle();
    EXPECT_EQ(main.WindowState(), 2);
    EXPECT_EQ(main.ImgMax.Picture(), 116);
    EXPECT_EQ(main.geometry(), screenArea());
    EXPECT_EQ(main.ImgEnd.x(), platform::twipsToPixels(main.Width() - 315)) << "laid out at the new size";

    mouse::press(main.ImgMax);
    EXPECT_EQ(main.ImgMax.Picture(), 117);
    mouse::release(main.ImgMax);
    settle();
    EXPECT_EQ(main.WindowState(), 0);
    EXPECT_EQ(main.ImgMax.Picture(), 114);
    EXPECT_EQ(main.geometry(), QRect(100, 60, 521, 465));
}

TEST_F(TitleBar, AMaximisedWindowIsNeitherRolledUpNorMovedNorResized)
{
    maximise(main);
    settle();
    const QRect maximised = main.geometry();

    mouse::press(main.ImgMin);
    EXPECT_EQ(main.ImgMin.Picture(), 113);
    mouse::release(main.ImgMin);
    EXPECT_EQ(main.ImgMin.Picture(), 112);
    EXPECT_FALSE(main.RolledUp());

    platform.windows.setCursorPos(QPoint(300, 300));
    mouse::move(main.ImgBar1, QPoint(50, 10), Qt::LeftButton);
    mouse::move(main.ImgIco, QPoint(5, 5), Qt::LeftButton);
    mouse::move(main.Image1, QPoint(5, 5), Qt::LeftButton);
    settle();
    EXPECT_EQ(main.geometry(), maximised);
    EXPECT_EQ(main.WindowState(), 2);
    EXPECT_TRUE(platform.windows.calls().isEmpty()) << "nothing is asked of the window manager";
}

// Rolled up, maximised, restored: the window comes back rolled up, and the next ImgMin
// release restores what the first roll-up saved.
TEST_F(TitleBar, ARolledUpWindowMaximisedAndRestoredIsRolledUpAgain)
{
    mouse::click(main.ImgMin);
    ASSERT_TRUE(main.RolledUp());

    maximise(main);
    settle();
    EXPECT_FALSE(main.RolledUp());
    EXPECT_EQ(main.ImgMax.Tag, QStringLiteral("c"));
    EXPECT_EQ(main.geometry(), screenArea());
    EXPECT_EQ(main.ImgExit.x(), platform::twipsToPixels(main.Width() - 760)) << "the full layout";

    maximise(main); // restores
    settle();
    EXPECT_TRUE(main.RolledUp());
    EXPECT_EQ(main.ImgMax.Tag, QStringLiteral("u"));
    EXPECT_EQ(main.Height(), 375);

    mouse::click(main.ImgMin);
    EXPECT_FALSE(main.RolledUp());
    EXPECT_EQ(main.geometry(), QRect(100, 60, 521, 465));
}

TEST_F(TitleBar, DoubleClickingTheTitleBarOrTheIconMaximisesAndRestores)
{
    mouse::doubleClick(main.ImgBar1, QPoint(200, 10));
    settle();
    EXPECT_EQ(main.WindowState(), 2);
    EXPECT_EQ(main.ImgMax.Picture(), 116);
    mouse::doubleClick(main.ImgIco, QPoint(10, 10));
    settle();
    EXPECT_EQ(main.WindowState(), 0);
    EXPECT_EQ(main.ImgMax.Picture(), 114);
    mouse::doubleClick(main.ImgIco, QPoint(10, 10));
    settle();
    EXPECT_EQ(main.WindowState(), 2);
}

// The pointer keeps its place on the bar: the grab point is the last place seen with no
// button down.
TEST_F(TitleBar, DraggingTheTitleBarKeepsThePointerOnTheSameSpotOfTheBar)
{
    mouse::move(main.ImgBar1, QPoint(150, 10));
    EXPECT_FLOAT_EQ(main.BarGrab.X, 2250);
    EXPECT_FLOAT_EQ(main.BarGrab.Y, 150);

    platform.windows.setCursorPos(QPoint(500, 400));
    mouse::move(main.ImgBar1, QPoint(160, 12), Qt::LeftButton);
    EXPECT_EQ(main.pos(), QPoint(350, 390));
    EXPECT_FLOAT_EQ(main.BarGrab.X, 2250) << "no longer recorded while the button is down";

    platform.windows.setCursorPos(QPoint(520, 300));
    mouse::move(main.ImgBar1, QPoint(0, 0), Qt::LeftButton);
    EXPECT_EQ(main.pos(), QPoint(370, 290));
}

TEST_F(TitleBar, OnlyTheLeftButtonAloneDrags)
{
    mouse::move(main.ImgBar1, QPoint(150, 10));
    platform.windows.setCursorPos(QPoint(500, 400));
    mouse::move(main.ImgBar1, QPoint(150, 10), Qt::RightButton);
    mouse::move(main.ImgBar1, QPoint(150, 10), Qt::MiddleButton);
    mouse::move(main.ImgBar1, QPoint(150, 10), Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(main.pos(), QPoint(100, 60));
}

// The grab point is taken inside the icon, which lies 40 and 30 twips in from the
// window's corner: the first step of a drag shifts the window by that much.
TEST_F(TitleBar, DraggingTheIconShiftsTheWindowByTheIconsOffset)
{
    mouse::move(main.ImgIco, QPoint(10, 5));
    EXPECT_FLOAT_EQ(main.IcoGrab.X, 150);
    platform.windows.setCursorPos(main.ImgIco.mapToGlobal(QPoint(10, 5)));
    mouse::move(main.ImgIco, QPoint(10, 5), Qt::LeftButton);
    EXPECT_EQ(main.pos(), QPoint(100, 60) + main.ImgIco.pos());
}

// The window first goes where the pointer asks; then the window manager carries the drag
// on, and is asked once for each press.
TEST_F(TitleBar, AWindowManagerThatTakesMovesIsHandedTheDragAndTheResizeOncePerPress)
{
    platform.windows.takeSystemMoves(true);
    mouse::move(main.ImgBar1, QPoint(150, 10));
    mouse::press(main.ImgBar1, Qt::LeftButton, QPoint(150, 10));
    platform.windows.setCursorPos(QPoint(500, 400));
    mouse::move(main.ImgBar1, QPoint(150, 10), Qt::LeftButton);
    EXPECT_EQ(main.pos(), QPoint(350, 390));
    platform.windows.setCursorPos(QPoint(600, 450));
    mouse::move(main.ImgBar1, QPoint(250, 60), Qt::LeftButton);
    EXPECT_EQ(main.pos(), QPoint(350, 390)) << "left to the window manager";
    mouse::release(main.ImgBar1, Qt::LeftButton, QPoint(250, 60));
    mouse::press(main.ImgBar1, Qt::LeftButton, QPoint(150, 10));
    mouse::move(main.ImgBar1, QPoint(150, 10), Qt::LeftButton);
    EXPECT_EQ(main.pos(), QPoint(450, 440)) << "the next press drags afresh";

    mouse::press(main.Image1);
    platform.windows.setCursorPos(QPoint(1050, 900));
    mouse::move(main.Image1, QPoint(5, 5), Qt::LeftButton);
    mouse::move(main.Image1, QPoint(50, 50), Qt::LeftButton);
    mouse::release(main.Image1, Qt::LeftButton, QPoint(50, 50));
    EXPECT_EQ(main.size(), QSize(600, 460));
    EXPECT_EQ(platform.windows.calls(),
        QStringList({ QStringLiteral("startSystemMove(frmMain)"), QStringLiteral("startSystemMove(frmMain)"),
            QStringLiteral("startSystemResize(frmMain, 12)") }));
}

// The corner goes to the pointer, but only a width above 5350 twips and a height above
// 4965 twips is taken; each dimension on its own.
TEST_F(TitleBar, TheCornerGripResizesWithinItsLimits)
{
    const QPoint corner = main.pos();
    auto dragGripTo = [&](QPoint size) {
        platform.windows.setCursorPos(corner + size);
        mouse::move(main.Image1, QPoint(5, 5), Qt::LeftButton);
    };

    dragGripTo({ 600, 500 });
    EXPECT_EQ(main.size(), QSize(600, 500));
    EXPECT_EQ(main.Image1.pos(), QPoint(600 - 23, 500 - 23)) << "laid out at the new size";

    dragGripTo({ 356, 400 }); // 5340 twips wide: refused; the height is still taken
    EXPECT_EQ(main.size(), QSize(600, 400));
    dragGripTo({ 357, 330 }); // 5355 twips wide: taken; 4950 high: refused
    EXPECT_EQ(main.size(), QSize(357, 400));

    mouse::move(main.Image1, QPoint(5, 5), Qt::RightButton);
    platform.windows.setCursorPos(corner + QPoint(700, 500));
    mouse::move(main.Image1, QPoint(5, 5), Qt::NoButton);
    EXPECT_EQ(main.size(), QSize(357, 400)) << "only with the left button";
}

TEST_F(TitleBar, TheMenuButtonAndARightClickOnTheTitleBarOpenTheCommandMenu)
{
    mouse::click(main.ImgBar1, Qt::LeftButton);
    mouse::click(main.ImgBar1, Qt::MiddleButton);
    EXPECT_FALSE(forms.bkList.isLoaded()) << "no menu";
    mouse::click(main.ImgBar1, Qt::RightButton);
    EXPECT_TRUE(forms.bkList.isLoaded()) << "the first popup loads the menu's window";

    forms.bkList.unload();
    mouse::press(main.ImgMenu, Qt::MiddleButton);
    EXPECT_EQ(main.ImgMenu.Picture(), 192);
    mouse::release(main.ImgMenu, Qt::MiddleButton);
    EXPECT_EQ(main.ImgMenu.Picture(), 191);
    EXPECT_TRUE(forms.bkList.isLoaded());
}

TEST_F(TitleBar, TheCloseButtonQuits)
{
    mouse::press(main.ImgEnd);
    EXPECT_EQ(main.ImgEnd.Picture(), 119);
    mouse::release(main.ImgEnd, Qt::LeftButton, QPoint(-80, 200));
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(platform.movieControl()->calls(),
        QStringList({ QStringLiteral("StopPlay"), QStringLiteral("Stop") }));
}
