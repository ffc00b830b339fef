// The engine's side of ActionScript's Sound objects: attach by exported name, start with
// an offset and loops, position and duration, onSoundComplete, volume and balance shared
// by a clip's Sound objects, and MP3 files loaded from disk and over http.
#include "PlayedMovie.h"

#include "../runtime/HttpServer.h"

#include "swf/display/Stage.h"
#include "swf/format/Tags.h"
#include "swf/sound/ScriptSound.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace swf::test {
namespace {

const double kLevel = 0.5 / std::sqrt(2.0);

struct Heard final : ScriptSound::Listener {
    void soundCompleted() override { ++completed; }
    void soundLoaded(bool ok) override { loaded = ok ? 1 : 0; }
    void id3Loaded() override { ++id3; }
    int completed = 0;
    int loaded = -1;
    int id3 = 0;
};

// A movie that exports a one-second 500 Hz tone as "tone", and plays for `frames` frames.
Writer exportingMovie(int frames)
{
    Writer w = soundMovie(12);
    const auto samples = sine(500, 22050, 22050, 0.5);
    defineSound(w, 4, soundFormat(SoundCodec::PcmLittleEndian, 2, true, false), pcmBytes(samples, true),
        uint32_t(samples.size()));
    w.rawTag(
        toCode(TagCode::ExportAssets), characterNamesBody(std::vector<NamedCharacter> { { 4, "tone" } }));
    for (int f = 0; f < frames; ++f)
        w.showFrame();
    return w;
}

bool waitUntil(const std::function<bool()>& done)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(10);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

TEST(ScriptSounds, AttachStartWithOffsetAndLoopsThenComplete)
{
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(exportingMovie(40)));
    auto sound = movie.engine().createSound(nullptr);
    Heard heard;
    sound->setListener(&heard);
    EXPECT_FALSE(sound->attachSound("nothing"));
    ASSERT_TRUE(sound->attachSound("TONE")); // names differing only in case are found too
    EXPECT_NEAR(sound->durationMs(), 1000, 0.1);

    sound->start(0.5, 2); // the last half second, twice, from the next frame on
    movie.frames(4);
    EXPECT_NEAR(sound->positionMs(), 500 + 4000 / 12.0, 1.0);
    movie.frames(10);
    EXPECT_EQ(heard.completed, 1);
    const auto left = movie.left();
    size_t last = 0;
    for (size_t i = 0; i < left.size(); ++i) {
        if (std::abs(left[i]) > 0.02)
            last = i;
    }
    EXPECT_NEAR(double(last), 3675 + 44100, 300); // two halves of a second
    EXPECT_NEAR(toneFrequency(std::span(left).subspan(4000, 30000), 44100), 500, 0.5);

    // stop() ends the sound without its completion.
    sound->start();
    movie.frames(2);
    sound->stop();
    movie.frames(3);
    EXPECT_EQ(heard.completed, 1);
    EXPECT_EQ(movie.engine().playingCount(), 0u);
}

TEST(ScriptSounds, VolumeAndPanBelongToTheTarget)
{
    PlayedMovie movie;
    Writer w = exportingMovie(0);
    SpriteDefinition empty;
    empty.timeline.frames.resize(1);
    w.defineSprite(5, empty);
    placeCharacter(w, 5, 1);
    for (int f = 0; f < 20; ++f)
        w.showFrame();
    ASSERT_TRUE(movie.load(w));
    DisplayObject* clip = movie.player().stage()->root().at(1);
    auto first = movie.engine().createSound(clip);
    auto second = movie.engine().createSound(clip);
    auto global = movie.engine().createSound(nullptr);
    first->setVolume(50);
    EXPECT_EQ(second->volume(), 50);
    EXPECT_EQ(global->volume(), 100);
    second->setPan(100); // right only
    EXPECT_EQ(first->pan(), 100);

    ASSERT_TRUE(first->attachSound("tone"));
    first->start();
    movie.frames(4);
    EXPECT_LT(rms(movie.left(3675 * 2, 3675)), 0.0001);
    EXPECT_NEAR(rms(movie.right(3675 * 2, 3675)), kLevel / 2, 0.01);
    // The movie's volume comes on top.
    global->setVolume(0);
    movie.frames(2);
    EXPECT_LT(rms(movie.right(3675 * 6, 3675)), 0.0001); // after the frame it fades in
}

