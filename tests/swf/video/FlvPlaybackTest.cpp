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

// The picture follows the play time, each packet decoded once, on the decoding thread;
// waiting for the frame due makes the pictures the same however the thread runs.
TEST(FlvPlayback, PictureOfThePlayTime)
{
    // 10 frames, red then blue, key frames at 0, 300, 600 and 900 ms.
    const auto clip = encodeClip(twoColours("red", "blue", 5), "flashsv", 3);
    if (!clip)
        GTEST_SKIP() << "no ffmpeg";
    FlvPlayback playback;
    playback.append(clip->flv);
    playback.finish();
    playback.advance(0);
    ASSERT_TRUE(playback.picture());
    EXPECT_EQ(pixel(*playback.picture(), 4, 4), QColor(255, 0, 0));
    for (int step = 0; step < 4; ++step) {
        playback.advance(100);
        playback.picture();
    }
    EXPECT_EQ(pixel(*playback.picture(), 4, 4), QColor(255, 0, 0)) << "frame 4";
    playback.advance(100);
    EXPECT_EQ(pixel(*playback.picture(), 4, 4), QColor(0, 0, 255)) << "frame 5";
    playback.seek(0.45); // back to the key frame at 300 ms: red again
    EXPECT_EQ(pixel(*playback.picture(), 4, 4), QColor(255, 0, 0));
    for (int step = 0; step < 7; ++step) {
        playback.advance(100);
        playback.picture();
    }
    EXPECT_EQ(pixel(*playback.picture(), 4, 4), QColor(0, 0, 255));
    // Frames 0-5, then 3-9: whatever was decoded ahead past frame 5 before the seek
    // (at most kFramesAhead) was decoded twice.
    const int beforeSeek = 6, afterSeek = 7;
    EXPECT_GE(playback.decodedCount(), beforeSeek + afterSeek);
    EXPECT_LE(playback.decodedCount(), beforeSeek + afterSeek + int(FlvPlayback::kFramesAhead));
}

// Waiting, each picture is that of the frame due, whatever the thread's pace: a run
// stepped frame by frame shows the same frames every time: those that decoding in order on
// the caller's thread makes of the same packets.
TEST(FlvPlayback, WaitingShowsTheFrameDue)
{
    // Every frame different, large enough that the thread takes its time.
    const auto clip = encodeClip("testsrc=s=480x360:r=25:d=1.2", "flashsv", 12);
    if (!clip)
        GTEST_SKIP() << "no ffmpeg";
    const auto inOrder = decodeInOrder(*clip, VideoCodec::ScreenVideo);
    FlvPlayback playback;
    playback.append(clip->flv);
    playback.finish();
    playback.advance(0);
    for (int frame = 0; frame < int(clip->frames.size()); ++frame) {
        const auto shown = playback.picture();
        const auto& expected = inOrder[size_t(frame)];
        ASSERT_TRUE(shown && expected);
        EXPECT_EQ(*shown, *expected) << "frame " << frame;
        playback.advance(40);
    }
}

// A jump forward starts at the key frame before the time: the frames before it are never
// decoded.
TEST(FlvPlayback, AJumpSkipsDecodingToTheKeyFrame)
{
    // 40 frames, a key frame every 10.
    const auto clip = encodeClip(twoColours("red", "blue", 20), "flashsv", 10);
    if (!clip)
        GTEST_SKIP() << "no ffmpeg";
    FlvPlayback playback;
    playback.append(clip->flv);
    playback.finish();
    playback.advance(0);
    playback.picture();
    playback.advance(2500); // frame 25: from the key frame at 20
    EXPECT_EQ(pixel(*playback.picture(), 4, 4), QColor(0, 0, 255));
    EXPECT_LE(playback.decodedCount(), 1 + 6 + 2 * int(FlvPlayback::kFramesAhead));
}

// What the playback feeds to the mix, as a list of what happened: "start 3" (the coding),
// each unit's first byte, "finish", "stop".
class FeedLog final : public SoundFeed {
public:
    explicit FeedLog(std::vector<std::string>& log)
        : log_(log)
    {
    }
    void start(const SoundFormat& format) override
    {
        log_.push_back("start " + std::to_string(format.codec) + " " + std::to_string(format.rate)
            + (format.stereo ? " stereo" : " mono"));
        on_ = true;
    }
    void push(std::vector<uint8_t> unit) override { log_.push_back(std::to_string(unit.at(0))); }
    void finish() override { log_.push_back("finish"); }
    void stop() override
    {
        log_.push_back("stop");
        on_ = false;
    }
    bool playing() const override { return on_; }
    bool held() const override { return held_; }
    bool held_ = false;

private:
    std::vector<std::string>& log_;
    bool on_ = false;
};

std::vector<std::string> take(std::vector<std::string>& log)
{
    return std::exchange(log, {});
}

