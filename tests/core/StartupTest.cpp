#include "SmallMovie.h"

#include "core/Forms.h"
#include "core/frmMain.h"
#include "platform/MovieControl.h"
#include "platform/RealPlatform.h"

#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

// Start-up on the real platform: the movie of the command line goes to our engine, and a
// movie that cannot be shown leaves a running player with an empty movie area.
namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    // Starts the player as main() does and waits until the movie control is done.
    void start(const QString& commandLine)
    {
        QSignalSpy states(&main.Flash1, &platform::MovieControl::OnReadyStateChange);
        main.Form_Load(commandLine);
        main.show();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !states.isEmpty() && states.last().first().toInt() == 4; }, 5000));
        QTest::qWait(50); // a modal message would be up by now
    }

    static bool anyMessageShown()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox*>(window) && window->isVisible())
                return true;
        return QApplication::activeModalWidget() != nullptr;
    }

    QString file(const QString& name, const std::vector<uint8_t>& bytes)
    {
        const QString path = folder.filePath(name);
        EXPECT_TRUE(testing_movies::writeFile(path, bytes));
        return path;
    }

    QTemporaryDir folder;
    platform::RealPlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
};

} // namespace

TEST_F(StartupTest, TheMovieOfTheCommandLinePlays)
{
    start(u'"' + file(QStringLiteral("我的 movie.swf"), testing_movies::smallMovie(3)) + u'"');
    EXPECT_EQ(main.Flash1.TotalFrames(), 3);
    EXPECT_TRUE(main.Flash1.IsPlaying());
    EXPECT_TRUE(main.isVisible());
}

TEST_F(StartupTest, MissingMovieShowsNoMovieAndNoMessage)
{
    start(folder.filePath(QStringLiteral("nowhere.swf")));
    EXPECT_FALSE(anyMessageShown());
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.Flash1.TotalFrames(), 0);
}

TEST_F(StartupTest, EmptyOrDamagedMovieShowsNoMovieAndNoMessage)
{
    start(file(QStringLiteral("empty.swf"), {}));
    EXPECT_FALSE(anyMessageShown());
    EXPECT_EQ(main.Flash1.TotalFrames(), 0);

    std::vector<uint8_t> damaged = testing_movies::smallMovie(3);
    for (std::size_t i = 8; i < damaged.size(); i += 3)
        damaged[i] ^= 0x5a;
    start(file(QStringLiteral("damaged.swf"), damaged));
    EXPECT_FALSE(anyMessageShown());
    EXPECT_TRUE(main.isVisible());

    // The movie area repaints blank: nothing of the damaged movie is left on it.
    const QImage area = main.Flash1.grab().toImage();
    EXPECT_EQ(area.pixelColor(area.width() / 2, area.height() / 2), QColor(Qt::white));
}