class LoadedSounds : public ::testing::Test {
protected:
    void SetUp() override
    {
        mp3_ = ffmpegMp3File(1000, 44100, 1.0, "Song", "Singer");
        if (!mp3_)
            GTEST_SKIP() << "ffmpeg is not installed";
        ASSERT_TRUE(movie_.load(exportingMovie(200)));
    }

    // Plays frames until `done`, at most `frames` of them, serving the event loop between.
    void playUntil(const std::function<bool()>& done, int frames = 100)
    {
        for (int i = 0; i < frames && !done(); ++i) {
            movie_.frames(1);
            QEventLoop loop;
            QTimer::singleShot(5, &loop, &QEventLoop::quit);
            loop.exec();
        }
    }

    std::optional<std::vector<uint8_t>> mp3_;
    PlayedMovie movie_;
};

TEST_F(LoadedSounds, ALocalMp3LoadsWithItsTagsAndPlaysOnStart)
{
    const QString path = movie_.path("song.mp3");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(mp3_->data()), qint64(mp3_->size()));
    file.close();

    auto sound = movie_.engine().createSound(nullptr);
    Heard heard;
    sound->setListener(&heard);
    sound->loadSound(path, false);
    ASSERT_TRUE(waitUntil([&] { return heard.loaded >= 0; }));
    EXPECT_EQ(heard.loaded, 1);
    EXPECT_EQ(heard.id3, 1);
    EXPECT_EQ(sound->id3().at("songname"), "Song");
    EXPECT_EQ(sound->id3().at("TPE1"), "Singer");
    EXPECT_EQ(sound->bytesLoaded(), qint64(mp3_->size()));
    EXPECT_NEAR(sound->durationMs(), 1000, 60);
    movie_.output().clear();
    sound->start();
    movie_.frames(6);
    EXPECT_NEAR(toneFrequency(movie_.left(3000, 15000), 44100), 1000, 2);
    EXPECT_NEAR(rms(movie_.left(3000, 15000)), kLevel, 0.03);
}

TEST_F(LoadedSounds, AStreamingMp3OverHttpPlaysAsItArrives)
{
    HttpServer server(QByteArray(reinterpret_cast<const char*>(mp3_->data()), qsizetype(mp3_->size())));
    auto sound = movie_.engine().createSound(nullptr);
    Heard heard;
    sound->setListener(&heard);
    movie_.output().clear();
    sound->loadSound(server.url(QStringLiteral("/song.mp3")).toString(), true);
    playUntil([&] { return heard.loaded >= 0; });
    EXPECT_EQ(heard.loaded, 1);
    playUntil([&] { return heard.completed > 0; });
    EXPECT_EQ(heard.completed, 1);
    const auto left = movie_.left();
    const size_t first = firstSound(left);
    ASSERT_LT(first, left.size());
    // The file comes in pieces while the movie plays on: the sound starts with the first.
    EXPECT_NEAR(toneFrequency(std::span(left).subspan(first + 1500, 5000), 44100), 1000, 3);

    // A file that is not there: onLoad(false), and nothing to play.
    Heard missing;
    auto none = movie_.engine().createSound(nullptr);
    none->setListener(&missing);
    none->loadSound(movie_.path("missing.mp3"), false);
    ASSERT_TRUE(waitUntil([&] { return missing.loaded >= 0; }));
    EXPECT_EQ(missing.loaded, 0);
    EXPECT_EQ(none->durationMs(), 0);
}

TEST(ScriptSounds, ASoundObjectOutlivesItsMovie)
{
    std::unique_ptr<ScriptSound> sound;
    {
        PlayedMovie movie;
        ASSERT_TRUE(movie.load(exportingMovie(5)));
        sound = movie.engine().createSound(nullptr);
        ASSERT_TRUE(sound->attachSound("tone"));
    }
    sound->start();
    sound->setVolume(20);
    EXPECT_EQ(sound->volume(), 100);
    EXPECT_FALSE(sound->attachSound("tone"));
}

} // namespace
} // namespace swf::test
