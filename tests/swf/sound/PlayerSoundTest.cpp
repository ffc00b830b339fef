// What the user does to a playing movie and what it does to the sound: pause and play on,
// rewind, seek, another movie, closing; and the sound of `run --wav`.
#include "PlayedMovie.h"

#include "swf/display/Stage.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <cmath>

namespace swf::test {
namespace {

const double kLevel = 0.5 / std::sqrt(2.0);
const size_t kPeriod = 3675; // a frame at 12 fps

// Sound 1: a second at 300 Hz, then a second at 600 Hz, started in the first frame of a
// movie of `frames` frames.
Writer twoToneMovie(int frames)
{
    Writer w = soundMovie(12);
    auto samples = sine(300, 22050, 22050, 0.5);
    const auto second = sine(600, 22050, 22050, 0.5);
    samples.insert(samples.end(), second.begin(), second.end());
    defineSound(w, 1, soundFormat(SoundCodec::PcmLittleEndian, 2, true, false), pcmBytes(samples, true),
        uint32_t(samples.size()));
    startSound(w, 1);
    for (int f = 0; f < frames; ++f)
        w.showFrame();
    return w;
}

TEST(PlayerSound, StopPausesEverySoundAndPlayGoesOnWhereItWas)
{
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(twoToneMovie(60)));
    movie.frames(5); // half a second heard
    movie.player().stop();
    EXPECT_TRUE(movie.engine().paused());
    movie.frames(6);
    EXPECT_LT(rms(movie.left(6 * kPeriod + 300, 5 * kPeriod)), 0.0001);
    movie.player().play();
    movie.frames(24);
    // The second half of the first tone, then the second tone: a second and a half.
    const size_t resumed = 12 * kPeriod;
    EXPECT_NEAR(toneFrequency(movie.left(resumed + 500, 5 * kPeriod), 44100), 300, 1);
    EXPECT_NEAR(toneFrequency(movie.left(resumed + 8 * kPeriod, 8 * kPeriod), 44100), 600, 1);
    const auto after = movie.left(resumed);
    size_t last = 0;
    for (size_t i = 0; i < after.size(); ++i) {
        if (std::abs(after[i]) > 0.02)
            last = i;
    }
    EXPECT_NEAR(double(last), 1.5 * 44100, 300);
}

TEST(PlayerSound, RewindStopsWhatPlaysAndTheFirstFrameSoundsOnceOnPlay)
{
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(twoToneMovie(60)));
    movie.frames(5);
    movie.player().rewind();
    EXPECT_EQ(movie.player().currentFrame(), 0);
    movie.frames(2);
    EXPECT_LT(rms(movie.left(6 * kPeriod + 300, kPeriod)), 0.0001);
    movie.player().play();
    movie.frames(4);
    // One sound from the start again, not two on top of each other.
    EXPECT_EQ(movie.engine().playingCount(), 1u);
    EXPECT_NEAR(rms(movie.left(9 * kPeriod, 2 * kPeriod)), kLevel, 0.01);
    EXPECT_NEAR(toneFrequency(movie.left(9 * kPeriod, 2 * kPeriod), 44100), 300, 1);
}

TEST(PlayerSound, SeekingStopsTheSoundsOfThePlaceLeft)
{
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(twoToneMovie(60)));
    movie.frames(3);
    movie.player().gotoFrame(30);
    movie.frames(3);
    EXPECT_EQ(movie.engine().playingCount(), 0u);
    EXPECT_LT(rms(movie.left(4 * kPeriod + 300)), 0.0001);
    // A seek to where it stands changes nothing.
    movie.player().gotoFrame(0);
    movie.frames(2);
    movie.player().gotoFrame(movie.player().currentFrame());
    EXPECT_EQ(movie.engine().playingCount(), 1u);
}

TEST(PlayerSound, ANewMovieOrClosingLeavesNoSoundOfTheOld)
{
    PlayedMovie movie(RecordingSoundOutput::Mode::Device);
    ASSERT_TRUE(movie.load(twoToneMovie(60), QStringLiteral("first.swf")));
    movie.output().play(kPeriod * 2);
    EXPECT_GT(rms(movie.left()), 0.3);

    Writer silent = soundMovie(12);
    silent.showFrame();
    ASSERT_TRUE(movie.load(silent, QStringLiteral("second.swf")));
    EXPECT_TRUE(movie.output().playing()); // the new movie's mixer
    movie.output().clear();
    movie.output().play(kPeriod * 4);
    EXPECT_LT(rms(movie.left(300)), 0.0001);

    movie.player().load(QStringLiteral("/no/such/movie.swf"));
    EXPECT_FALSE(movie.output().playing());
}

TEST(PlayerSound, RunWavWritesTheSoundOfTheFramesPlayed)
{
    PlayedMovie movie;
    Writer w = soundMovie(12);
    defineSound(w, 1, soundFormat(SoundCodec::Adpcm, 1, true, false),
        encodeAdpcm(sine(440, 11025, 11025, 0.5), 1, 4), 11025);
    w.showFrame();
    startSound(w, 1);
    for (int f = 0; f < 30; ++f)
        w.showFrame();
    const std::vector<uint8_t> bytes = w.finish(Compression::Zlib);
    QFile swf(movie.path("tone.swf"));
    ASSERT_TRUE(swf.open(QIODevice::WriteOnly));
    swf.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    swf.close();

    const QString wav = movie.path("tone.wav");
    QProcess run;
    run.start(QStringLiteral(ZORVA_SWF_CLI), { "run", swf.fileName(), "--frames", "24", "--wav", wav });
    ASSERT_TRUE(run.waitForFinished(60000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    QFile file(wav);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    ASSERT_EQ(data.size(), 44 + 24 * 3675 * 4);
    EXPECT_EQ(data.left(4), "RIFF");
    EXPECT_EQ(data.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(uint8_t(data[22]), 2); // channels
    EXPECT_EQ(uint8_t(data[24]) | uint8_t(data[25]) << 8, 44100);
    EXPECT_EQ(uint8_t(data[34]), 16);
    std::span<const int16_t> samples(reinterpret_cast<const int16_t*>(data.constData() + 44), 24 * 3675 * 2);
    const auto left = channel(samples, 0);
    EXPECT_NEAR(double(firstSound(left)), 3675, 40); // ADPCM's first codes take small steps
    EXPECT_NEAR(toneFrequency(std::span(left).subspan(8000, 30000), 44100), 440, 0.5);
    EXPECT_NEAR(rms(std::span(left).subspan(8000, 30000)), kLevel, 0.02);

    QProcess refused;
    refused.start(QStringLiteral(ZORVA_SWF_CLI),
        { "run", swf.fileName(), "--realtime", "--seconds", "1", "--wav", wav });
    ASSERT_TRUE(refused.waitForFinished(60000));
    EXPECT_EQ(refused.exitCode(), 1);
}

} // namespace
} // namespace swf::test
