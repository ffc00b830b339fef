// Decoders and the pipeline to the mixer's rate, compared with the signals that went in:
// sines written as PCM and ADPCM by our own encoders, MP3 and Nellymoser made by ffmpeg.
#include "SoundFixtures.h"

#include "swf/sound/SoundDecoder.h"
#include "swf/sound/SoundPipeline.h"

#include <gtest/gtest.h>

#include <cmath>

namespace swf {
namespace {

using test::channel;
using test::rms;
using test::soundFormat;
using test::toDoubles;
using test::toneFrequency;

// Everything a decoder makes of one unit.
std::vector<float> decodeAll(SoundDecoder& decoder, std::span<const uint8_t> unit)
{
    std::vector<float> out;
    decoder.push(unit);
    for (int guard = 0; guard < 100000 && !decoder.needsInput(); ++guard)
        decoder.decode(out, 4096);
    decoder.decode(out, 4096); // whatever a decoder keeps after its input is taken
    return out;
}

// Everything a pipeline makes of one unit, at 44.1 kHz stereo.
std::vector<float> pipe(const SoundFormat& format, std::span<const uint8_t> data, uint32_t samples = 0)
{
    SoundPipeline pipeline(format, samples);
    pipeline.push({ nullptr, data, 0 });
    pipeline.finish();
    std::vector<float> out;
    std::vector<float> chunk(2 * 1000);
    for (int guard = 0; guard < 100000 && !pipeline.ended(); ++guard) {
        const size_t got = pipeline.pull(chunk.data(), 1000);
        out.insert(out.end(), chunk.begin(), chunk.begin() + got * 2);
        if (got == 0)
            break;
    }
    return out;
}

double maxError(std::span<const double> a, std::span<const int16_t> b, int channels, int which)
{
    double worst = 0;
    for (size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(a[i] - b[i * channels + which] / 32768.0));
    return worst;
}

TEST(SoundDecoders, PcmOfBothCodingsIsExactAtSixteenBits)
{
    // Left 440 Hz, right 880 Hz, so that the order of the channels shows.
    const auto left = test::sine(440, 22050, 2000, 0.5);
    const auto right = test::sine(880, 22050, 2000, 0.25);
    std::vector<int16_t> stereo;
    for (size_t i = 0; i < left.size(); ++i)
        stereo.insert(stereo.end(), { left[i], right[i] });
    for (SoundCodec codec : { SoundCodec::PcmNative, SoundCodec::PcmLittleEndian }) {
        auto decoder = makeSoundDecoder(soundFormat(codec, 2, true, true));
        ASSERT_TRUE(decoder);
        const auto bytes = test::pcmBytes(stereo, true);
        const auto out = decodeAll(*decoder, bytes);
        ASSERT_EQ(out.size(), stereo.size());
        EXPECT_EQ(maxError(toDoubles(out, 2, 0), stereo, 2, 0), 0.0);
        EXPECT_EQ(maxError(toDoubles(out, 2, 1), stereo, 2, 1), 0.0);
        EXPECT_EQ(decoder->rate(), 22050);
        EXPECT_EQ(decoder->channels(), 2);
    }
}

TEST(SoundDecoders, EightBitPcmIsUnsignedAroundTheMiddle)
{
    auto decoder = makeSoundDecoder(soundFormat(SoundCodec::PcmLittleEndian, 1, false, false));
    const std::vector<uint8_t> bytes { 128, 255, 0, 192 };
    const auto out = decodeAll(*decoder, bytes);
    EXPECT_EQ(out, (std::vector<float> { 0.0f, 127 / 128.0f, -1.0f, 0.5f }));
}

TEST(SoundDecoders, AdpcmAtEveryCodeSizeFollowsTheSine)
{
    // The worst a sample may be off at each code size, for a sine at half of full scale
    // (the first samples of a block take a few codes to find their step).
    const double tolerance[] = { 0, 0, 0.35, 0.12, 0.05, 0.025 };
    for (int channels : { 1, 2 }) {
        for (int bits = 2; bits <= 5; ++bits) {
            SCOPED_TRACE(testing::Message() << bits << " bits, " << channels << " channels");
            const size_t frames = 10000; // more than two blocks of 4096
            const auto samples = test::sine(440, 22050, frames, 0.5, channels);
            const auto coded = test::encodeAdpcm(samples, channels, bits);
            auto decoder = makeSoundDecoder(soundFormat(SoundCodec::Adpcm, 2, true, channels == 2), frames);
            ASSERT_TRUE(decoder);
            const auto out = decodeAll(*decoder, coded);
            ASSERT_EQ(out.size(), samples.size());
            for (int c = 0; c < channels; ++c) {
                const auto decoded = toDoubles(out, channels, c);
                EXPECT_NEAR(toneFrequency(decoded, 22050), 440, 2);
                EXPECT_NEAR(rms(decoded), 0.5 / std::sqrt(2.0), 0.03);
                // After the first 20 samples of each block.
                double worst = 0;
                for (size_t i = 0; i < frames; ++i) {
                    if (i % 4096 >= 20)
                        worst = std::max(worst, std::abs(decoded[i] - samples[i * channels + c] / 32768.0));
                }
                EXPECT_LT(worst, tolerance[bits]);
            }
        }
    }
}

TEST(SoundDecoders, AdpcmFromBytesWrittenByHand)
{
    // 4-bit codes: a first sample of 1000 at step index 0, then code 0111 (up 7 + 3 + 1)
    // and code 1000 (down by the half step left over, 2).
    auto decoder = makeSoundDecoder(soundFormat(SoundCodec::Adpcm, 3, true, false), 3);
    auto out = decodeAll(*decoder, std::vector<uint8_t> { 0x80, 0xFA, 0x00, 0x78 });
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(std::lround(out[0] * 32768), 1000);
    EXPECT_EQ(std::lround(out[1] * 32768), 1011);
    EXPECT_EQ(std::lround(out[2] * 32768), 1009);

    // 2-bit codes: -500 at step index 10 (step 19), code 01 (up 19 + 9), code 10 (down
    // 11). Four bits of padding could be two more codes: the count given decides.
    const std::vector<uint8_t> twoBit { 0x3F, 0x83, 0x0A, 0x60 };
    EXPECT_EQ(adpcmSampleCount(twoBit, 1).fewest, 2u);
    EXPECT_EQ(adpcmSampleCount(twoBit, 1).most, 5u);
    decoder = makeSoundDecoder(soundFormat(SoundCodec::Adpcm, 3, true, false), 3);
    out = decodeAll(*decoder, twoBit);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(std::lround(out[0] * 32768), -500);
    EXPECT_EQ(std::lround(out[1] * 32768), -472);
    EXPECT_EQ(std::lround(out[2] * 32768), -483);
}

TEST(SoundDecoders, Mp3MadeByFfmpeg)
{
    for (auto [rate, channels] : { std::pair { 44100, 2 }, { 22050, 1 }, { 11025, 1 } }) {
        SCOPED_TRACE(testing::Message() << rate << " Hz, " << channels << " channels");
        const auto mp3 = test::ffmpegSine("libmp3lame", 1000, rate, 1.0, channels, 0.5);
        if (!mp3)
            GTEST_SKIP() << "ffmpeg is not installed";
        auto decoder = makeSoundDecoder(soundFormat(SoundCodec::Mp3,
            rate == 44100       ? 3
                : rate == 22050 ? 2
                                : 1,
            true, channels == 2));
        const auto out = decodeAll(*decoder, *mp3);
        EXPECT_EQ(decoder->rate(), rate);
        EXPECT_EQ(decoder->channels(), 2); // always stereo out
        const auto left = toDoubles(out, 2, 0);
        // About a second (the encoder adds its delay and pads the last frame).
        EXPECT_GE(double(left.size()) / rate, 1.0);
        EXPECT_LE(double(left.size()) / rate, 1.2);
        const std::span<const double> middle(left.data() + rate / 4, rate / 2);
        EXPECT_NEAR(toneFrequency(middle, rate), 1000, 5);
        EXPECT_NEAR(rms(middle), 0.5 / std::sqrt(2.0), 0.03);
    }
}

TEST(SoundDecoders, NellymoserMadeByFfmpegAtItsRates)
{
    // Formats 5 and 4 fix their rates at 8 and 16 kHz; format 6 takes the tag's. ffmpeg's
    // encoder makes the 8 and 16 kHz sounds some 12 dB quieter than it was given (its own
    // decoder hears the same), so only the other rates are held to the level.
    for (auto [codec, rate, rateCode, level] : { std::tuple { SoundCodec::Nellymoser8k, 8000, 0, 0.08 },
             { SoundCodec::Nellymoser16k, 16000, 0, 0.08 }, { SoundCodec::Nellymoser, 22050, 2, 0.5 },
             { SoundCodec::Nellymoser, 11025, 1, 0.5 } }) {
        SCOPED_TRACE(testing::Message() << rate << " Hz");
        const auto coded = test::ffmpegSine("nellymoser", 500, rate, 1.0, 1, 0.5);
        if (!coded)
            GTEST_SKIP() << "ffmpeg is not installed";
        auto decoder = makeSoundDecoder(soundFormat(codec, rateCode, true, false));
        EXPECT_EQ(decoder->rate(), rate);
        const auto out = decodeAll(*decoder, *coded);
        EXPECT_EQ(out.size() % 256, 0u);
        const auto samples = toDoubles(out, 1, 0);
        ASSERT_GT(samples.size(), size_t(rate) * 3 / 4);
        const std::span<const double> middle(samples.data() + rate / 4, rate / 2);
        EXPECT_NEAR(toneFrequency(middle, rate), 500, 5);
        EXPECT_NEAR(rms(middle), level / std::sqrt(2.0), level / 5);
    }
}

TEST(SoundPipelines, EveryRateComesOutAt44kHzWithItsPitchAndLevel)
{
    for (int rateCode = 0; rateCode < 4; ++rateCode) {
        const SoundFormat format = soundFormat(SoundCodec::PcmLittleEndian, rateCode, true, false);
        const double rate = format.sampleRate();
        SCOPED_TRACE(testing::Message() << rate << " Hz");
        const auto samples = test::sine(300, rate, size_t(rate / 2), 0.5);
        const auto bytes = test::pcmBytes(samples, true);
        const auto out = pipe(format, bytes);
        // Half a second at the mixer's rate, mono made stereo.
        EXPECT_NEAR(double(out.size() / 2), 22050, 8);
        const auto left = toDoubles(out, 2, 0);
        EXPECT_EQ(left, toDoubles(out, 2, 1));
        const std::span<const double> middle(left.data() + 2000, 15000);
        EXPECT_NEAR(toneFrequency(middle, 44100), 300, 0.5);
        EXPECT_NEAR(rms(middle), 0.5 / std::sqrt(2.0), 0.01);
    }
}

TEST(SoundPipelines, SilenceUnitsKeepTimeAndSkipsDropTheStart)
{
    const SoundFormat format = soundFormat(SoundCodec::PcmLittleEndian, 3, true, false);
    const std::vector<int16_t> ones(100, 16384);
    const auto bytes = test::pcmBytes(ones, true);
    SoundPipeline pipeline(format, 0);
    pipeline.skipSource(40);
    pipeline.push({ nullptr, bytes, 0 });
    pipeline.push({ nullptr, {}, 50 });
    pipeline.push({ nullptr, bytes, 0 });
    std::vector<float> out(2 * 1000);
    EXPECT_EQ(pipeline.pull(out.data(), 1000), 210u); // 60 + 50 + 100, then it waits
    EXPECT_TRUE(pipeline.starved());
    EXPECT_FALSE(pipeline.ended());
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_FLOAT_EQ(out[2 * 60], 0.0f);
    EXPECT_FLOAT_EQ(out[2 * 110], 0.5f);
    pipeline.finish();
    EXPECT_EQ(pipeline.pull(out.data(), 1000), 0u);
    EXPECT_TRUE(pipeline.ended());
}

TEST(SoundPipelines, DamagedDataMakesWhatItCanAndEnds)
{
    std::vector<uint8_t> junk(5000);
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = uint8_t(i * 7919 >> 3);
    for (uint8_t codec : { 0, 1, 2, 3, 4, 5, 6, 11, 15 }) {
        SCOPED_TRACE(int(codec));
        for (size_t size : { size_t(0), size_t(1), size_t(3), junk.size() }) {
            const auto out = pipe(SoundFormat { codec, 3, true, true }, std::span(junk).first(size), 1000);
            // Bounded by what the bytes could hold, however they are read.
            EXPECT_LE(out.size(), 2 * (size * 200 + 1000) + 4096);
        }
    }
}

} // namespace
} // namespace swf