// Audio tags written as the format has them: a byte of coding (high four bits), rate,
// size and channels, then the coded bytes; here a tag every 250 ms whose one byte of
// "sound" is its number.
std::vector<uint8_t> soundFile(uint8_t formatByte, int tags)
{
    std::vector<uint8_t> file = flvHeaderBytes(true, false);
    for (int n = 0; n < tags; ++n) {
        const uint8_t data[] = { formatByte, uint8_t(n), 0 };
        appendFlvTag(file, 8, uint32_t(n) * 250, data);
    }
    return file;
}

TEST(FlvPlayback, FeedsItsSoundAheadOfThePlayTime)
{
    std::vector<std::string> log;
    FlvPlayback playback;
    playback.setSoundFeed(std::make_unique<FeedLog>(log));
    // 0x3E: little-endian PCM, 44 kHz, 16-bit, mono. Eight tags: 0 .. 1750 ms.
    playback.append(soundFile(0x3E, 8));
    playback.finish();
    EXPECT_TRUE(log.empty());
    playback.advance(100); // the buffer fills: play starts at 0
    EXPECT_EQ(take(log), (std::vector<std::string> { "start 3 3 mono", "0", "1", "2", "3" }));
    playback.advance(300);
    EXPECT_EQ(take(log), (std::vector<std::string> { "4", "5" }));

    playback.setPaused(true);
    playback.advance(500);
    EXPECT_EQ(take(log), (std::vector<std::string> { "stop" }));
    EXPECT_DOUBLE_EQ(playback.time(), 0.3);
    // Going on starts again from the first tag at or after the play time.
    playback.setPaused(false);
    playback.advance(0);
    EXPECT_EQ(take(log), (std::vector<std::string> { "start 3 3 mono", "2", "3", "4", "5" }));

    playback.seek(1.4);
    EXPECT_EQ(take(log), (std::vector<std::string> { "stop" }));
    playback.advance(100);
    EXPECT_EQ(take(log), (std::vector<std::string> { "start 3 3 mono", "6", "7", "finish" }));
    playback.advance(1000);
    EXPECT_TRUE(playback.ended());
    EXPECT_TRUE(take(log).empty()) << "the run plays out what it has";
}

// A run that the movie stopped (stopAllSounds), or that the player's pause held, starts
// again where the play time then stands, rather than pile up sound.
TEST(FlvPlayback, SoundStoppedOrHeldStartsAgainAtThePlayTime)
{
    std::vector<std::string> log;
    FlvPlayback playback;
    auto feed = std::make_unique<FeedLog>(log);
    FeedLog& movie = *feed;
    playback.setSoundFeed(std::move(feed));
    playback.append(soundFile(0x3E, 8));
    playback.advance(0);
    movie.stop();
    take(log);
    playback.advance(500);
    EXPECT_EQ(take(log), (std::vector<std::string> { "start 3 3 mono", "2", "3", "4", "5" }));
    movie.held_ = true;
    playback.advance(125);
    playback.advance(125);
    EXPECT_EQ(take(log), (std::vector<std::string> { "stop" }));
    movie.held_ = false;
    playback.advance(250);
    EXPECT_EQ(take(log), (std::vector<std::string> { "start 3 3 mono", "4", "5", "6", "7" }));
    // The file is still arriving: the run waits for more, unfinished.
    playback.advance(2000);
    EXPECT_TRUE(take(log).empty());
}

TEST(FlvPlayback, OneSoundFormatPerRun)
{
    std::vector<std::string> log;
    FlvPlayback playback;
    playback.setSoundFeed(std::make_unique<FeedLog>(log));
    std::vector<uint8_t> file = flvHeaderBytes(true, false);
    const uint8_t speex[] = { 0xB6, 0x50 }; // no decoder: skipped
    const uint8_t aacConfig[] = { 0xAF, 0x00, 0x12, 0x10 };
    const uint8_t aac[] = { 0xAF, 0x01, 0x21 };
    const uint8_t mp3[] = { 0x2F, 0x22 }; // another format once AAC plays: skipped
    const uint8_t emptyTag[] = { 0xAF, 0x01 };
    appendFlvTag(file, 8, 0, speex);
    appendFlvTag(file, 8, 0, aacConfig);
    appendFlvTag(file, 8, 0, aac);
    appendFlvTag(file, 8, 20, mp3);
    appendFlvTag(file, 8, 40, emptyTag);
    appendFlvTag(file, 8, 40, aac);
    playback.append(file);
    playback.finish();
    playback.advance(0);
    // 10: AAC; its configuration goes first (0x12: AAC LC at 44.1 kHz).
    EXPECT_EQ(take(log), (std::vector<std::string> { "start 10 3 stereo", "18", "33", "33", "finish" }));

    // MP3 at 8 kHz (coding 14) plays as MP3.
    FlvPlayback eightKilohertz;
    eightKilohertz.setSoundFeed(std::make_unique<FeedLog>(log));
    eightKilohertz.append(soundFile(0xE2, 1));
    eightKilohertz.finish();
    eightKilohertz.advance(0);
    EXPECT_EQ(take(log), (std::vector<std::string> { "start 2 0 mono", "0", "finish" }));
}

} // namespace
} // namespace swf::test
