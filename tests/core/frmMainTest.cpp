#include "core/frmMain.h"
#include "chrome/frmAbout.h"
#include "core/Forms.h"
#include "core/frmOpen.h"
#include "menu/frmBKList.h"
#include "platform/FileDialog.h"
#include "platform/Tonwell.h"
#include "platform/fakes/FakePlatform.h"
#include "playlist/frmList.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList loadCalls(const QString& url)
{
    return { QStringLiteral("Quality2=High"), QStringLiteral("WMode=Window"),
        QStringLiteral("BackgroundColor=-1"), QStringLiteral("BGColor=-1"),
        QStringLiteral("LoadMovie(0, %1)").arg(url) };
}

class frmMainTest : public ::testing::Test {
protected:
    platform::FakeMovieControl& flash() { return *platform.movieControl(); }

    // Records the order in which the secondary windows are destroyed.
    template <class Form> void watch(Form& form, const QString& name)
    {
        QObject::connect(&form, &QObject::destroyed, [this, name] { destroyed << name; });
    }

    platform::FakePlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
    QStringList destroyed;
};

} // namespace

TEST_F(frmMainTest, CreatedAtItsDesignedSizeWithItsControlsInPlace)
{
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Zorvaplay"));
    EXPECT_EQ(main.size(), QSize(521, 465));
    EXPECT_EQ(&main.Flash1, platform.movieControl());
    EXPECT_EQ(&main.Fbar1, platform.progressBar());

    EXPECT_EQ(main.Flash1.Left(), 120);
    EXPECT_EQ(main.Flash1.Top(), 480);
    EXPECT_EQ(main.Flash1.Width(), 7575);
    EXPECT_EQ(main.Flash1.Height(), 5655);
    EXPECT_EQ(main.Fbar1.geometry(), QRect(8, 408, 505, 14)) << "ends above the button row";
    EXPECT_EQ(main.Fbar1.Top(), 6120);
    EXPECT_EQ(main.Tonwell1.geometry(), QRect(144, 432, 42, 25));
    EXPECT_EQ(main.Tonwell1.level(), 900);
    EXPECT_EQ(main.CmdD1.FileName(), QString());
}

TEST_F(frmMainTest, TimersAreMadeStopped)
{
    EXPECT_EQ(main.Timer1.interval(), 250);
    EXPECT_EQ(main.Timer2.interval(), 100);
    EXPECT_FALSE(main.Timer1.isActive());
    EXPECT_FALSE(main.Timer2.isActive());
}

TEST_F(frmMainTest, CentredOnTheScreen)
{
    const QRect available = main.screen()->availableGeometry();
    EXPECT_LE(std::abs(main.geometry().center().x() - available.center().x()), 1);
    EXPECT_LE(std::abs(main.geometry().center().y() - available.center().y()), 1);
}

TEST_F(frmMainTest, FormLoadOpensTheMovieOfTheCommandLine)
{
    main.Dropped = true;
    main.Form_Load(QStringLiteral("\"/tmp/my films/动画.swf\""));
    EXPECT_FALSE(main.Dropped);
    EXPECT_EQ(flash().calls(), loadCalls(QStringLiteral("file:///tmp/my films/动画.swf")));
    EXPECT_FALSE(main.isVisible()) << "the caller shows the window once it is loaded";
    EXPECT_TRUE(platform.messages.shown().isEmpty());
    EXPECT_FALSE(
        forms.open.isLoaded() || forms.about.isLoaded() || forms.list.isLoaded() || forms.bkList.isLoaded());
}

TEST_F(frmMainTest, FormLoadFindsTheBundledMoviesBesideTheProgram)
{
    const QString folder = QCoreApplication::applicationDirPath() + QDir::separator();
    main.Form_Load(QStringLiteral("yintian"));
    main.Form_Load(QStringLiteral("\"fatbaby\""));
    EXPECT_EQ(flash().calls(),
        loadCalls(QStringLiteral("file://") + folder + QStringLiteral("阴天.swf"))
            + loadCalls(QStringLiteral("file://") + folder + QStringLiteral("I Want A Fat Baby.swf")));
}

TEST_F(frmMainTest, FormLoadWithNoArgumentsLoadsNothing)
{
    main.Form_Load(QString());
    main.Form_Load(QStringLiteral("\"\""));
    EXPECT_TRUE(flash().calls().isEmpty());
}

TEST_F(frmMainTest, ExitAniStopsTheMovieThenUnloadsEveryWindowInOrder)
{
    // Made in another order than they unload.
    watch(forms.bkList.get(), QStringLiteral("frmBKList"));
    watch(forms.list.get(), QStringLiteral("frmList"));
    watch(forms.about.get(), QStringLiteral("frmAbout"));
    watch(forms.open.get(), QStringLiteral("frmOpen"));
    main.show();
    main.Timer1.start();
    main.Timer2.start();
    flash().clearCalls(); // the open dialog read the movie's name when it loaded

    main.ExitAni();

    EXPECT_EQ(flash().calls(), QStringList({ QStringLiteral("StopPlay"), QStringLiteral("Stop") }));
    EXPECT_FALSE(main.isVisible());
    EXPECT_FALSE(main.Timer1.isActive());
    EXPECT_FALSE(main.Timer2.isActive());
    EXPECT_FALSE(
        forms.open.isLoaded() || forms.about.isLoaded() || forms.list.isLoaded() || forms.bkList.isLoaded());
    runDeferredDeletes();
    EXPECT_EQ(destroyed,
        QStringList({ QStringLiteral("frmOpen"), QStringLiteral("frmAbout"), QStringLiteral("frmList"),
            QStringLiteral("frmBKList") }));
}

TEST_F(frmMainTest, UnloadCreatesNoWindowThatNeverExisted)
{
    watch(forms.list.get(), QStringLiteral("frmList"));
    main.ExitAni();
    EXPECT_TRUE(main.findChildren<frmOpen*>().isEmpty());
    EXPECT_TRUE(main.findChildren<frmAbout*>().isEmpty());
    EXPECT_TRUE(main.findChildren<frmBKList*>().isEmpty());
    runDeferredDeletes();
    EXPECT_EQ(destroyed, QStringList({ QStringLiteral("frmList") }));
}

TEST_F(frmMainTest, ClosingByTheSystemUnloadsWithoutStoppingTheMovie)
{
    watch(forms.open.get(), QStringLiteral("frmOpen"));
    watch(forms.bkList.get(), QStringLiteral("frmBKList"));
    main.show();
    main.Timer1.start();
    flash().clearCalls(); // the open dialog read the movie's name when it loaded

    EXPECT_TRUE(main.close());

    EXPECT_TRUE(flash().calls().isEmpty());
    EXPECT_FALSE(main.Timer1.isActive());
    runDeferredDeletes();
    EXPECT_EQ(destroyed, QStringList({ QStringLiteral("frmOpen"), QStringLiteral("frmBKList") }));
}

TEST_F(frmMainTest, ExitAniEndsTheRun)
{
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QTimer::singleShot(0, &main, [this] { main.ExitAni(); });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    giveUp.start(5000);
    EXPECT_EQ(QApplication::exec(), 0) << "the event loop ends once the main window is unloaded";
}
