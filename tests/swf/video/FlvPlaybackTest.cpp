// An FLV file playing as a NetStream plays it: the order of its status events and script
// data, buffering while bytes arrive, seeking to key frames, and the picture of the time.
#include "Clips.h"

#include "../runtime/Fixtures.h"

#include "swf/video/FlvPlayback.h"

#include <gtest/gtest.h>

namespace swf::test {
namespace {

std::vector<std::string> namesOf(FlvPlayback& playback)
{
    std::vector<std::string> names;
    for (const auto& event : playback.takeEvents())
        names.push_back(event.name);
    return names;
}

void callTag(std::vector<uint8_t>& file, uint32_t timeMs, const std::string& name, double time)
{
    std::vector<uint8_t> data;
    AmfValue handler;
    handler.type = AmfValue::Type::String;
    handler.string = name;
    writeAmf0(data, handler);
    AmfValue seconds;
    seconds.type = AmfValue::Type::Number;
    seconds.number = time;
    AmfValue argument;
    argument.type = AmfValue::Type::Object;
    argument.properties.push_back({ "time", seconds });
    writeAmf0(data, argument);
    appendFlvTag(file, 18, timeMs, data);
}

// A file of metadata, a cue point at 250 ms and 5 video tags 100 ms apart (their packets
// are not decoded here).
std::vector<uint8_t> smallFile()
{
    std::vector<uint8_t> file = flvHeaderBytes(false, true);
    callTag(file, 0, "onMetaData", 0.4);
    for (uint32_t n = 0; n < 5; ++n) {
        const std::vector<uint8_t> video { uint8_t(n % 2 ? 0x23 : 0x13), 0x00 };
        appendFlvTag(file, 9, n * 100, video);
        if (n == 2)
            callTag(file, 250, "onCuePoint", 0.25);
    }
    return file;
}

TEST(FlvPlayback, EventsInOrderToTheEnd)
{
    FlvPlayback playback;
    playback.append(smallFile());
    playback.finish();
    playback.advance(100);
    EXPECT_EQ(namesOf(playback),
        (std::vector<std::string> { "NetStream.Play.Start", "NetStream.Buffer.Full", "onMetaData" }));
    playback.advance(200);
    EXPECT_TRUE(namesOf(playback).empty());
    EXPECT_DOUBLE_EQ(playback.time(), 0.2);
    playback.advance(100);
    EXPECT_EQ(namesOf(playback), (std::vector<std::string> { "onCuePoint" }));
    playback.advance(500);
    EXPECT_EQ(
        namesOf(playback), (std::vector<std::string> { "NetStream.Play.Stop", "NetStream.Buffer.Empty" }));
    EXPECT_DOUBLE_EQ(playback.time(), 0.4);
    EXPECT_TRUE(playback.ended());
}

// While the file arrives, play waits for the buffer to fill and stops when it runs dry.
TEST(FlvPlayback, BuffersWhileTheFileArrives)
{
    const std::vector<uint8_t> file = smallFile();
    FlvPlayback playback;
    playback.setBufferTime(0.2);
    const size_t half = file.size() / 2;
    playback.append(std::span(file).first(half), file.size());
    EXPECT_EQ(playback.bytesTotal(), file.size());
    EXPECT_EQ(playback.bytesLoaded(), half);
    playback.advance(100);
    EXPECT_EQ(namesOf(playback), (std::vector<std::string> { "NetStream.Play.Start" }));
    playback.append(std::span(file).subspan(half, file.size() - half - 20));
    EXPECT_GE(playback.bufferLength(), 0.2);
    playback.advance(100);
    EXPECT_EQ(namesOf(playback), (std::vector<std::string> { "NetStream.Buffer.Full", "onMetaData" }));
    playback.advance(1000);
    EXPECT_EQ(namesOf(playback), (std::vector<std::string> { "onCuePoint", "NetStream.Buffer.Empty" }));
    playback.append(std::span(file).last(20));
    playback.finish();
    playback.advance(100);
    playback.advance(100);
    EXPECT_EQ(namesOf(playback),
        (std::vector<std::string> {
            "NetStream.Buffer.Full", "NetStream.Play.Stop", "NetStream.Buffer.Empty" }));
}

TEST(FlvPlayback, SeeksToTheKeyFrameBefore)
{
    FlvPlayback playback;
    playback.append(smallFile());
    playback.finish();
    playback.advance(0);
    playback.seek(0.35); // key frames at 0, 200 and 400 ms
    EXPECT_DOUBLE_EQ(playback.time(), 0.2);
    playback.advance(100);
    EXPECT_EQ(namesOf(playback),
        (std::vector<std::string> { "NetStream.Play.Start", "NetStream.Buffer.Full", "onMetaData",
            "NetStream.Seek.Notify", "onCuePoint" }));
    playback.setPaused(true);
    playback.advance(100);
    EXPECT_DOUBLE_EQ(playback.time(), 0.3);
}

TEST(FlvPlayback, NotAnFlvIsNotFound)
{
    FlvPlayback playback;
    const std::vector<uint8_t> html { '<', 'h', 't', 'm', 'l', '>', 0, 0, 0, 0 };
    playback.append(html);
    playback.advance(100);
    const auto events = playback.takeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].name, "NetStream.Play.StreamNotFound");
    EXPECT_EQ(events[0].level, "error");
    EXPECT_FALSE(playback.picture());
}

// The picture follows the play time, each packet decoded once.
TEST(FlvPlayback, PictureOfThePlayTime)
{
    const auto clip = encodeClip(twoColours("red", "blue", 5), "flashsv", 3);
    if (!clip)
        GTEST_SKIP() << "no ffmpeg";
    FlvPlayback playback;
    playback.append(clip->flv);
    playback.finish();
    playback.advance(0);
    ASSERT_TRUE(playback.picture());
    EXPECT_EQ(pixel(*playback.picture(), 4, 4), QColor(255, 0, 0));
    for (int step = 0; step < 6; ++step) {
        playback.advance(100);
        playback.picture();
    }
    EXPECT_EQ(pixel(*playback.picture(), 4, 4), QColor(0, 0, 255));
    EXPECT_EQ(playback.decodedCount(), 7);
    playback.seek(0.45); // back to the key frame at 300 ms
    EXPECT_EQ(pixel(*playback.picture(), 4, 4), QColor(255, 0, 0));
    EXPECT_EQ(playback.decodedCount(), 8);
}

} // namespace
} // namespace swf::test
