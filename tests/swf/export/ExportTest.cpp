// The export's parts in the process: where a movie ends, the video's frames against the
// movie's, the clicks, and the sound kept as long as the pictures.
#include "../runtime/Fixtures.h"
#include "../sound/PlayedMovie.h"

#include "swf/display/PointerInput.h"
#include "swf/display/Stage.h"
#include "swf/export/ClickSchedule.h"
#include "swf/export/Exporter.h"
#include "swf/export/SoundPacer.h"
#include "swf/export/Thumbnail.h"

#include <gtest/gtest.h>

namespace swf::test {
namespace {

using namespace swf::exporting;

// Keeps what the exporter hands over.
class KeptFrames final : public FrameSink {
public:
    bool addFrame(const QImage& picture, std::span<const int16_t> sound) override
    {
        pictures.push_back(picture);
        soundFrames += sound.size() / 2;
        return pictures.size() < failAfter;
    }
    bool finish() override
    {
        finished = true;
        return true;
    }
    QString error() const override { return QStringLiteral("磁盘已满"); }

    std::vector<QImage> pictures;
    size_t soundFrames = 0;
    size_t failAfter = SIZE_MAX;
    bool finished = false;
};

// 80x60 at 12 fps: a red 10x10 square at x = 5 * frame (0-based), `frames` frames.
Writer movingSquare(int frames)
{
    Writer w(stageHeader(80, 60, 12.0, frames));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
    w.place(placeAt(1, 1, 0, 20));
    w.showFrame();
    for (int f = 1; f < frames; ++f) {
        w.place(moveTo(1, 5 * f, 20));
        w.showFrame();
    }
    return w;
}

// The x of the square's left edge in a picture at the movie's size, or -1.
int squareX(const QImage& picture)
{
    for (int x = 0; x < picture.width(); ++x) {
        if (near(pixel(picture, x, 25), QColor(255, 0, 0), 40))
            return x;
    }
    return -1;
}

ExportSettings settingsAt(double fps, std::optional<int64_t> frames = std::nullopt)
{
    ExportSettings settings;
    settings.size = QSize(80, 60);
    settings.rate = frameRateOf(fps);
    settings.frames = frames;
    return settings;
}

ExportResult exportInto(PlayedMovie& movie, KeptFrames& sink, const ExportSettings& settings)
{
    std::atomic<bool> stop { false };
    Exporter exporter(movie.player(), movie.output(), settings);
    return exporter.run(sink, {}, stop);
}

TEST(MovieEnds, ALoopingMovieEndsBeforeItStartsAgain)
{
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(movingSquare(8)));
    KeptFrames sink;
    const ExportResult result = exportInto(movie, sink, settingsAt(12));
    EXPECT_EQ(result.outcome, ExportResult::Outcome::Done);
    EXPECT_EQ(result.end, MovieEnd::Reason::Loop);
    ASSERT_EQ(sink.pictures.size(), 8u);
    for (int f = 0; f < 8; ++f)
        EXPECT_EQ(squareX(sink.pictures[f]), 5 * f) << "frame " << f;
    EXPECT_TRUE(sink.finished);
    // Each frame comes with its twelfth of a second of sound.
    EXPECT_EQ(sink.soundFrames, framesOfTicks(8, 12));
}

TEST(MovieEnds, AMovieThatStopsOnItsLastFrameEndsThere)
{
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(movingSquare(5)));
    movie.player().setLoop(false);
    KeptFrames sink;
    const ExportResult result = exportInto(movie, sink, settingsAt(12));
    EXPECT_EQ(result.end, MovieEnd::Reason::LastFrame);
    ASSERT_EQ(sink.pictures.size(), 5u);
    EXPECT_EQ(squareX(sink.pictures.back()), 20);
}

TEST(MovieEnds, AMovieStandingStillEndsAfterAWhile)
{
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(movingSquare(1)));
    KeptFrames sink;
    const ExportResult result = exportInto(movie, sink, settingsAt(12));
    EXPECT_EQ(result.end, MovieEnd::Reason::StandsStill);
    EXPECT_EQ(sink.pictures.size(), size_t(1 + MovieEnd::kStillSeconds * 12));
}

