#include "VideoPump.h"

#include <algorithm>
#include <system_error>

namespace swf {

std::unique_ptr<VideoPump> VideoPump::start(std::unique_ptr<FrameDecoder> decoder, size_t framesAhead)
{
    try {
        return std::make_unique<VideoPump>(std::move(decoder), framesAhead);
    } catch (const std::system_error&) {
        return nullptr;
    }
}

VideoPump::VideoPump(std::unique_ptr<FrameDecoder> decoder, size_t framesAhead)
    : thread_(std::move(decoder), framesAhead)
{
}

int VideoPump::lastPacketFrom(int frame, const VideoPackets& packets) const
{
    for (int f = frame; f >= 0 && f > frame - kMaxCatchUp; --f) {
        if (packets.packet(f))
            return f;
    }
    return -1;
}

int VideoPump::keyFrameFrom(int target, int floor, const VideoPackets& packets) const
{
    for (int f = target; f >= floor; --f) {
        if (const auto p = packets.packet(f); p && p->key)
            return f;
    }
    return floor;
}

void VideoPump::restart(int frame, const VideoPackets& packets)
{
    restartAt(frame < 0 ? 0 : keyFrameFrom(frame, std::max(0, frame - kMaxCatchUp + 1), packets));
}

void VideoPump::restartAt(int start)
{
    thread_.flush();
    sent_ = start;
    shown_ = start - 1;
}

void VideoPump::sendAhead(const VideoPackets& packets)
{
    // The frames on the way to the one wanted make no picture: they go over the room, so
    // that a jump is caught up on the thread rather than a few packets per call.
    const int end = packets.count();
    while (sent_ < end && (sent_ < wanted_ || !thread_.full())) {
        const int frame = sent_++;
        if (const auto p = packets.packet(frame))
            thread_.push(frame, { p->data.begin(), p->data.end() });
    }
}

std::shared_ptr<const QImage> VideoPump::picture(int due, const VideoPackets& packets, bool wait)
{
    const int target = lastPacketFrom(std::min(due, packets.count() - 1), packets);
    if (target < 0)
        return current_;
    if (target < shown_) {
        restart(target, packets);
    } else if (target > shown_) {
        // On from the frame shown, unless a key frame not yet handed over comes first.
        const int start = keyFrameFrom(target, std::max(shown_ + 1, target - kMaxCatchUp + 1), packets);
        if (start > shown_ + 1 && start >= sent_)
            restartAt(start);
    }
    wanted_ = target;
    thread_.skipPicturesBefore(target);
    const auto deadline = std::chrono::steady_clock::now() + kMaxWait;
    for (;;) {
        for (VideoDecodeThread::Picture& p : thread_.take(target)) {
            if (p.image)
                current_ = std::move(p.image);
            shown_ = p.frame;
        }
        if (shown_ >= target || !wait)
            break;
        // What was taken made room for the packets still to come.
        sendAhead(packets);
        if (!thread_.waitForPicture(deadline))
            break;
    }
    sendAhead(packets);
    return current_;
}

} // namespace swf
