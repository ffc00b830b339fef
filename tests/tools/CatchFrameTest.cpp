#include "chrome/frmAbout.h"
#include "core/Forms.h"
#include "core/frmMain.h"
#include "core/frmOpen.h"
#include "platform/FileDialog.h"
#include "platform/fakes/FakePlatform.h"
#include "playlist/frmList.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// CatchFrame headless, with a fake screen; the real screen is CatchFrameX11Test.
namespace {

class CatchFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.show();
        platform.screen.showColour(QColor(10, 200, 30));
    }

    platform::FakePlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
    QTemporaryDir folder;
    const QString bmp = folder.filePath(QStringLiteral("帧.bmp"));
};

// The bits per pixel written in a BMP file's header.
int bitsPerPixel(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray head = file.read(30);
    if (head.size() < 30 || !head.startsWith("BM"))
        return -1;
    return uchar(head[28]) | uchar(head[29]) << 8;
}

} // namespace

TEST_F(CatchFrameTest, GrabsTheMovieAreaOfTheClientAndSavesItAsABitmap)
{
    platform.fileDialogs.choose({ bmp });
    main.CatchFrame();

    // The movie control's place, in pixels, from the corner of the client area.
    const QRect movie(main.mapToGlobal(QPoint(8, 32)), QSize(507, 380));
    EXPECT_EQ(platform.screen.grabbed(), QList<QRect>({ movie }));

    const auto& dialogs = platform.fileDialogs.shown();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].mode, platform::FileDialog::Mode::Save);
    EXPECT_EQ(dialogs[0].filter, QStringLiteral("BMP位图（*.bmp）|*.bmp"));
    EXPECT_EQ(dialogs[0].title, QStringLiteral("保存bmp位图"));
    EXPECT_EQ(dialogs[0].fileName, QString());
    EXPECT_FALSE(dialogs[0].cancelError);

    EXPECT_EQ(main.Img1.pixmap().size(), QSize(507, 380));
    EXPECT_FALSE(main.Img1.isVisible());
    QImage saved(bmp, "BMP");
    ASSERT_EQ(saved.size(), QSize(507, 380));
    EXPECT_EQ(saved.pixelColor(0, 0), QColor(10, 200, 30));
    EXPECT_EQ(saved.pixelColor(504, 376), QColor(10, 200, 30));
    EXPECT_EQ(bitsPerPixel(bmp), 24);
    EXPECT_TRUE(platform.messages.shown().isEmpty());
    EXPECT_FALSE(forms.list.isLoaded() || forms.about.isLoaded() || forms.open.isLoaded())
        << "the guard creates no window";
}

TEST_F(CatchFrameTest, CancellingKeepsThePictureAndWritesNothing)
{
    platform.fileDialogs.cancel();
    main.CatchFrame();
    EXPECT_EQ(platform.fileDialogs.shown().size(), 1);
    EXPECT_EQ(main.Img1.pixmap().size(), QSize(507, 380)) << "the capture stays in Img1";
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    EXPECT_TRUE(platform.messages.shown().isEmpty());
}

TEST_F(CatchFrameTest, DoesNothingWhileASecondaryWindowShows)
{
    forms.list.get().show();
    main.CatchFrame();
    forms.list.unload();
    forms.about.get().show();
    main.CatchFrame();
    forms.about.unload();
    forms.open.get().show();
    main.CatchFrame();
    EXPECT_TRUE(platform.screen.grabbed().isEmpty());
    EXPECT_TRUE(platform.fileDialogs.shown().isEmpty());
    EXPECT_TRUE(main.Img1.pixmap().isNull());

    forms.open.get().hide();
    main.CatchFrame();
    EXPECT_EQ(platform.screen.grabbed().size(), 1) << "a window that is loaded but hidden does not stop it";
}

TEST_F(CatchFrameTest, AnUnreadableScreenOrPathEndsSilently)
{
    platform.fileDialogs.choose({ folder.filePath(QStringLiteral("no/folder/frame.bmp")) });
    main.CatchFrame();
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("no/folder/frame.bmp"))));

    platform.screen.failGrabs();
    platform.fileDialogs.choose({ bmp });
    main.CatchFrame();
    EXPECT_FALSE(QFile::exists(bmp));
    EXPECT_TRUE(platform.messages.shown().isEmpty());
}

TEST_F(CatchFrameTest, AnEmptyMovieAreaAsksTheScreenForNothing)
{
    // An empty size would mean "to the edge of the screen" to some grabbers.
    main.Flash1.setWidth(0);
    platform.fileDialogs.choose({ bmp });
    main.CatchFrame();
    EXPECT_TRUE(platform.screen.grabbed().isEmpty());
    EXPECT_FALSE(QFile::exists(bmp));
}
