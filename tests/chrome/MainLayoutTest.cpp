#include "MainWindowFixture.h"
#include "MouseDriving.h"

#include "platform/MovieControl.h"
#include "platform/ProgressBar.h"
#include "platform/Tonwell.h"
#include "platform/Twips.h"

// The main window's layout at several sizes, its minimum size, the rolled-up strip, the
// stacking of its controls, and the pictures and tool tips it loads.
namespace {

using platform::twipsToPixels;

class MainLayout : public MainWindowFixture {
protected:
    // Checks every rule of the layout for the window's present size.
    void expectLaidOut()
    {
        const int W = main.Width();
        const int H = main.Height();
        SCOPED_TRACE(testing::Message() << "window " << W << " x " << H << " twips");

        EXPECT_EQ(main.Flash1.geometry(), QRect(8, 32, twipsToPixels(W - 210), twipsToPixels(H - 1275)));
        EXPECT_EQ(main.Fbar1.x(), 8);
        EXPECT_EQ(main.Fbar1.y(), twipsToPixels(H - 780));
        EXPECT_EQ(main.Fbar1.width(), main.Flash1.width());

        // The movie's frame: left, right and top edges, 10 twips out from the movie.
        EXPECT_EQ(std::tuple(main.Line1.X1(), main.Line1.Y1(), main.Line1.X2(), main.Line1.Y2()),
            std::tuple(110, 470, 110, H - 805));
        EXPECT_EQ(std::tuple(main.Line2.X1(), main.Line2.Y1(), main.Line2.X2(), main.Line2.Y2()),
            std::tuple(W - 85, 470, W - 85, H - 805));
        EXPECT_EQ(std::tuple(main.Line3.X1(), main.Line3.Y1(), main.Line3.X2(), main.Line3.Y2()),
            std::tuple(105, 470, W - 90, 470));

        // The window's frame lies on its outermost pixels.
        const int w = main.width();
        const int h = main.height();
        EXPECT_EQ(main.LineL.geometry(), QRect(0, 0, 1, h - 1));
        EXPECT_EQ(main.LineR.geometry(), QRect(w - 1, 0, 1, h - 1));
        EXPECT_EQ(main.LineD.geometry(), QRect(0, h - 1, w - 1, 1));

        EXPECT_EQ(main.ImgBar1.geometry(), QRect(0, 0, w, 25));
        EXPECT_EQ(main.ImgIco.pos(), QPoint(3, 2));
        EXPECT_EQ(main.ImgMin.pos(), QPoint(twipsToPixels(W - 1000), 5));
        EXPECT_EQ(main.ImgMax.pos(), QPoint(twipsToPixels(W - 650), 5));
        EXPECT_EQ(main.ImgEnd.pos(), QPoint(twipsToPixels(W - 315), 5));

        const int buttonTop = twipsToPixels(H - 493);
        for (auto [button, left] : { std::pair { &main.ImgPlay, 120 }, { &main.ImgRewind, 600 },
                 { &main.ImgNext, 1560 }, { &main.ImgOpen, 3000 }, { &main.ImgMenu, 3480 },
                 { &main.ImgCatch, 3960 }, { &main.ImgExit, W - 760 } })
            EXPECT_EQ(button->pos(), QPoint(twipsToPixels(left), buttonTop))
                << button->toolTip().toStdString();
        EXPECT_EQ(main.ImgBack.pos(), QPoint(twipsToPixels(1080), twipsToPixels(H - 513)));
        EXPECT_EQ(main.Tonwell1.pos(), QPoint(twipsToPixels(2160), twipsToPixels(H - 453)));
        EXPECT_EQ(main.Image1.pos(), QPoint(twipsToPixels(W - 350), twipsToPixels(H - 350)));
    }
};

} // namespace

TEST_F(MainLayout, EverythingHasItsPlaceAtSeveralSizes)
{
    EXPECT_EQ(main.size(), QSize(521, 465));
    expectLaidOut();
    for (const QSize size : { QSize(800, 600), QSize(1001, 777), QSize(357, 331), QSize(640, 332) }) {
        main.resize(size);
        EXPECT_EQ(main.size(), size);
        expectLaidOut();
    }
}

TEST_F(MainLayout, TheCommandButtonsAreShownSmallerThanTheirPicturesAndTheFrameButtonsAtTheirOwn)
{
    for (chrome::ImageControl* button : { &main.ImgPlay, &main.ImgRewind, &main.ImgBack, &main.ImgNext })
        EXPECT_EQ(button->size(), QSize(31, 31));
    for (chrome::ImageControl* button : { &main.ImgOpen, &main.ImgMenu, &main.ImgCatch, &main.ImgExit })
        EXPECT_EQ(button->size(), QSize(31, 31));
    for (chrome::ImageControl* button : { &main.ImgMin, &main.ImgMax, &main.ImgEnd })
        EXPECT_EQ(button->size(), QSize(17, 16));
    EXPECT_EQ(main.ImgIco.size(), QSize(122, 20));
    EXPECT_EQ(main.Image1.size(), QSize(24, 25));
}

