// Stream sound: blocks in the main timeline and in sprites played as one continuous
// sound in step with the frames, stopping with their clip and starting again where a jump
// lands; and, on a device, the stream leading the clock while drawing is slow.
#include "PlayedMovie.h"

#include "swf/display/Stage.h"
#include "swf/format/Tags.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace swf::test {
namespace {

const double kLevel = 0.5 / std::sqrt(2.0);

// The block of frame `f` of a 22 kHz mono PCM stream at `fps`: the samples from
// f / fps to (f + 1) / fps seconds of `tone(second)`.
std::vector<uint8_t> pcmBlock(int f, double fps, const std::function<double(double)>& tone)
{
    const double perFrame = 22050 / fps;
    const auto from = std::llround(f * perFrame);
    const auto to = std::llround((f + 1) * perFrame);
    std::vector<int16_t> samples;
    for (auto i = from; i < to; ++i)
        samples.push_back(static_cast<int16_t>(std::lround(tone(double(i) / 22050) * 32767)));
    return pcmBytes(samples, true);
}

std::function<double(double)> sineOf(double frequency)
{
    return [frequency](double t) { return 0.5 * std::sin(2 * M_PI * frequency * t); };
}

const SoundFormat kStream = soundFormat(SoundCodec::PcmLittleEndian, 2, true, false);

// A movie whose main timeline streams `tone` for `frames` frames.
Writer streamingMovie(int frames, double fps, const std::function<double(double)>& tone)
{
    Writer w = soundMovie(fps);
    streamHead(w, kStream, uint16_t(22050 / fps));
    for (int f = 0; f < frames; ++f)
        streamBlockFrame(w, pcmBlock(f, fps, tone));
    return w;
}

// The largest step from one sample to the next: a gap or a jump in a sine shows here.
double largestStep(std::span<const double> samples)
{
    double worst = 0;
    for (size_t i = 1; i < samples.size(); ++i)
        worst = std::max(worst, std::abs(samples[i] - samples[i - 1]));
    return worst;
}

TEST(StreamSound, TheMainTimelinesStreamPlaysAsOneSoundInStepWithItsFrames)
{
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(streamingMovie(24, 12, sineOf(440))));
    movie.frames(23);
    ASSERT_EQ(movie.output().frames(), framesOfTicks(24, 12));
    const auto left = movie.left();
    EXPECT_LT(firstSound(left), 10u);
    const std::span<const double> body(left.data() + 100, left.size() - 200);
    EXPECT_NEAR(toneFrequency(body, 44100), 440, 0.2);
    EXPECT_NEAR(rms(body), kLevel, 0.01);
    // One sine from block to block: no step bigger than the sine's own.
    EXPECT_LT(largestStep(body), 2 * M_PI * 440 / 44100 * 0.5 * 1.2);
}

TEST(StreamSound, ASpritesStreamStartsWithTheSpriteAndStopsWithIt)
{
    Writer w = soundMovie(12);
    SpriteDefinition sprite;
    sprite.timeline.frames.resize(20);
    sprite.timeline.frames[0].tags.push_back(
        TagRecord { toCode(TagCode::SoundStreamHead), streamHeadBody({ kStream, kStream, 1837, 0 }) });
    for (int f = 0; f < 20; ++f)
        sprite.timeline.frames[f].tags.push_back(
            TagRecord { toCode(TagCode::SoundStreamBlock), pcmBlock(f, 12, sineOf(880)) });
    w.defineSprite(1, sprite);
    w.showFrame();
    w.showFrame();
    placeCharacter(w, 1, 1);
    for (int f = 2; f < 12; ++f)
        w.showFrame();

    PlayedMovie movie;
    ASSERT_TRUE(movie.load(w));
    movie.frames(5);
    const size_t period = framesOfTicks(1, 12);
    EXPECT_NEAR(double(firstSound(movie.left())), double(2 * period), 10);
    EXPECT_NEAR(toneFrequency(movie.left(3 * period, period), 44100), 880, 1);
    auto* clip = movie.player().stage()->root().at(1)->asMovieClip();
    ASSERT_NE(clip, nullptr);
    clip->stop();
    movie.frames(3);
    EXPECT_LT(rms(movie.left(6 * period + 300)), 0.0001);
    // Playing again, it goes on from the frame it stands at.
    clip->play();
    movie.frames(2);
    EXPECT_NEAR(rms(movie.left(10 * period, period)), kLevel, 0.02);
}

