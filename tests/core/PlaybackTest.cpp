#include "chrome/frmAbout.h"
#include "core/Forms.h"
#include "core/frmMain.h"
#include "platform/fakes/FakePlatform.h"
#include "playlist/frmList.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

class Playback : public ::testing::Test {
protected:
    platform::FakeMovieControl& flash() { return *platform.movieControl(); }
    platform::FakeProgressBar& bar() { return *platform.progressBar(); }
    frmList& list() { return forms.list.get(); }

    // A movie of `total` frames showing frame `current`.
    void showing(int current, int total)
    {
        flash().scriptCurrentFrame(current);
        flash().scriptTotalFrames(total);
    }
    QStringList loads() const
    {
        QStringList urls;
        for (const QString& call : platform.movieControl()->calls()) {
            if (call.startsWith(QStringLiteral("LoadMovie(")))
                urls << call;
        }
        return urls;
    }

    platform::FakePlatform platform;
    core::Forms forms { platform };
    frmMain& main = forms.main();
};

} // namespace

TEST_F(Playback, PlayPausesAndResumesWithTheGlyphOfWhatAClickWillDo)
{
    EXPECT_EQ(main.ImgPlay.Picture(), 0);
    main.PlayAni(); // nothing loaded: not playing, so it plays
    EXPECT_EQ(flash().calls(), QStringList({ QStringLiteral("IsPlaying"), QStringLiteral("Play") }));
    EXPECT_EQ(main.ImgPlay.Picture(), 179);

    flash().clearCalls();
    main.PlayAni();
    EXPECT_EQ(flash().calls(),
        QStringList({ QStringLiteral("IsPlaying"), QStringLiteral("Playing=false"), QStringLiteral("Stop"),
            QStringLiteral("StopPlay") }));
    EXPECT_EQ(main.ImgPlay.Picture(), 173);
}

TEST_F(Playback, RewindPlaysFromTheStartAndLeavesTheGlyph)
{
    main.Form_Load(QString());
    main.RewindAni();
    EXPECT_EQ(flash().calls(), QStringList({ QStringLiteral("Rewind"), QStringLiteral("Play") }));
    EXPECT_EQ(main.ImgPlay.Picture(), 173);
}

TEST_F(Playback, TheReadyStateSwitchesBetweenTheTimers)
{
    flash().fireReadyStateChange(3);
    EXPECT_TRUE(main.Timer2.isActive());
    EXPECT_FALSE(main.Timer1.isActive());

    flash().scriptIsPlaying(true);
    flash().fireReadyStateChange(4);
    EXPECT_TRUE(main.Timer1.isActive());
    EXPECT_FALSE(main.Timer2.isActive());
    EXPECT_EQ(main.ImgPlay.Picture(), 179);

    flash().fireReadyStateChange(1);
    EXPECT_TRUE(main.Timer1.isActive());
    EXPECT_FALSE(main.Timer2.isActive());

    flash().scriptIsPlaying(true);
    main.PlayAni(); // paused: the play glyph
    flash().fireReadyStateChange(3);
    flash().fireReadyStateChange(4);
    EXPECT_EQ(main.ImgPlay.Picture(), 173) << "a movie that stands keeps the play glyph";
}

TEST_F(Playback, TheCaptionShowsTheDownloadAndKeepsItsLastValue)
{
    flash().scriptPercentLoaded(37);
    main.Timer2_Timer();
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Zorvaplay：已下载 37%"));
    flash().fireReadyStateChange(4);
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Zorvaplay：已下载 37%"));
}

TEST_F(Playback, TheBarShowsTheFrameInPerMilleRoundingHalvesToEven)
{
    const struct {
        int current, total, position;
    } cases[] = { { 1, 8, 125 }, { 1, 16, 62 }, { 3, 16, 188 }, { 0, 5, 0 }, { 2, 3, 667 } };
    for (const auto& c : cases) {
        showing(c.current, c.total);
        main.Timer1_Timer();
        EXPECT_EQ(bar().Position(), c.position) << c.current << " of " << c.total;
    }
    showing(0, 0); // no frames: the bar stays as it is
    main.Timer1_Timer();
    EXPECT_EQ(bar().Position(), 667);
    showing(5, 0);
    bar().setPosition(400);
    main.Timer1_Timer();
    EXPECT_EQ(bar().Position(), 400);
}

TEST_F(Playback, ALastFrameGoesOnToTheNextEntryUntilTheLastEntry)
{
    list().appendEntries({ QStringLiteral("/m/1.swf"), QStringLiteral("/m/2.swf") });
    showing(1, 2);
    main.Timer1_Timer();
    EXPECT_EQ(loads(), QStringList({ QStringLiteral("LoadMovie(0, file:///m/2.swf)") }));
    EXPECT_EQ(list().CurSwf(), 1);
    EXPECT_EQ(bar().Position(), 0);

    flash().clearCalls();
    main.Timer1_Timer();
    EXPECT_TRUE(loads().isEmpty()) << "the last entry goes on as the control plays it";
    EXPECT_EQ(list().CurSwf(), 1);
    EXPECT_EQ(bar().Position(), 500);
}

TEST_F(Playback, OnlyTheLastFrameAdvances)
{
    list().appendEntries({ QStringLiteral("/m/1.swf"), QStringLiteral("/m/2.swf") });
    showing(1, 3);
    main.Timer1_Timer();
    showing(0, 0); // no frames: the frame is compared with -1
    main.Timer1_Timer();
    EXPECT_TRUE(loads().isEmpty());
    EXPECT_EQ(list().CurSwf(), 0);
}

TEST_F(Playback, AnEmptyListNeverAdvances)
{
    showing(0, 1);
    main.Timer1_Timer();
    main.NextAni();
    main.BackAni();
    EXPECT_TRUE(loads().isEmpty());
}

TEST_F(Playback, SeekingGoesToThePickedFrameAndPlays)
{
    showing(0, 10);
    bar().userPicks(450); // 4.5 frames: the half goes to the even frame
    EXPECT_EQ(
        flash().calls().filter(QStringLiteral("GotoFrame")), QStringList({ QStringLiteral("GotoFrame(4)") }));
    EXPECT_TRUE(flash().calls().contains(QStringLiteral("Play")));
    EXPECT_EQ(main.ImgPlay.Picture(), 179);
}

TEST_F(Playback, AFrameBeyondSixteenBitsIsNotSoughtButPlayGoesOn)
{
    showing(0, 100000);
    bar().userPicks(900);
    EXPECT_TRUE(flash().calls().filter(QStringLiteral("GotoFrame")).isEmpty());
    EXPECT_TRUE(flash().calls().contains(QStringLiteral("Play")));
    EXPECT_EQ(main.ImgPlay.Picture(), 179);
}

TEST_F(Playback, TheMovieAsksForTheWholeScreenAndQuits)
{
    main.Form_Load(QString());
    main.show();
    flash().fireFSCommand(QStringLiteral("fullscreen"), QStringLiteral("true"));
    EXPECT_TRUE(main.isFullScreen());
    flash().fireFSCommand(QStringLiteral("FullScreen"), QStringLiteral("false"));
    EXPECT_FALSE(main.isFullScreen());
    flash().fireFSCommand(QStringLiteral("allowscale"), QStringLiteral("true"));
    EXPECT_TRUE(main.isVisible()) << "other commands are the movie's own business";

    flash().clearCalls();
    flash().fireFSCommand(QStringLiteral("QUIT"), QString());
    EXPECT_TRUE(flash().calls().contains(QStringLiteral("StopPlay")));
    EXPECT_FALSE(main.isVisible());
}
