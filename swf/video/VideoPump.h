#pragma once

#include "VideoDecodeThread.h"

#include <QImage>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace swf {

// One packet of a stream.
struct VideoPacket {
    std::span<const uint8_t> data;
    bool key = false;
};

// The packets of a stream by frame number, as far as its owner has them.
class VideoPackets {
public:
    // Frames 0 .. count() - 1 may have a packet.
    virtual int count() const = 0;
    // None for a frame the stream lacks.
    virtual std::optional<VideoPacket> packet(int frame) const = 0;

protected:
    ~VideoPackets() = default;
};

// Keeps a stream's decode thread fed and hands out the picture of the frame due. Playing
// in order, each packet goes to the thread once, a few frames ahead of the one due. On a
// jump (back, or on past a key frame not yet handed over) decoding starts afresh from the
// last key frame at or before the frame due, and the frames on the way make no picture.
// The picture shown stays until the one due is ready; when asked to wait, it waits for it
// (a while at most), so that a run stepped frame by frame shows the same pictures each time.
class VideoPump {
public:
    // A jump far past the last key frame (or into a stream that has none) decodes no more
    // than this many packets to reach its frame: it shows what decodes from there.
    static constexpr int kMaxCatchUp = 300;
    // The longest picture() waits for the frame due, when it waits.
    static constexpr std::chrono::milliseconds kMaxWait { 2000 };

    // Null when no thread can be started.
    static std::unique_ptr<VideoPump> start(std::unique_ptr<FrameDecoder> decoder, size_t framesAhead);

    VideoPump(std::unique_ptr<FrameDecoder> decoder, size_t framesAhead);

    // The picture of frame `due` (or of the last frame with a packet before it) when it is
    // ready, else the one shown before; with `wait`, waits for it first. Null while there
    // is none.
    std::shared_ptr<const QImage> picture(int due, const VideoPackets& packets, bool wait);
    // Hands the thread the packets after those it has, while it has room.
    void sendAhead(const VideoPackets& packets);
    // Decoding starts again from the key frame at or before `frame`.
    void restart(int frame, const VideoPackets& packets);
    // Packets through the decoder so far.
    int decodedCount() const { return thread_.decodedCount(); }

private:
    // The last frame at or before `frame` that has a packet (not looking further back than
    // the catch-up); -1 when none.
    int lastPacketFrom(int frame, const VideoPackets& packets) const;
    // Where decoding starts to reach `target`: the last key frame at or before it, not
    // before `floor`; `floor` when there is none.
    int keyFrameFrom(int target, int floor, const VideoPackets& packets) const;
    // Drops what the thread has; decoding goes on from `start`.
    void restartAt(int start);

    VideoDecodeThread thread_;
    int sent_ = 0; // the packets before this frame were handed to the thread
    int shown_ = -1; // the frame of the picture taken last from the thread
    int wanted_ = -1; // the frame asked for last: the frames before it make no picture
    std::shared_ptr<const QImage> current_;
};

} // namespace swf