TEST(StreamSound, AJumpStartsTheStreamAgainWhereTheTimelineLands)
{
    // 300 Hz for the first ten frames, 900 Hz after.
    const auto tone = [](double t) { return 0.5 * std::sin(2 * M_PI * (t < 10 / 12.0 ? 300 : 900) * t); };
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(streamingMovie(20, 12, tone)));
    movie.frames(2);
    movie.player().gotoFrame(14);
    movie.frames(3);
    const size_t period = framesOfTicks(1, 12);
    EXPECT_NEAR(toneFrequency(movie.left(0, 3 * period), 44100), 300, 1);
    EXPECT_NEAR(toneFrequency(movie.left(4 * period, 2 * period), 44100), 900, 2);
    EXPECT_EQ(movie.player().currentFrame(), 17);
}

// MP3 frames of a file without tags, one span each (MPEG-1 and 2 layer III).
std::vector<std::span<const uint8_t>> mp3Frames(std::span<const uint8_t> file, int& samplesPerFrame)
{
    static const int kBitrates1[] = { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 };
    static const int kBitrates2[] = { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 };
    static const int kRates[] = { 44100, 48000, 32000 };
    std::vector<std::span<const uint8_t>> frames;
    size_t at = 0;
    while (at + 4 <= file.size() && file[at] == 0xFF && (file[at + 1] & 0xE0) == 0xE0) {
        const bool mpeg1 = (file[at + 1] & 0x18) == 0x18;
        const int* bitrates = mpeg1 ? kBitrates1 : kBitrates2;
        const int bitrate = bitrates[(file[at + 2] >> 4) % 15];
        const int rate = kRates[((file[at + 2] >> 2) & 3) % 3] / (mpeg1 ? 1 : 2);
        const int padding = (file[at + 2] >> 1) & 1;
        samplesPerFrame = mpeg1 ? 1152 : 576;
        const size_t size = size_t(samplesPerFrame / 8 * bitrate * 1000 / rate + padding);
        if (size < 4 || at + size > file.size())
            break;
        frames.push_back(file.subspan(at, size));
        at += size;
    }
    return frames;
}

TEST(StreamSound, Mp3StreamInBlocksOfWholeFrames)
{
    const auto mp3 = ffmpegSine("libmp3lame", 600, 22050, 2.0, 1, 0.5);
    if (!mp3)
        GTEST_SKIP() << "ffmpeg is not installed";
    int perFrame = 0;
    const auto frames = mp3Frames(*mp3, perFrame);
    ASSERT_GT(frames.size(), 60u);
    // Blocks as an authoring tool makes them: whole MP3 frames, as many as bring the
    // stream up to the end of each movie frame, the seek counting what a block's first
    // MP3 frame starts before its movie frame.
    const double fps = 10;
    const SoundFormat format = soundFormat(SoundCodec::Mp3, 2, true, false);
    Writer w = soundMovie(fps);
    streamHead(w, format, 2205);
    size_t next = 0;
    long made = 0;
    for (int f = 0; f < 20; ++f) {
        const long frameStart = std::lround(f * 22050 / fps);
        const long frameEnd = std::lround((f + 1) * 22050 / fps);
        std::vector<uint8_t> data;
        const long seek = frameStart - made;
        uint16_t count = 0;
        while (next < frames.size() && made < frameEnd) {
            data.insert(data.end(), frames[next].begin(), frames[next].end());
            made += perFrame;
            count += uint16_t(perFrame);
            ++next;
        }
        if (data.empty())
            w.showFrame();
        else
            streamBlockFrame(w, mp3StreamBlockBody(count, int16_t(seek), data));
    }
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(w));
    movie.frames(19);
    const auto left = movie.left();
    const std::span<const double> body(left.data() + 5000, left.size() - 10000);
    EXPECT_NEAR(toneFrequency(body, 44100), 600, 1);
    EXPECT_NEAR(rms(body), kLevel, 0.03);
    EXPECT_LT(largestStep(body), 2 * M_PI * 600 / 44100 * 0.5 * 1.5);
}

