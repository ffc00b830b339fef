// The feeding of a stream's decode thread, with a stand-in decoder that logs what it is
// given and can be held inside a packet: what is decoded in order and after jumps, and
// that a caller who does not wait is never held by the thread.
#include "swf/video/VideoPump.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace swf::test {
namespace {

constexpr int kReset = -1;

// What the stand-in decoder did, in order: the frame of each packet decoded (its first two
// bytes), kReset for each reset. Packets whose third byte is 1 wait inside decode() while
// the gate is shut.
class DecoderLog {
public:
    std::vector<int> entries() const
    {
        std::lock_guard guard(lock_);
        return entries_;
    }
    void add(int entry)
    {
        std::lock_guard guard(lock_);
        entries_.push_back(entry);
    }
    void shut()
    {
        std::lock_guard guard(lock_);
        shut_ = true;
    }
    void open()
    {
        {
            std::lock_guard guard(lock_);
            shut_ = false;
        }
        changed_.notify_all();
    }
    void pass()
    {
        std::unique_lock guard(lock_);
        changed_.wait(guard, [this] { return !shut_; });
    }

private:
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::vector<int> entries_;
    bool shut_ = false;
};

// Pictures of one pixel that give the frame's number in red (low byte) and green.
class LoggingDecoder final : public FrameDecoder {
public:
    explicit LoggingDecoder(DecoderLog& log)
        : log_(log)
    {
    }
    bool decode(std::span<const uint8_t> packet) override
    {
        if (packet[2] == 1)
            log_.pass();
        last_ = packet[0] | packet[1] << 8;
        log_.add(last_);
        return true;
    }
    std::shared_ptr<const QImage> picture() override
    {
        if (last_ < 0)
            return nullptr;
        auto image = std::make_shared<QImage>(1, 1, QImage::Format_ARGB32_Premultiplied);
        image->fill(QColor(last_ & 0xFF, last_ >> 8, 0));
        return image;
    }
    void reset() override
    {
        log_.add(kReset);
        last_ = -1;
    }

private:
    DecoderLog& log_;
    int last_ = -1;
};

// Frames 0 .. count - 1; a key frame every `keyEvery` (0: none); `missing` frames have no
// packet; `slow` ones wait at the gate.
class Stream final : public VideoPackets {
public:
    Stream(int count, int keyEvery)
        : keyEvery_(keyEvery)
    {
        for (int n = 0; n < count; ++n)
            bytes_.push_back({ uint8_t(n), uint8_t(n >> 8), 0 });
    }
    void remove(int frame) { bytes_[size_t(frame)].clear(); }
    void makeSlow(int frame) { bytes_[size_t(frame)][2] = 1; }
    int count() const override { return int(bytes_.size()); }
    std::optional<VideoPacket> packet(int frame) const override
    {
        if (frame < 0 || frame >= count() || bytes_[size_t(frame)].empty())
            return std::nullopt;
        return VideoPacket { bytes_[size_t(frame)], keyEvery_ > 0 && frame % keyEvery_ == 0 };
    }

private:
    int keyEvery_;
    std::vector<std::vector<uint8_t>> bytes_;
};

int frameOf(const std::shared_ptr<const QImage>& image)
{
    return image ? qRed(image->pixel(0, 0)) | qGreen(image->pixel(0, 0)) << 8 : -1;
}

std::vector<int> range(int from, int to)
{
    std::vector<int> frames;
    for (int n = from; n <= to; ++n)
        frames.push_back(n);
    return frames;
}

// The log from entry `from` on.
std::vector<int> since(const DecoderLog& log, size_t from)
{
    const auto all = log.entries();
    return { all.begin() + long(std::min(from, all.size())), all.end() };
}

TEST(VideoPump, InOrderEachPacketOnceAndJumpsFromTheKeyFrameBefore)
{
    DecoderLog log;
    Stream stream(40, 10);
    stream.remove(34);
    VideoPump pump(std::make_unique<LoggingDecoder>(log), 4);
    for (int frame = 0; frame < 25; ++frame) {
        EXPECT_EQ(frameOf(pump.picture(frame, stream, true)), frame);
        EXPECT_EQ(frameOf(pump.picture(frame, stream, true)), frame);
    }
    // In order: each packet once, the frame shown and a few ahead.
    auto decoded = log.entries();
    ASSERT_GE(decoded.size(), 25u);
    EXPECT_EQ(decoded, range(0, int(decoded.size()) - 1));
    EXPECT_LE(decoded.size(), 25u + 4);

    // Back to 13: from the key frame at 10, after a reset.
    size_t mark = log.entries().size();
    EXPECT_EQ(frameOf(pump.picture(13, stream, true)), 13);
    auto after = since(log, mark);
    // A packet already in the thread's hands may still have been decoded before the reset.
    while (!after.empty() && after.front() > 13)
        after.erase(after.begin());
    ASSERT_GE(after.size(), 5u);
    EXPECT_EQ(
        std::vector<int>(after.begin(), after.begin() + 5), (std::vector<int> { kReset, 10, 11, 12, 13 }));

    // On past the key frames at 20 and 30, not yet handed over: from 30; 14 .. 29 are
    // never decoded but for those already handed over.
    mark = log.entries().size();
    EXPECT_EQ(frameOf(pump.picture(33, stream, true)), 33);
    after = since(log, mark);
    const auto reset = std::ranges::find(after, kReset);
    ASSERT_NE(reset, after.end());
    EXPECT_LE(reset - after.begin(), 4) << "no more than the packets ahead before the jump";
    EXPECT_EQ(std::vector<int>(reset, reset + 5), (std::vector<int> { kReset, 30, 31, 32, 33 }));

    // A frame without a packet shows the one before it.
    EXPECT_EQ(frameOf(pump.picture(34, stream, true)), 33);
    EXPECT_EQ(frameOf(pump.picture(35, stream, true)), 35);
    // Past the frames the stream has so far: its last.
    EXPECT_EQ(frameOf(pump.picture(500, stream, true)), 39);
}

// A jump into a stream without key frames decodes no more than the catch-up allows.
TEST(VideoPump, JumpWithoutKeyFramesIsCaughtUpFromALimitedDistance)
{
    DecoderLog log;
    Stream stream(VideoPump::kMaxCatchUp * 3, 0);
    VideoPump pump(std::make_unique<LoggingDecoder>(log), 4);
    const int target = VideoPump::kMaxCatchUp * 2;
    EXPECT_EQ(frameOf(pump.picture(target, stream, true)), target);
    auto decoded = log.entries();
    ASSERT_FALSE(decoded.empty());
    EXPECT_EQ(decoded.front(), kReset);
    EXPECT_EQ(decoded.at(1), target - VideoPump::kMaxCatchUp + 1);
    const auto last = std::ranges::find(decoded, target);
    EXPECT_EQ(last - decoded.begin(), VideoPump::kMaxCatchUp);
}

// Not waiting, the frame before stays while the one due is still being decoded, and the
// one due shows once it is ready. Frame 1 has no packet, so nothing but frame 0 can be
// ready while frame 2 is held at the gate.
TEST(VideoPump, WithoutWaitingTheFrameBeforeStaysUntilTheNextIsReady)
{
    DecoderLog log;
    Stream stream(4, 2);
    stream.remove(1);
    stream.makeSlow(2);
    VideoPump pump(std::make_unique<LoggingDecoder>(log), 4);
    log.shut();
    EXPECT_EQ(frameOf(pump.picture(0, stream, true)), 0);
    for (int call = 0; call < 3; ++call)
        EXPECT_EQ(frameOf(pump.picture(2, stream, false)), 0);
    log.open();
    EXPECT_EQ(frameOf(pump.picture(2, stream, true)), 2);
    EXPECT_EQ(frameOf(pump.picture(3, stream, true)), 3);
}

} // namespace
} // namespace swf::test