TEST_F(MainLayout, ASmallerWindowIsRaisedToTheMinimumSize)
{
    main.resize(platform::twipsToPixels(5000), platform::twipsToPixels(4000));
    EXPECT_EQ(main.size(), QSize(357, 331)) << "5350 x 4965 twips, in whole pixels";
    expectLaidOut();

    main.resize(357, 500); // 5355 twips, just above the limit: left alone
    EXPECT_EQ(main.size(), QSize(357, 500));
}

TEST_F(MainLayout, RolledUpOnlyTheTitleBarButtonsFollowTheWidth)
{
    mouse::click(main.ImgMin);
    ASSERT_TRUE(main.RolledUp());
    const QPoint exit = main.ImgExit.pos();
    const QPoint grip = main.Image1.pos();
    const QRect movie = main.Flash1.geometry();

    main.resize(700, main.height());
    EXPECT_EQ(main.size(), QSize(700, 25)) << "no minimum size holds the strip";
    EXPECT_EQ(main.ImgEnd.x(), twipsToPixels(main.Width() - 315));
    EXPECT_EQ(main.ImgMax.x(), twipsToPixels(main.Width() - 650));
    EXPECT_EQ(main.ImgMin.x(), twipsToPixels(main.Width() - 1000));
    EXPECT_EQ(main.ImgExit.pos(), exit);
    EXPECT_EQ(main.Image1.pos(), grip);
    EXPECT_EQ(main.Flash1.geometry(), movie);

    mouse::click(main.ImgMin);
    EXPECT_EQ(main.size(), QSize(700, 465));
    expectLaidOut();
}

// An earlier control of the form lies above a later one; the movie, the progress bar and
// the sound level lie above all images.
TEST_F(MainLayout, ControlsLieInTheFormsOrder)
{
    auto topmostAt
        = [&](const QWidget& control, QPoint inside) { return main.childAt(control.mapTo(&main, inside)); };
    EXPECT_EQ(topmostAt(main.ImgIco, QPoint(10, 10)), &main.ImgIco) << "the icon over the title bar";
    EXPECT_EQ(topmostAt(main.ImgEnd, QPoint(8, 8)), &main.ImgEnd);
    EXPECT_EQ(topmostAt(main.ImgMin, QPoint(8, 8)), &main.ImgMin);
    EXPECT_EQ(topmostAt(main.ImgExit, QPoint(30, 20)), &main.ImgExit) << "the exit button over the grip";
    EXPECT_EQ(topmostAt(main.Image1, QPoint(22, 10)), &main.Image1) << "the grip over the frame line";
    EXPECT_EQ(topmostAt(main.Flash1, QPoint(100, 100)), &main.Flash1);
}

TEST_F(MainLayout, LoadingGivesEveryImageItsPictureAndEveryButtonItsToolTip)
{
    const std::pair<const chrome::ImageControl*, int> pictures[]
        = { { &main.ImgIco, 134 }, { &main.ImgOpen, 203 }, { &main.ImgCatch, 230 }, { &main.ImgRewind, 182 },
              { &main.ImgPlay, 173 }, { &main.ImgBack, 206 }, { &main.ImgNext, 185 }, { &main.ImgExit, 197 },
              { &main.ImgBar1, 111 }, { &main.ImgEnd, 118 }, { &main.ImgMax, 114 }, { &main.ImgMin, 112 },
              { &main.ImgMenu, 191 }, { &main.Image1, 141 } };
    for (const auto& [image, id] : pictures)
        EXPECT_EQ(image->Picture(), id);

    EXPECT_EQ(main.ImgMin.toolTip(), QStringLiteral("上卷|还原窗口"));
    EXPECT_EQ(main.ImgMax.toolTip(), QStringLiteral("最大化|还原"));
    EXPECT_EQ(main.ImgEnd.toolTip(), QStringLiteral("退出"));
    EXPECT_EQ(main.ImgPlay.toolTip(), QStringLiteral("播放|暂停  Ctrl+P"));
    EXPECT_EQ(main.ImgRewind.toolTip(), QStringLiteral("重放"));
    EXPECT_EQ(main.ImgBack.toolTip(), QStringLiteral("上一个  Ctrl+B"));
    EXPECT_EQ(main.ImgNext.toolTip(), QStringLiteral("下一个  Ctrl+N"));
    EXPECT_EQ(main.ImgOpen.toolTip(), QStringLiteral("打开一个Flash动画...  Ctrl+O"));
    EXPECT_EQ(main.ImgMenu.toolTip(), QStringLiteral("弹出播放器菜单  Ctrl+L"));
    EXPECT_EQ(main.ImgCatch.toolTip(), QStringLiteral("截取一帧，保存为BMP图象  Ctrl+T"));
    EXPECT_EQ(main.ImgExit.toolTip(), QStringLiteral("退出"));
    EXPECT_EQ(main.Image1.cursor().shape(), Qt::SizeFDiagCursor);
    EXPECT_TRUE(main.windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(MainLayout, ThePlayButtonShowsThePressedGlyphOfWhatItWillDo)
{
    platform.movieControl()->scriptIsPlaying(true);
    mouse::press(main.ImgPlay);
    EXPECT_EQ(main.ImgPlay.Picture(), 180) << "pressed pause";
    mouse::release(main.ImgPlay);
    platform.movieControl()->scriptIsPlaying(false);
    mouse::press(main.ImgPlay, Qt::RightButton);
    EXPECT_EQ(main.ImgPlay.Picture(), 174) << "pressed play";
}
