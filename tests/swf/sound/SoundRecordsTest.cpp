// The sound records read from bytes written out by hand from the format's layout, then
// the writer's encoders read back; damaged records fail or keep what came before.
#include "swf/format/SoundRecords.h"

#include <gtest/gtest.h>

#include <vector>

namespace swf {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(SoundRecords, DefineSoundFieldsAndData)
{
    // ADPCM, 22 kHz, 16-bit, mono; 0x1234 samples; two bytes of data.
    const Bytes adpcm { 0x1A, 0x34, 0x12, 0x00, 0x00, 0xAA, 0xBB };
    auto sound = readSoundDefinition(adpcm);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->format.coding(), SoundCodec::Adpcm);
    EXPECT_EQ(sound->format.sampleRate(), 22050);
    EXPECT_TRUE(sound->format.sixteenBit);
    EXPECT_EQ(sound->format.channels(), 1);
    EXPECT_EQ(sound->sampleCount, 0x1234u);
    EXPECT_EQ(Bytes(sound->data.begin(), sound->data.end()), (Bytes { 0xAA, 0xBB }));

    // MP3, 44 kHz, stereo: the seek samples come before the frames.
    const Bytes mp3 { 0x2F, 0x80, 0x04, 0x00, 0x00, 0x40, 0x02, 0xFF, 0xFB };
    sound = readSoundDefinition(mp3);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->format.coding(), SoundCodec::Mp3);
    EXPECT_EQ(sound->format.channels(), 2);
    EXPECT_EQ(sound->sampleCount, 1152u);
    EXPECT_EQ(sound->seekSamples, 576);
    EXPECT_EQ(Bytes(sound->data.begin(), sound->data.end()), (Bytes { 0xFF, 0xFB }));
}

TEST(SoundRecords, RatesOfEveryCodeAndTheFixedNellymoserRates)
{
    for (auto [code, rate] : { std::pair { 0, 5512.5 }, { 1, 11025.0 }, { 2, 22050.0 }, { 3, 44100.0 } })
        EXPECT_EQ((SoundFormat { 0, uint8_t(code), true, false }.sampleRate()), rate);
    EXPECT_EQ((SoundFormat { 4, 0, true, false }.sampleRate()), 16000);
    EXPECT_EQ((SoundFormat { 5, 3, true, false }.sampleRate()), 8000);
    EXPECT_EQ((SoundFormat { 6, 1, true, false }.sampleRate()), 11025);
}

TEST(SoundRecords, StartSoundWithEveryPartOfItsSoundInfo)
{
    const Bytes body { 0x07, 0x00, // sound 7
        0x2F, // sync stop, envelope, loops, out point, in point
        0x64, 0x00, 0x00, 0x00, // in point 100
        0x88, 0x13, 0x00, 0x00, // out point 5000
        0x03, 0x00, // 3 loops
        0x02, // two envelope points
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, // at 0: left 0, right full
        0x44, 0xAC, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00 }; // at 44100: left full, right 0
    auto start = readStartSound(body);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->soundId, 7);
    const SoundInfo& info = start->info;
    EXPECT_TRUE(info.syncStop);
    EXPECT_FALSE(info.syncNoMultiple);
    EXPECT_EQ(info.inPoint, 100u);
    EXPECT_EQ(info.outPoint, 5000u);
    EXPECT_EQ(info.plays(), 3u);
    ASSERT_EQ(info.envelope.size(), 2u);
    EXPECT_EQ(info.envelope[0], (SoundEnvelopePoint { 0, 0, 32768 }));
    EXPECT_EQ(info.envelope[1], (SoundEnvelopePoint { 44100, 32768, 0 }));

    // A bare StartSound: play once, as made.
    start = readStartSound(Bytes { 0x09, 0x00, 0x10 });
    ASSERT_TRUE(start);
    EXPECT_TRUE(start->info.syncNoMultiple);
    EXPECT_EQ(start->info.plays(), 1u);
    EXPECT_FALSE(start->info.inPoint);
}