// The window is busy drawing for a quarter of a second at a time, while the device plays
// on: ten seconds of a 12 fps movie whose main timeline streams a tone.
TEST(StreamSound, OnADeviceTheStreamLeadsAndSlowDrawingSkipsFramesNotSound)
{
    constexpr double kFps = 12;
    constexpr int kLatency = 2048; // frames the device holds before they are heard
    PlayedMovie movie(RecordingSoundOutput::Mode::Device);
    movie.output().setLatency(kLatency);
    ASSERT_TRUE(movie.load(streamingMovie(140, kFps, sineOf(440))));
    QSignalSpy drawn(&movie.player(), &Player::frameChanged);
    drawn.clear();

    const int stepMs = 10; // the device takes sound in steps of 10 ms
    const int drawMs = 250; // the window thread is free once every 250 ms
    int worst = 0;
    for (int ms = stepMs; ms <= 10000; ms += stepMs) {
        movie.output().play(441);
        if (ms % drawMs != 0)
            continue;
        movie.player().advance(std::chrono::milliseconds(drawMs));
        const int64_t heard = std::max<int64_t>(0, int64_t(movie.output().frames()) - kLatency);
        const int soundFrame = static_cast<int>(heard * kFps / 44100);
        worst = std::max(worst, std::abs(movie.player().currentFrame() - soundFrame));
    }
    EXPECT_LE(worst, 1);
    // 120 frames were shown in 40 drawings: most frames were skipped, not drawn.
    EXPECT_GE(movie.player().currentFrame(), 118);
    EXPECT_LE(drawn.size(), 41);
    // And the sound went on all the while: ten seconds of the tone, no hole in it.
    const auto left = movie.left();
    ASSERT_EQ(left.size(), 441000u);
    for (size_t at = 100; at + 4410 <= left.size(); at += 4410)
        ASSERT_NEAR(rms(std::span(left).subspan(at, 4410)), kLevel, 0.01) << "at " << at;
    EXPECT_LT(largestStep(std::span(left).subspan(100)), 2 * M_PI * 440 / 44100 * 0.5 * 1.2);
}

TEST(StreamSound, ADeviceThatIsNotPlayingHoldsTheTimelineAtItsStream)
{
    PlayedMovie movie(RecordingSoundOutput::Mode::Device);
    movie.player().setLoop(false);
    ASSERT_TRUE(movie.load(streamingMovie(40, 12, sineOf(440))));
    // No sound taken: the stream has not moved, nor has the picture.
    movie.player().advance(std::chrono::milliseconds(500));
    EXPECT_EQ(movie.player().currentFrame(), 0);
    movie.output().play(framesOfTicks(6, 12) + 10);
    movie.player().advance(std::chrono::milliseconds(1));
    EXPECT_EQ(movie.player().currentFrame(), 6);
    // A second of sound at once: its twelve frames run at once.
    movie.output().play(framesOfTicks(12, 12));
    movie.player().advance(std::chrono::milliseconds(1));
    EXPECT_EQ(movie.player().currentFrame(), 18);
    // To the end of the stream, and of the movie.
    for (int second = 0; second < 3; ++second) {
        movie.output().play(44100);
        movie.player().advance(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(movie.player().currentFrame(), 39);
    EXPECT_EQ(movie.engine().playingCount(), 0u);
}

} // namespace
} // namespace swf::test
