#include "SmallMovie.h"
#include "X11Windows.h"
#include "support/BuildDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

// The real player, started as a user starts it, under the X server of the test run.
namespace {

QString programPath()
{
    return buildDir().filePath(QStringLiteral("zorvaplay"));
}

} // namespace

TEST(PlayerWindowX11, StartsWithAMovieShowsItsWindowAndClosesWhenAsked)
{
    X11Windows x;
    ASSERT_TRUE(x.isOpen()) << "this test needs an X server";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString movie = folder.filePath(QStringLiteral("窗口 test.swf"));
    ASSERT_TRUE(testing_movies::writeFile(movie, testing_movies::smallMovie(4)));

    QProcess player;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM")); // the player picks X11 itself
    player.setProcessEnvironment(environment);
    player.setProcessChannelMode(QProcess::ForwardedChannels);
    player.start(programPath(), { movie });
    ASSERT_TRUE(player.waitForStarted(5000)) << programPath().toStdString();

    std::optional<X11Windows::WindowId> window;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            window = x.find(player.processId(), QStringLiteral("Zorvaplay"));
            return window && x.isViewable(*window);
        },
        10000))
        << "no window captioned Zorvaplay";

    // Playing for a while leaves it running.
    QTest::qWait(1000);
    EXPECT_EQ(player.state(), QProcess::Running);
    EXPECT_TRUE(x.isViewable(*window));

    x.askToClose(*window);
    ASSERT_TRUE(player.waitForFinished(10000)) << "closing the main window ends the player";
    EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.exitCode(), 0);
}
