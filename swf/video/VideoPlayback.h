#pragma once

#include "VideoDecoder.h"

#include <QImage>

#include <functional>
#include <memory>
#include <optional>
#include <span>

namespace swf {

// One packet of a stream, by its frame number.
struct VideoPacket {
    std::span<const uint8_t> data;
    bool key = false;
};

// Shows any frame of a stream, decoding as little as it must: the frames after the one
// shown in order, each once; on a jump, from the last key frame at or before the target
// (or on from the frame shown, when no key frame lies between). The picture of the frame
// shown is kept, so showing it again decodes nothing.
class VideoPlayback {
public:
    // The most packets one call decodes to reach its frame: a jump far past the last key
    // frame (or into a stream that has none) costs no more than this.
    static constexpr int kMaxCatchUp = 300;

    // The packet of a frame number; none for a frame the stream lacks (the picture before
    // it stays).
    using PacketSource = std::function<std::optional<VideoPacket>(int frame)>;

    explicit VideoPlayback(VideoDecoder::Options options);

    // The picture of `frame`; null while nothing decodes.
    std::shared_ptr<const QImage> frame(int frame, const PacketSource& packets);
    int shownFrame() const { return shown_; }
    // How many packets went through the decoder so far.
    int decodedCount() const { return decoded_; }
    // Forgets everything: the next frame decodes from its key frame.
    void reset();

private:
    int startOf(int target, const PacketSource& packets) const;

    VideoDecoder::Options options_;
    std::unique_ptr<VideoDecoder> decoder_;
    bool failed_ = false; // no decoder for the codec
    int shown_ = -1;
    std::shared_ptr<const QImage> picture_;
    int decoded_ = 0;
};

} // namespace swf
