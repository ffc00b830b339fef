#include "SmallMovie.h"

#include "platform/EngineMovieControl.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

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

namespace {

QAction* itemOf(QMenu& menu, const QString& caption)
{
    for (QAction* action : menu.actions())
        if (action->text() == caption)
            return action;
    return nullptr;
}

QStringList captionsOf(const QMenu& menu)
{
    QStringList captions;
    for (const QAction* action : menu.actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

} // namespace

TEST_F(EngineMovieControlTest, ARightClickOffersTheControlsOwnMenu)
{
    load(QStringLiteral("file://") + writeMovie(QStringLiteral("a.swf"), testing_movies::smallMovie(5)));
    const std::unique_ptr<QMenu> menu(control.createContextMenu(QPoint(10, 10)));
    EXPECT_EQ(captionsOf(*menu),
        QStringList({ QStringLiteral("放大"), QStringLiteral("缩小"), QStringLiteral("全部显示"),
            QStringLiteral("-"), QStringLiteral("品质"), QStringLiteral("-"), QStringLiteral("播放"),
            QStringLiteral("循环"), QStringLiteral("-"), QStringLiteral("倒带"), QStringLiteral("前进"),
            QStringLiteral("后退") }));
    QMenu* quality = itemOf(*menu, QStringLiteral("品质"))->menu();
    ASSERT_NE(quality, nullptr);
    EXPECT_EQ(captionsOf(*quality),
        QStringList({ QStringLiteral("低"), QStringLiteral("中"), QStringLiteral("高") }));
    EXPECT_TRUE(itemOf(*quality, QStringLiteral("高"))->isChecked());
    EXPECT_TRUE(itemOf(*menu, QStringLiteral("播放"))->isChecked());
    EXPECT_TRUE(itemOf(*menu, QStringLiteral("循环"))->isChecked());
    EXPECT_FALSE(itemOf(*menu, QStringLiteral("缩小"))->isEnabled()) << "nothing to zoom out of";

    // The right button stays with the control: its window's own menu does not open too.
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 10), control.mapToGlobal(QPointF(10, 10)),
        Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&control, &release);
    EXPECT_TRUE(release.isAccepted());
}

TEST_F(EngineMovieControlTest, TheMenuPlaysStepsAndSetsTheQuality)
{
    load(QStringLiteral("file://") + writeMovie(QStringLiteral("a.swf"), testing_movies::smallMovie(5)));
    const auto choose = [this](const QString& caption) {
        const std::unique_ptr<QMenu> menu(control.createContextMenu(QPoint(10, 10)));
        QAction* action = itemOf(*menu, caption);
        ASSERT_NE(action, nullptr) << caption.toStdString();
        ASSERT_TRUE(action->isEnabled()) << caption.toStdString();
        action->trigger();
    };
    choose(QStringLiteral("播放"));
    EXPECT_FALSE(control.IsPlaying());
    control.GotoFrame(2);
    choose(QStringLiteral("前进"));
    EXPECT_EQ(control.CurrentFrame(), 3);
    choose(QStringLiteral("后退"));
    choose(QStringLiteral("后退"));
    EXPECT_EQ(control.CurrentFrame(), 1);
    EXPECT_FALSE(control.IsPlaying());
    choose(QStringLiteral("倒带"));
    EXPECT_EQ(control.CurrentFrame(), 0);
    {
        const std::unique_ptr<QMenu> menu(control.createContextMenu(QPoint(10, 10)));
        EXPECT_FALSE(itemOf(*menu, QStringLiteral("后退"))->isEnabled()) << "at the first frame";
        EXPECT_FALSE(itemOf(*menu, QStringLiteral("倒带"))->isEnabled());
    }
    choose(QStringLiteral("播放"));
    EXPECT_TRUE(control.IsPlaying());

    const std::unique_ptr<QMenu> menu(control.createContextMenu(QPoint(10, 10)));
    itemOf(*itemOf(*menu, QStringLiteral("品质"))->menu(), QStringLiteral("低"))->trigger();
    EXPECT_EQ(control.quality(), QStringLiteral("Low"));
}

TEST_F(EngineMovieControlTest, ZoomingKeepsThePointClickedInPlace)
{
    load(QStringLiteral("file://") + writeMovie(QStringLiteral("a.swf"), testing_movies::smallMovie(1)));
    // The red square ends at (133, 100); zoomed twice around (120, 90) it ends at (146, 110).
    const auto colourAt = [this](QPoint at) { return control.grab().toImage().pixelColor(at); };
    ASSERT_EQ(colourAt(QPoint(140, 95)), QColor(0, 0, 255));
    {
        const std::unique_ptr<QMenu> menu(control.createContextMenu(QPoint(120, 90)));
        itemOf(*menu, QStringLiteral("放大"))->trigger();
    }
    EXPECT_DOUBLE_EQ(control.zoom(), 2.0);
    EXPECT_EQ(colourAt(QPoint(120, 90)), QColor(255, 0, 0)) << "the point clicked stays red";
    EXPECT_EQ(colourAt(QPoint(140, 95)), QColor(255, 0, 0)) << "the square grew out from the point clicked";
    EXPECT_EQ(colourAt(QPoint(152, 95)), QColor(0, 0, 255));
    {
        const std::unique_ptr<QMenu> menu(control.createContextMenu(QPoint(120, 90)));
        EXPECT_TRUE(itemOf(*menu, QStringLiteral("缩小"))->isEnabled());
        EXPECT_FALSE(itemOf(*menu, QStringLiteral("全部显示"))->isChecked());
        itemOf(*menu, QStringLiteral("全部显示"))->trigger();
    }
    EXPECT_DOUBLE_EQ(control.zoom(), 1.0);
    EXPECT_EQ(colourAt(QPoint(120, 80)), QColor(255, 0, 0));
}