TEST(MovieEnds, AOneFrameMovieIsWatchedThroughItsLongestClip)
{
    // The story is told by a sprite of 6 frames (the square moving) on a one-frame movie.
    Writer w(stageHeader(80, 60, 12.0, 1));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
    SpriteDefinition sprite;
    sprite.declaredFrameCount = 6;
    for (int f = 0; f < 6; ++f) {
        Frame frame;
        frame.tags.push_back(f == 0 ? ControlTag(placeAt(1, 1, 0, 20)) : ControlTag(moveTo(1, 5 * f, 20)));
        sprite.timeline.frames.push_back(frame);
    }
    w.defineSprite(2, sprite);
    w.place(placeAt(1, 2));
    w.showFrame();
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(w));
    KeptFrames sink;
    const ExportResult result = exportInto(movie, sink, settingsAt(12));
    EXPECT_EQ(result.end, MovieEnd::Reason::Loop);
    ASSERT_EQ(sink.pictures.size(), 6u);
    EXPECT_EQ(squareX(sink.pictures[5]), 25);
}

TEST(VideoFrames, AGivenLengthOverridesTheEndAndOtherRatesRepeatFrames)
{
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(movingSquare(8)));
    KeptFrames sink;
    // Twice the movie's rate: every movie frame is shown twice, past the loop point.
    const ExportResult result = exportInto(movie, sink, settingsAt(24, 20));
    EXPECT_EQ(result.end, MovieEnd::Reason::None);
    ASSERT_EQ(sink.pictures.size(), 20u);
    EXPECT_EQ(squareX(sink.pictures[0]), 0);
    EXPECT_EQ(squareX(sink.pictures[1]), 0);
    EXPECT_EQ(squareX(sink.pictures[2]), 5);
    EXPECT_EQ(squareX(sink.pictures[15]), 35);
    EXPECT_EQ(squareX(sink.pictures[16]), 0) << "the movie looped";
}

TEST(VideoFrames, AnEncoderFailureStopsTheExportWithItsMessage)
{
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(movingSquare(8)));
    KeptFrames sink;
    sink.failAfter = 3;
    const ExportResult result = exportInto(movie, sink, settingsAt(12, 100));
    EXPECT_EQ(result.outcome, ExportResult::Outcome::Failed);
    EXPECT_EQ(result.error, QStringLiteral("磁盘已满"));
    EXPECT_FALSE(sink.finished);
}

TEST(VideoFrames, AStopRequestEndsTheExportUnfinished)
{
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(movingSquare(8)));
    KeptFrames sink;
    std::atomic<bool> stop { true };
    Exporter exporter(movie.player(), movie.output(), settingsAt(12, 100));
    EXPECT_EQ(exporter.run(sink, {}, stop).outcome, ExportResult::Outcome::Interrupted);
    EXPECT_FALSE(sink.finished);
}

// Hears the raw mouse of a stage.
class MouseLog final : public InputListener {
public:
    void mouseMoved(QPointF at) override { position = at; }
    void mouseButton(bool down) override { events.push_back({ frame(), down, position }); }
    int frame() const { return stage->root().currentFrame(); }

    struct Event {
        int frame;
        bool down;
        QPointF at;
    };
    const Stage* stage = nullptr;
    QPointF position;
    std::vector<Event> events;
};

TEST(Clicks, AClickPressesWhereAndWhenAsked)
{
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(movingSquare(8)));
    MouseLog mouse;
    mouse.stage = movie.player().stage();
    movie.player().stage()->input().setListener(&mouse);
    QString error;
    auto clicks = parseClicks(QStringLiteral("30,40@0.25"), error);
    ASSERT_TRUE(clicks) << error.toStdString();
    ExportSettings settings = settingsAt(12, 6);
    settings.clicks = *clicks;
    KeptFrames sink;
    exportInto(movie, sink, settings);
    movie.player().stage()->input().setListener(nullptr);
    // 0.25 s is frame 3 at 12 fps: pressed and let go just before it runs, at the stage
    // point of (30, 40) pixels.
    ASSERT_EQ(mouse.events.size(), 2u);
    EXPECT_TRUE(mouse.events[0].down);
    EXPECT_FALSE(mouse.events[1].down);
    EXPECT_EQ(mouse.events[0].frame, 2);
    EXPECT_EQ(mouse.events[0].at, QPointF(30 * 20, 40 * 20));
}

