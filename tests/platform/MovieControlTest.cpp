#include "SmallMovie.h"

#include "platform/EngineMovieControl.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using platform::EngineMovieControl;

namespace {

class EngineMovieControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        control.resize(266, 200); // twice the small movie's size
    }

    QString writeMovie(const QString& name, const std::vector<uint8_t>& bytes)
    {
        const QString path = folder.filePath(name);
        EXPECT_TRUE(testing_movies::writeFile(path, bytes));
        return path;
    }

    // Loads and waits for the control to report completion; returns the states seen.
    QList<int> load(const QString& url)
    {
        QSignalSpy states(&control, &EngineMovieControl::OnReadyStateChange);
        control.LoadMovie(0, url);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !states.isEmpty() && states.last().first().toInt() == 4; }, 5000));
        QList<int> seen;
        for (const QList<QVariant>& state : states)
            seen << state.first().toInt();
        return seen;
    }

    QTemporaryDir folder;
    EngineMovieControl control;
};

} // namespace

TEST_F(EngineMovieControlTest, LoadsAMovieReportingLoadingThenComplete)
{
    const QString url = QStringLiteral("file://")
        + writeMovie(QStringLiteral("小 movie.swf"), testing_movies::smallMovie(3));
    EXPECT_EQ(load(url), QList<int>({ 3, 4 }));
    EXPECT_EQ(control.Movie(), url);
    EXPECT_EQ(control.TotalFrames(), 3);
    EXPECT_EQ(control.PercentLoaded(), 100);
    EXPECT_TRUE(control.IsPlaying()) << "a loaded movie starts by itself";
    EXPECT_TRUE(control.errorString().isEmpty());
}

TEST_F(EngineMovieControlTest, PaintsTheMovieScaledToFit)
{
    load(QStringLiteral("file://") + writeMovie(QStringLiteral("a.swf"), testing_movies::smallMovie(1)));
    const QImage picture = control.grab().toImage();
    ASSERT_EQ(picture.size(), QSize(266, 200));
    // The red square covers the top-left half of the stage in each direction.
    EXPECT_EQ(picture.pixelColor(20, 20), QColor(255, 0, 0));
    EXPECT_EQ(picture.pixelColor(120, 80), QColor(255, 0, 0));
    EXPECT_EQ(picture.pixelColor(200, 150), QColor(0, 0, 255));
}

TEST_F(EngineMovieControlTest, PlaybackOperations)
{
    load(QStringLiteral("file://") + writeMovie(QStringLiteral("a.swf"), testing_movies::smallMovie(5)));
    control.Stop();
    EXPECT_FALSE(control.IsPlaying());
    control.GotoFrame(3);
    EXPECT_EQ(control.CurrentFrame(), 3);
    control.Play();
    EXPECT_TRUE(control.IsPlaying());
    control.StopPlay();
    EXPECT_FALSE(control.IsPlaying());
    control.setPlaying(true);
    EXPECT_TRUE(control.IsPlaying());
    control.Rewind();
    EXPECT_EQ(control.CurrentFrame(), 0);
    EXPECT_FALSE(control.IsPlaying());
    control.setPlaying(false);
    EXPECT_FALSE(control.IsPlaying());
}

TEST_F(EngineMovieControlTest, MissingOrDamagedMovieShowsNothingAndGoesOn)
{
    const QString missing = QStringLiteral("file://") + folder.filePath(QStringLiteral("不存在.swf"));
    EXPECT_EQ(load(missing), QList<int>({ 3, 4 }));
    EXPECT_EQ(control.TotalFrames(), 0);
    EXPECT_FALSE(control.IsPlaying());
    EXPECT_FALSE(control.errorString().isEmpty());

    std::vector<uint8_t> damaged = testing_movies::smallMovie(3);
    damaged.resize(damaged.size() / 2);
    damaged[8] ^= 0xff;
    EXPECT_EQ(load(QStringLiteral("file://") + writeMovie(QStringLiteral("damaged.swf"), damaged)),
        QList<int>({ 3, 4 }));
    // Nothing of the broken movie shows: the control is blank white.
    const QImage blank = control.grab().toImage();
    EXPECT_EQ(blank.pixelColor(blank.width() / 2, blank.height() / 2), QColor(Qt::white));

    // The control plays the next good movie as if nothing had happened.
    load(QStringLiteral("file://") + writeMovie(QStringLiteral("good.swf"), testing_movies::smallMovie(2)));
    EXPECT_EQ(control.TotalFrames(), 2);
    EXPECT_TRUE(control.errorString().isEmpty());
}

TEST_F(EngineMovieControlTest, OnlyLayerZeroIsLoaded)
{
    QSignalSpy states(&control, &EngineMovieControl::OnReadyStateChange);
    control.LoadMovie(1, QStringLiteral("file:///elsewhere.swf"));
    QTest::qWait(20);
    EXPECT_TRUE(states.isEmpty());
    EXPECT_EQ(control.Movie(), QString());
}
