// Event sounds as movies start them: from their frame, at their pitch and level, with
// the in and out points, loops, envelope and syncs of their sound information; from
// buttons; under the movie's and the clips' volume; and past damaged records.
#include "PlayedMovie.h"

#include "swf/display/Stage.h"
#include "swf/format/ShapeBuilder.h"
#include "swf/format/Tags.h"

#include <gtest/gtest.h>

#include <cmath>

namespace swf::test {
namespace {

const double kLevel = 0.5 / std::sqrt(2.0); // the RMS of a sine at half of full scale

// A PCM sine as sound `id`: `seconds` long at 22 kHz mono (rate code 2).
void defineTone(
    Writer& w, uint16_t id, double frequency, double seconds, double rate = 22050, int rateCode = 2)
{
    const auto samples = sine(frequency, rate, size_t(rate * seconds), 0.5);
    defineSound(w, id, soundFormat(SoundCodec::PcmLittleEndian, rateCode, true, false),
        pcmBytes(samples, true), uint32_t(samples.size()));
}

// The frames from the first sound on to the last.
std::pair<size_t, size_t> soundSpan(const std::vector<double>& samples)
{
    const size_t first = firstSound(samples);
    size_t last = first;
    for (size_t i = first; i < samples.size(); ++i) {
        if (std::abs(samples[i]) > 0.02)
            last = i;
    }
    return { first, last };
}

TEST(EventSounds, StartSoundPlaysFromItsFrameAtItsPitchAndLevel)
{
    for (int rateCode = 0; rateCode < 4; ++rateCode) {
        const double rate = SoundFormat { 0, uint8_t(rateCode), true, false }.sampleRate();
        SCOPED_TRACE(rate);
        Writer w = soundMovie(12);
        defineTone(w, 1, 440, 0.5, rate, rateCode);
        w.showFrame();
        startSound(w, 1);
        for (int f = 1; f < 12; ++f)
            w.showFrame();
        PlayedMovie movie;
        ASSERT_TRUE(movie.load(w));
        movie.frames(11);
        // Twelve frames of a twelfth of a second each; the sound from the second on.
        ASSERT_EQ(movie.output().frames(), framesOfTicks(12, 12));
        const auto left = movie.left();
        const auto [first, last] = soundSpan(left);
        EXPECT_NEAR(double(first), double(framesOfTicks(1, 12)), 2);
        EXPECT_NEAR(double(last - first), 22050, 16);
        const std::span<const double> middle(left.data() + first + 2000, 16000);
        EXPECT_NEAR(toneFrequency(middle, 44100), 440, 0.5);
        EXPECT_NEAR(rms(middle), kLevel, 0.01);
        EXPECT_EQ(left, movie.right());
    }
}

TEST(EventSounds, InAndOutPointsLoopsAndEnvelope)
{
    Writer w = soundMovie(10);
    defineTone(w, 1, 1000, 0.2, 44100, 3);
    SoundInfo info;
    info.inPoint = 2205; // 50 ms in
    info.outPoint = 6615; // to 150 ms: 100 ms a pass
    info.loopCount = 3;
    // The left channel rises from silence over the three passes; the right one stays off.
    info.envelope = { { 0, 0, 0 }, { 13230, 32768, 0 } };
    startSound(w, 1, info);
    for (int f = 0; f < 6; ++f)
        w.showFrame();
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(w));
    movie.frames(5);
    const auto left = movie.left();
    const auto [first, last] = soundSpan(left);
    EXPECT_LT(first, 2000u); // the envelope starts at silence
    EXPECT_NEAR(double(last), 13230, 30);
    EXPECT_LT(rms(movie.right()), 0.001);
    EXPECT_NEAR(rms(std::span(left).subspan(11000, 2000)), kLevel * 0.9, 0.04);
    EXPECT_NEAR(rms(std::span(left).subspan(6000, 1000)), kLevel * 0.5, 0.04);
    EXPECT_NEAR(toneFrequency(std::span(left).subspan(8000, 4000), 44100), 1000, 1);
}

TEST(EventSounds, AnInPointFarIntoALongSoundPlaysOnlyWhatFollowsIt)
{
    // Eight seconds at 300 Hz, then two at 600 Hz; played from eight seconds in.
    Writer w = soundMovie(12);
    auto samples = sine(300, 11025, 8 * 11025, 0.5);
    const auto last = sine(600, 11025, 2 * 11025, 0.5);
    samples.insert(samples.end(), last.begin(), last.end());
    defineSound(w, 1, soundFormat(SoundCodec::PcmLittleEndian, 1, true, false), pcmBytes(samples, true),
        uint32_t(samples.size()));
    SoundInfo info;
    info.inPoint = 8 * 44100;
    startSound(w, 1, info);
    for (int f = 0; f < 36; ++f)
        w.showFrame();
    PlayedMovie movie;
    ASSERT_TRUE(movie.load(w));
    movie.frames(35);
    const auto left = movie.left();
    const auto [first, end] = soundSpan(left);
    // What comes before the in point is dropped a few seconds per step: a late start.
    EXPECT_LE(first, framesOfTicks(2, 12));
    EXPECT_NEAR(double(end - first), 2 * 44100, 50);
    EXPECT_NEAR(toneFrequency(std::span(left).subspan(first + 1000, 60000), 44100), 600, 0.5);
}

TEST(EventSounds, SyncStopAndNoMultiple)
{
    Writer w = soundMovie(12);
    defineTone(w, 1, 360, 3.0); // whole cycles in two frames: two started two frames apart add up
    SoundInfo once;
    once.syncNoMultiple = true;
    startSound(w, 1, once);
    w.showFrame();
    startSound(w, 1, once); // already playing: nothing new
    w.showFrame();
    startSound(w, 1); // a second one
    w.showFrame();
    SoundInfo stop;
    stop.syncStop = true;
    startSound(w, 1, stop);
    w.showFrame();
    w.showFrame();

    PlayedMovie movie;
    ASSERT_TRUE(movie.load(w));
    EXPECT_EQ(movie.engine().playingCount(), 1u);
    movie.frames(1);
    EXPECT_EQ(movie.engine().playingCount(), 1u);
    movie.frames(1);
    EXPECT_EQ(movie.engine().playingCount(), 2u);
    movie.frames(2);
    EXPECT_EQ(movie.engine().playingCount(), 0u);
    // Silent from a fade's length after the frame that stopped them.
    const auto left = movie.left(framesOfTicks(3, 12) + 300);
    EXPECT_LT(rms(left), 0.0001);
    EXPECT_NEAR(rms(movie.left(framesOfTicks(2, 12), 3000)), 2 * kLevel, 0.02);
}

TEST(EventSounds, ButtonSoundsPlayOnTheirStateChanges)
{
    Writer w = soundMovie(12);
    defineTone(w, 1, 300, 0.2);
    defineTone(w, 2, 900, 0.2);
    ShapeBuilder shape;
    shape.fill1(shape.addSolidFill({ 0, 0, 0, 255 })).rectangle(Rect { 0, 200, 0, 200 });
    w.defineShape(7, shape.build());
    ButtonSounds sounds;
    sounds.byChange[1] = StartSoundRecord { 2, {} }; // rolled over
    sounds.byChange[2] = StartSoundRecord { 1, {} }; // pressed
    std::vector<uint8_t> body { 7, 0 };
    const auto rest = buttonSoundsBody(sounds);
    body.insert(body.end(), rest.begin(), rest.end());
    w.rawTag(toCode(TagCode::DefineButtonSound), body);
    placeCharacter(w, 7, 1);
    for (int f = 0; f < 8; ++f)
        w.showFrame();

    PlayedMovie movie;
    ASSERT_TRUE(movie.load(w));
    DisplayObject* button = movie.player().stage()->root().at(1);
    ASSERT_NE(button, nullptr);
    movie.player().stage()->notifyButtonTransition(*button, ButtonTransition::OverUpToOverDown);
    movie.frames(2);
    EXPECT_NEAR(toneFrequency(movie.left(framesOfTicks(1, 12), 3000), 44100), 300, 1);
    movie.player().stage()->notifyButtonTransition(*button, ButtonTransition::IdleToOverUp);
    movie.frames(2);
    EXPECT_NEAR(
        toneFrequency(movie.left(framesOfTicks(3, 12) + 2000, 3000), 44100), 900, 2); // after the first ended
    // A move that has no sound of its own plays none.
    movie.player().stage()->notifyButtonTransition(*button, ButtonTransition::OverDownToOutDown);
    movie.frames(4);
    EXPECT_LT(rms(movie.left(framesOfTicks(7, 12))), 0.0001);
}

TEST(EventSounds, TheMoviesAndTheClipsVolumeAndPan)
{
    // Sound 1 starts in the main timeline, sound 2 inside a sprite.
    Writer w = soundMovie(12);
    defineTone(w, 1, 440, 2.0);
    defineTone(w, 2, 440, 2.0);
    SpriteDefinition sprite;
    sprite.timeline.frames.resize(1);
    sprite.timeline.frames[0].tags.push_back(
        TagRecord { toCode(TagCode::StartSound), startSoundBody({ 2, {} }) });
    w.defineSprite(3, sprite);
    placeCharacter(w, 3, 1);
    startSound(w, 1);
    for (int f = 0; f < 12; ++f)
        w.showFrame();

    PlayedMovie movie;
    ASSERT_TRUE(movie.load(w));
    DisplayObject* clip = movie.player().stage()->root().at(1);
    ASSERT_NE(clip, nullptr);
    const size_t period = framesOfTicks(1, 12);
    // Both in phase: twice the level.
    EXPECT_NEAR(rms(movie.left(0, period)), 2 * kLevel, 0.02);

    SoundTransform half;
    half.volume = 50;
    movie.engine().setSoundTransform(0, half);
    movie.frames(2);
    EXPECT_NEAR(rms(movie.left(2 * period, period)), kLevel, 0.02);

    // The clip's sound only on the left: the right side hears the main timeline's alone.
    SoundTransform left;
    left.setPan(-100);
    EXPECT_EQ(left.pan(), -100);
    movie.engine().setSoundTransform(clip->id(), left);
    movie.frames(2);
    EXPECT_NEAR(rms(movie.left(4 * period, period)), kLevel, 0.02);
    EXPECT_NEAR(rms(movie.right(4 * period, period)), kLevel / 2, 0.02);
}

TEST(EventSounds, DamagedSoundRecordsAreSkippedAndTheMoviePlaysOn)
{
    Writer w = soundMovie(12);
    w.define(toCode(TagCode::DefineSound), 2, std::vector<uint8_t> { 0x3A, 0x10 }); // cut short
    w.define(toCode(TagCode::DefineSound), 3,
        soundDefinitionBody(SoundFormat { 15, 3, true, false }, 100, std::vector<uint8_t>(200, 0x55)));
    w.define(toCode(TagCode::DefineSound), 4,
        soundDefinitionBody(
            soundFormat(SoundCodec::Mp3, 3, true, true), 100000, std::vector<uint8_t>(3000, 0xFF)));
    defineTone(w, 5, 440, 0.5);
    std::vector<uint8_t> exports = characterNamesBody(std::vector<NamedCharacter> { { 5, "Beep" } });
    w.rawTag(toCode(TagCode::ExportAssets), exports);
    w.rawTag(toCode(TagCode::StartSound), std::vector<uint8_t> { 0x05 }); // no room for the id
    w.rawTag(toCode(TagCode::StartSound), std::vector<uint8_t> { 0x05, 0x00, 0x01, 0x10 }); // in point cut
    startSound(w, 2);
    startSound(w, 3);
    startSound(w, 4);
    startSound(w, 99); // no such character
    w.showFrame();
    w.rawTag(toCode(TagCode::StartSound2), startSound2Body("Beep", {}));
    for (int f = 1; f < 8; ++f)
        w.showFrame();

    PlayedMovie movie;
    ASSERT_TRUE(movie.load(w));
    movie.frames(7);
    EXPECT_EQ(movie.player().currentFrame(), 7);
    // Only the sound named by StartSound2 is heard, from the second frame.
    const auto left = movie.left();
    EXPECT_NEAR(double(firstSound(left)), double(framesOfTicks(1, 12)), 2);
    EXPECT_NEAR(toneFrequency(std::span(left).subspan(5000, 10000), 44100), 440, 0.5);
}

} // namespace
} // namespace swf::test
