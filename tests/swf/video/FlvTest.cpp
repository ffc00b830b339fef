// The FLV reader and AMF0: fixtures byte by byte as the format documents them, files that
// FFmpeg writes, files that arrive in pieces, and damaged files.
#include "Clips.h"

#include "swf/video/Amf0.h"

#include <gtest/gtest.h>

#include <random>

namespace swf::test {
namespace {

TEST(FlvReader, HeaderAndTagLayout)
{
    // "FLV", version 1, audio and video flags (0x05), data offset 9, back pointer 0; then a
    // video tag of 3 bytes at 0x01020304 ms (24 bits and the extension byte on top), stream
    // 0, and its back pointer 11 + 3.
    const std::vector<uint8_t> file { 'F', 'L', 'V', 0x01, 0x05, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00,
        0x00, 0x09, 0x00, 0x00, 0x03, 0x02, 0x03, 0x04, 0x01, 0x00, 0x00, 0x00, 0x12, 0x34, 0x56, 0x00, 0x00,
        0x00, 0x0E };
    const auto header = readFlvHeader(file);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->version, 1);
    EXPECT_TRUE(header->hasAudio);
    EXPECT_TRUE(header->hasVideo);
    EXPECT_EQ(header->dataOffset, 9u);
    FlvReader reader(*header);
    const auto tag = reader.next(file);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->type, uint8_t(FlvTagType::Video));
    EXPECT_EQ(tag->timeMs, 0x01020304u);
    EXPECT_EQ(tag->offset, 13u);
    EXPECT_EQ(std::vector<uint8_t>(tag->data.begin(), tag->data.end()),
        (std::vector<uint8_t> { 0x12, 0x34, 0x56 }));
    EXPECT_FALSE(reader.next(file));

    std::vector<uint8_t> written = flvHeaderBytes(true, true);
    appendFlvTag(written, 9, 0x01020304, tag->data);
    EXPECT_EQ(written, file);
    EXPECT_FALSE(readFlvHeader(std::vector<uint8_t> { 'F', 'W', 'S', 1, 5, 0, 0, 0, 9 }));
}

TEST(FlvReader, VideoAndAudioTagHeaders)
{
    // Key frame (1) of Sorenson H.263 (2).
    const auto h263 = readFlvVideo(std::vector<uint8_t> { 0x12, 0xAA });
    ASSERT_TRUE(h263);
    EXPECT_TRUE(h263->key());
    EXPECT_EQ(h263->codec, 2);
    EXPECT_EQ(h263->packet.size(), 1u);
    // Inter frame (2) of VP6 (4): the edge adjustment byte comes before the packet.
    const auto vp6 = readFlvVideo(std::vector<uint8_t> { 0x24, 0x37, 0x80, 0x01 });
    ASSERT_TRUE(vp6);
    EXPECT_FALSE(vp6->key());
    EXPECT_EQ(vp6->vp6Adjustment, 0x37);
    EXPECT_EQ(vp6->packet.size(), 2u);
    EXPECT_FALSE(readFlvVideo(std::vector<uint8_t> { 0x14 }));
    // MP3 (2), 44 kHz (3), 16 bits, stereo.
    const auto mp3 = readFlvAudio(std::vector<uint8_t> { 0x2F, 0xFF, 0xFB });
    ASSERT_TRUE(mp3);
    EXPECT_EQ(mp3->format, 2);
    EXPECT_EQ(mp3->rateIndex, 3);
    EXPECT_TRUE(mp3->sixteenBit);
    EXPECT_TRUE(mp3->stereo);
    EXPECT_EQ(mp3->payload.size(), 2u);
}

