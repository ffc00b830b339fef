#include "X11Pointer.h"

#include "chrome/frmAbout.h"
#include "core/Forms.h"
#include "core/frmMain.h"
#include "platform/RealPlatform.h"
#include "playlist/frmList.h"
#include "skin/Skin.h"
#include "support/BuildDir.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

// The skinned windows on a real X server (no window manager), driven by the server's own
// pointer. When ZORVA_SCREENSHOTS names a folder, the windows are also saved there as PNG
// pictures: main.png (playing the bundled movie), list.png and about.png.
namespace {

class ChromeX11 : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "this test needs an X server";
        ASSERT_TRUE(pointer.isOpen()) << "this test needs the XTest extension";
    }

    void showMain(const QString& commandLine = QString())
    {
        main.Form_Load(commandLine);
        main.move(60, 40);
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        QTest::qWait(200);
    }

    // The screen's pixels under `widget`.
    static QImage onScreen(const QWidget& widget)
    {
        const QRect area(widget.mapToGlobal(QPoint(0, 0)), widget.size());
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    static void saveScreenshot(const QWidget& window, const QString& name)
    {
        const QString folder = qEnvironmentVariable("ZORVA_SCREENSHOTS");
        if (!folder.isEmpty()) {
            EXPECT_TRUE(onScreen(window).save(QDir(folder).filePath(name)));
        }
    }

    void moveTo(const QWidget& control, QPoint inside)
    {
        pointer.moveTo(control.mapToGlobal(inside));
        QTest::qWait(40);
    }

    // The pointer goes from where it is to `to` in a few steps, as a hand moves it.
    void glideTo(QPoint to)
    {
        const QPoint from = QCursor::pos();
        for (int step = 1; step <= 4; ++step) {
            pointer.moveTo(from + (to - from) * step / 4);
            QTest::qWait(40);
        }
    }

    X11Pointer pointer;
    platform::RealPlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
};

QString bundledMovie()
{
    return buildDir().filePath(QStringLiteral("阴天.swf"));
}

} // namespace

TEST_F(ChromeX11, TheSkinReachesTheScreenPixelForPixel)
{
    showMain(u'"' + bundledMovie() + u'"');
    for (const auto& [control, id] : { std::pair { &main.ImgIco, 134 }, { &main.ImgMin, 112 },
             { &main.ImgMax, 114 }, { &main.ImgEnd, 118 } })
        EXPECT_EQ(onScreen(*control), skin::picture(id).normal) << "picture " << id;

    // The stretched buttons: white corners, the glyph's ink in the middle. (Replay keeps
    // its glyph; play/pause shows the pause glyph, hollow in the middle, once the movie plays.)
    const QImage rewind = onScreen(main.ImgRewind);
    EXPECT_EQ(rewind.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_LT(qGray(rewind.pixel(rewind.width() / 2, rewind.height() / 2)), 100);
    QTest::qWait(600); // let the movie play a little
    saveScreenshot(main, QStringLiteral("main.png"));
}

TEST_F(ChromeX11, ReleasingAButtonAwayFromItStillRunsItsCommand)
{
    showMain();
    const int height = main.height();
    moveTo(main.ImgMin, QPoint(8, 8));
    pointer.press(1);
    QTest::qWait(40);
    EXPECT_EQ(main.ImgMin.Picture(), 113);
    glideTo(main.mapToGlobal(QPoint(150, 200)));
    pointer.release(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.RolledUp(); }, 2000));
    EXPECT_EQ(main.ImgMin.Picture(), 112);
    QTest::qWait(100);
    EXPECT_EQ(main.height(), 25);

    moveTo(main.ImgMin, QPoint(8, 8));
    pointer.press(3); // the right button works the same
    glideTo(main.mapToGlobal(QPoint(-40, 60)));
    pointer.release(3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main.RolledUp(); }, 2000));
    QTest::qWait(100);
    EXPECT_EQ(main.height(), height);
}

TEST_F(ChromeX11, TheTitleBarDragsTheWindowAndTheGripResizesIt)
{
    showMain();
    const QPoint start = main.pos();
    moveTo(main.ImgBar1, QPoint(200, 12));
    pointer.press(1);
    glideTo(QCursor::pos() + QPoint(60, 40));
    pointer.release(1);
    QTest::qWait(100);
    EXPECT_EQ(main.pos(), start + QPoint(60, 40));

    moveTo(main.Image1, QPoint(12, 12));
    pointer.press(1);
    glideTo(QCursor::pos() + QPoint(50, 30));
    pointer.release(1);
    QTest::qWait(100);
    // The window's corner follows the pointer.
    EXPECT_EQ(main.geometry().bottomRight() + QPoint(1, 1), QCursor::pos());
    EXPECT_EQ(main.ImgEnd.x(), main.width() - 21) << "laid out at the new size";
}

TEST_F(ChromeX11, SecondaryWindowsOpenCentredOverTheMainWindow)
{
    showMain();
    frmList& list = forms.list.get();
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QTest::qWait(200);
    EXPECT_EQ(list.geometry().center(), main.geometry().center());
    EXPECT_EQ(onScreen(list.ImgEnd), skin::picture(118).normal);
    saveScreenshot(list, QStringLiteral("list.png"));
    forms.list.unload();

    main.ShowAbout();
    frmAbout& about = *forms.about.loaded();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    QTest::qWait(200);
    EXPECT_EQ(about.geometry().center(), main.geometry().center());
    EXPECT_EQ(onScreen(about.ImgIco), skin::picture(134).normal);
    saveScreenshot(about, QStringLiteral("about.png"));

    // The About window's OK button closes it, by the real pointer.
    moveTo(about.ImgOK, QPoint(10, 10));
    pointer.press(1);
    pointer.release(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !forms.about.isLoaded(); }, 2000));
}