TEST(Clicks, AClickStillToComeKeepsAStillMovieGoing)
{
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(movingSquare(1)));
    ExportSettings settings = settingsAt(12);
    settings.clicks = { { QPointF(1, 1), 5.0 } };
    KeptFrames sink;
    const ExportResult result = exportInto(movie, sink, settings);
    // Waiting until 5 s, then the still movie ends after its while.
    EXPECT_EQ(result.end, MovieEnd::Reason::StandsStill);
    EXPECT_GE(sink.pictures.size(), size_t(12 * (5 + MovieEnd::kStillSeconds)));
}

TEST(Clicks, TheirTextIsReadOrRefusedWithTheReason)
{
    QString error;
    const auto clicks = parseClicks(QStringLiteral("250,300@10.5; 100,200@3"), error);
    ASSERT_TRUE(clicks);
    ASSERT_EQ(clicks->size(), 2u);
    EXPECT_EQ((*clicks)[0].pixels, QPointF(100, 200)) << "in time order";
    EXPECT_DOUBLE_EQ((*clicks)[1].seconds, 10.5);
    for (const char* bad : { "100,200", "100@3", "a,b@3", "1,2@-1", "1,2@3@4", "", ";" }) {
        EXPECT_FALSE(parseClicks(QString::fromLatin1(bad), error)) << bad;
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(SoundPacing, TheSoundLastsAsLongAsThePictures)
{
    // A movie at 12 fps in a video at 25 fps: the movie's sound comes in twelfths of a
    // second, the pictures in 25ths.
    SoundPacer pacer(frameRateOf(25), 44100);
    size_t given = 0;
    const std::vector<int16_t> twelfth(3675 * 2, 7);
    for (int k = 0; k < 50; ++k) {
        const bool movieFrame = k * 12 / 25 != (k - 1) * 12 / 25 || k == 0;
        given += pacer.frameShown(movieFrame ? std::span<const int16_t>(twelfth) : std::span<const int16_t>())
                     .size()
            / 2;
        EXPECT_LE(given, size_t((k + 1) * 44100 / 25 + 1)) << "never ahead of the pictures";
    }
    given += pacer.end().size() / 2;
    EXPECT_EQ(given, 2u * 44100) << "two seconds of video, two seconds of sound";
}

TEST(Thumbnails, TheFirstFrameThatShowsSomethingIsChosen)
{
    // Two blank frames, then the square, then a second square.
    Writer w(stageHeader(80, 60, 12.0, 4));
    w.setBackground({ 0, 0, 80 });
    w.defineShape(1, filledRect(0, 0, 30, 30, { 255, 255, 0 }));
    w.showFrame();
    w.showFrame();
    w.place(placeAt(1, 1, 10, 10));
    w.showFrame();
    w.place(placeAt(2, 1, 45, 10));
    w.showFrame();
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(w));
    const QImage picture = representativeFrame(movie.player(), QSize(40, 30), 5.0, std::chrono::seconds(10));
    ASSERT_EQ(picture.size(), QSize(40, 30));
    EXPECT_TRUE(near(pixel(picture, 12, 12), QColor(255, 255, 0), 30));
    EXPECT_TRUE(near(pixel(picture, 30, 12), QColor(0, 0, 80), 30)) << "not the later frame";
    EXPECT_EQ(thumbnailSize(QSize(550, 400), 128), QSize(128, 93));
    EXPECT_EQ(thumbnailSize(QSize(300, 600), 128), QSize(64, 128));
}

} // namespace
} // namespace swf::test
