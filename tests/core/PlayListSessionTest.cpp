#include "SmallMovie.h"

#include "core/Forms.h"
#include "core/frmMain.h"
#include "platform/EngineMovieControl.h"
#include "platform/fakes/FakePlatform.h"
#include "playlist/frmList.h"

#include "support/QtPrinters.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// The fakes, but the real movie control: movies are read and played by the engine, on a
// clock the test steps by hand.
class EnginePlatform : public platform::FakePlatform {
public:
    platform::MovieControl* createMovieControl(QWidget* parent) override
    {
        control = new platform::EngineMovieControl(parent);
        control->player().setClockMode(swf::Player::ClockMode::Manual);
        return control;
    }
    platform::EngineMovieControl* control = nullptr;
};

class PlayListSession : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString writeMovie(const QString& name, uint16_t frames)
    {
        const QString path = folder.filePath(name);
        EXPECT_TRUE(testing_movies::writeFile(path, testing_movies::smallMovie(frames)));
        return path;
    }
    swf::Player& player() { return platform.control->player(); }
    // Runs the window's event loop until `done`, at most five seconds.
    static bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 5000); }

    QTemporaryDir folder;
    EnginePlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
};

} // namespace

TEST_F(PlayListSession, ThreeMoviesPlayOneAfterAnotherAndTheLastStays)
{
    const QStringList movies { writeMovie(QStringLiteral("第一 部.swf"), 3),
        writeMovie(QStringLiteral("second.swf"), 5), writeMovie(QStringLiteral("third.swf"), 4) };
    frmList& list = forms.list.get();
    ASSERT_EQ(list.appendEntries(movies), 3);
    QSignalSpy states(&main.Flash1, &platform::MovieControl::OnReadyStateChange);

    list.setCurSwf(0);
    list.PlaySelAni();
    for (int entry = 0; entry < 3; ++entry) {
        const QString url = QStringLiteral("file://") + movies[entry];
        ASSERT_EQ(main.Flash1.Movie(), url);
        ASSERT_TRUE(waitFor([&] { return main.Timer1.isActive(); })) << "entry " << entry << " completes";
        EXPECT_FALSE(main.Timer2.isActive());
        EXPECT_EQ(list.CurSwf(), entry);
        EXPECT_EQ(main.ImgPlay.Picture(), 179) << "a loaded movie plays by itself";

        // The bar follows the frames; before the last one nothing moves on.
        const int frames = main.Flash1.TotalFrames();
        ASSERT_GT(frames, 2);
        player().advanceFrame();
        ASSERT_EQ(main.Flash1.CurrentFrame(), 1);
        const int position = qRound(1000.0 / frames);
        ASSERT_TRUE(waitFor([&] { return main.Fbar1.Position() == position; }));
        EXPECT_EQ(main.Flash1.Movie(), url);

        while (main.Flash1.CurrentFrame() < frames - 1)
            player().advanceFrame();
        if (entry < 2) {
            ASSERT_TRUE(waitFor([&] { return main.Flash1.Movie() != url; })) << "entry " << entry << " ends";
            EXPECT_EQ(main.Fbar1.Position(), 0);
        }
    }

    // The last movie stands on its last frame: tick after tick, nothing more is loaded.
    const auto loadsStarted = [&] {
        return std::count_if(states.begin(), states.end(),
            [](const QList<QVariant>& state) { return state.first().toInt() == 3; });
    };
    EXPECT_EQ(loadsStarted(), 3);
    QTest::qWait(700);
    EXPECT_EQ(main.Flash1.Movie(), QStringLiteral("file://") + movies[2]);
    EXPECT_EQ(list.CurSwf(), 2);
    EXPECT_EQ(main.Fbar1.Position(), 750);
    EXPECT_TRUE(main.Timer1.isActive());
    EXPECT_EQ(loadsStarted(), 3);
}