TEST(SoundRecords, StreamHeadWithMp3Latency)
{
    const Bytes body { 0x0F, 0x2A, 0x2D, 0x07, 0x40, 0x02 };
    auto head = readStreamHead(body);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->playback.sampleRate(), 44100);
    EXPECT_TRUE(head->playback.stereo);
    EXPECT_EQ(head->stream.coding(), SoundCodec::Mp3);
    EXPECT_EQ(head->stream.sampleRate(), 22050);
    EXPECT_FALSE(head->stream.stereo);
    EXPECT_EQ(head->sampleCount, 1837);
    EXPECT_EQ(head->latencySeek, 576);
    // A head without its latency field still reads.
    EXPECT_TRUE(readStreamHead(Bytes { 0x0F, 0x2A, 0x2D, 0x07 }));

    auto block = readMp3StreamBlock(Bytes { 0x80, 0x04, 0xC0, 0xFF, 0x01, 0x02 });
    ASSERT_TRUE(block);
    EXPECT_EQ(block->sampleCount, 1152);
    EXPECT_EQ(block->seekSamples, -64);
    EXPECT_EQ(block->frames.size(), 2u);
}

TEST(SoundRecords, ButtonSoundsAndExportedNames)
{
    const Bytes buttons { 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x10 };
    const ButtonSounds sounds = readButtonSounds(buttons);
    EXPECT_FALSE(sounds.byChange[0]);
    ASSERT_TRUE(sounds.byChange[1]);
    EXPECT_EQ(sounds.byChange[1]->soundId, 3);
    EXPECT_FALSE(sounds.byChange[2]);
    ASSERT_TRUE(sounds.byChange[3]);
    EXPECT_TRUE(sounds.byChange[3]->info.syncNoMultiple);

    const Bytes exports { 0x02, 0x00, 0x03, 0x00, 'c', 'l', 'i', 'c', 'k', 0x00, 0x04, 0x00, 'M', 'u', 's',
        'i', 'c', 0x00 };
    const auto names = readCharacterNames(exports);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].id, 3);
    EXPECT_EQ(names[0].name, "click");
    EXPECT_EQ(names[1].name, "Music");
}

TEST(SoundRecords, DamagedRecordsFailOrKeepWhatCameFirst)
{
    EXPECT_FALSE(readSoundDefinition(Bytes { 0x1A, 0x34, 0x12 }));
    EXPECT_FALSE(readSoundDefinition(Bytes { 0x2F, 0x80, 0x04, 0x00, 0x00, 0x40 })); // MP3 without its seek
    EXPECT_FALSE(readStartSound(Bytes { 0x07, 0x00, 0x01, 0x64, 0x00 })); // in point cut short
    EXPECT_FALSE(readStartSound(Bytes { 0x07 }));
    EXPECT_FALSE(readStreamHead(Bytes { 0x0F, 0x2A, 0x2D }));
    EXPECT_FALSE(readMp3StreamBlock(Bytes { 0x80, 0x04, 0xC0 }));
    // An envelope that claims more points than it holds.
    auto start = readStartSound(Bytes { 0x01, 0x00, 0x08, 0x03, 0, 0, 0, 0, 0, 0x80, 0, 0x80, 1, 2 });
    EXPECT_FALSE(start);

    const ButtonSounds cut = readButtonSounds(Bytes { 0x00, 0x00, 0x03, 0x00, 0x00, 0x05, 0x00, 0x01, 0x64 });
    ASSERT_TRUE(cut.byChange[1]);
    EXPECT_FALSE(cut.byChange[2]);
    EXPECT_EQ(readCharacterNames(Bytes { 0x05, 0x00, 0x01, 0x00, 'a', 0x00, 0x02, 0x00, 'b' }).size(), 1u);
}

TEST(SoundRecords, WhatTheWriterEncodesReadsBack)
{
    SoundInfo info;
    info.syncNoMultiple = true;
    info.inPoint = 44;
    info.loopCount = 65535;
    info.envelope = { { 10, 100, 200 }, { 20, 300, 400 } };
    auto start = readStartSound(startSoundBody({ 12, info }));
    ASSERT_TRUE(start);
    EXPECT_EQ(*start, (StartSoundRecord { 12, info }));

    auto named = readStartSound2(startSound2Body("Music", info));
    ASSERT_TRUE(named);
    EXPECT_EQ(named->className, "Music");
    EXPECT_EQ(named->info, info);

    const SoundFormat mp3 { uint8_t(SoundCodec::Mp3), 2, true, false };
    const StreamHead head { mp3, mp3, 1837, -12 };
    EXPECT_EQ(readStreamHead(streamHeadBody(head)), head);

    const Bytes data { 1, 2, 3 };
    const Bytes body = soundDefinitionBody(mp3, 999, data, 33);
    auto sound = readSoundDefinition(body);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->seekSamples, 33);
    EXPECT_EQ(sound->sampleCount, 999u);
    EXPECT_EQ(Bytes(sound->data.begin(), sound->data.end()), data);
}

} // namespace
} // namespace swf