TEST(Amf0, ScriptDataCall)
{
    // "onCuePoint", then an object { name: "a", time: 1.5, flag: true } ending 00 00 09.
    const std::vector<uint8_t> bytes { 0x02, 0x00, 0x0A, 'o', 'n', 'C', 'u', 'e', 'P', 'o', 'i', 'n', 't',
        0x03, 0x00, 0x04, 'n', 'a', 'm', 'e', 0x02, 0x00, 0x01, 'a', 0x00, 0x04, 't', 'i', 'm', 'e', 0x00,
        0x3F, 0xF8, 0, 0, 0, 0, 0, 0, 0x00, 0x04, 'f', 'l', 'a', 'g', 0x01, 0x01, 0x00, 0x00, 0x09 };
    const auto call = readAmfCall(bytes);
    ASSERT_TRUE(call);
    EXPECT_EQ(call->name, "onCuePoint");
    ASSERT_EQ(call->argument.type, AmfValue::Type::Object);
    ASSERT_TRUE(call->argument.property("time"));
    EXPECT_EQ(call->argument.property("time")->number, 1.5);
    EXPECT_EQ(call->argument.property("name")->string, "a");
    EXPECT_EQ(call->argument.property("flag")->type, AmfValue::Type::Boolean);
    // Cut anywhere inside the argument, the call keeps its name only.
    for (size_t cut = 14; cut < bytes.size(); ++cut)
        EXPECT_EQ(readAmfCall(std::span(bytes).first(cut))->argument.type, AmfValue::Type::Undefined);
    // Objects nested past any sense are refused, not followed down the stack.
    std::vector<uint8_t> deep;
    for (int i = 0; i < 100000; ++i)
        deep.insert(deep.end(), { 0x03, 0x00, 0x01, 'x' });
    size_t position = 0;
    EXPECT_FALSE(readAmf0(deep, position));
}

// What FFmpeg's muxer writes: onMetaData with the picture's size, video tags in time order.
TEST(FlvReader, ReadsFfmpegFiles)
{
    const auto clip = encodeClip(twoColours("red", "blue", 5, 48, 32), "flv");
    if (!clip)
        GTEST_SKIP() << "no ffmpeg";
    ASSERT_EQ(clip->frames.size(), 10u);
    EXPECT_EQ(clip->frames[3].timeMs, 300u);
    const auto header = readFlvHeader(clip->flv);
    FlvReader reader(*header);
    const auto first = reader.next(clip->flv);
    ASSERT_TRUE(first);
    ASSERT_EQ(first->type, uint8_t(FlvTagType::Script));
    const auto meta = readAmfCall(first->data);
    ASSERT_TRUE(meta);
    EXPECT_EQ(meta->name, "onMetaData");
    ASSERT_TRUE(meta->argument.property("width"));
    EXPECT_EQ(meta->argument.property("width")->number, 48);
    EXPECT_EQ(meta->argument.property("height")->number, 32);
}

// Bytes arriving one at a time give the same tags as the whole file, each once it is whole.
TEST(FlvReader, ReadsAFileThatArrivesInPieces)
{
    std::vector<uint8_t> file = flvHeaderBytes(false, true);
    for (uint32_t t = 0; t < 5; ++t)
        appendFlvTag(file, 9, t * 100, std::vector<uint8_t>(t * 3 + 1, uint8_t(t)));
    FlvReader reader(*readFlvHeader(file));
    std::vector<uint32_t> times;
    for (size_t have = 0; have <= file.size(); ++have) {
        while (const auto tag = reader.next(std::span(file).first(have))) {
            EXPECT_EQ(tag->data.size(), tag->timeMs / 100 * 3 + 1);
            times.push_back(tag->timeMs);
        }
    }
    EXPECT_EQ(times, (std::vector<uint32_t> { 0, 100, 200, 300, 400 }));
}

TEST(FlvReader, DamagedFilesEndOrGiveWhatIsThere)
{
    const auto clip = encodeClip(twoColours("red", "blue", 5), "flv");
    std::vector<uint8_t> file = clip ? clip->flv : flvHeaderBytes(true, true);
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> damaged = file;
        for (int i = 0; i < 8; ++i)
            damaged[random() % damaged.size()] = uint8_t(random());
        damaged.resize(random() % (damaged.size() + 1));
        const auto header = readFlvHeader(damaged);
        if (!header)
            continue;
        FlvReader reader(*header);
        size_t tags = 0;
        while (const auto tag = reader.next(damaged)) {
            ASSERT_LE(tag->data.data() + tag->data.size(), damaged.data() + damaged.size());
            if (tag->type == 18)
                readAmfCall(tag->data);
            ++tags;
        }
        EXPECT_LE(tags, damaged.size() / 11);
    }
}

} // namespace
} // namespace swf::test
