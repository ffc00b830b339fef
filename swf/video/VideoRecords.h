#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace swf {

// The codecs of video in movies and in FLV files, by the number both formats give them.
enum class VideoCodec : uint8_t {
    SorensonH263 = 2,
    ScreenVideo = 3,
    Vp6 = 4,
    Vp6Alpha = 5,
    ScreenVideo2 = 6,
};

// Whether this engine decodes video of that number.
bool isKnownVideoCodec(uint8_t codec);

// DefineVideoStream (60), the body after the character id.
struct VideoStreamDefinition {
    uint16_t frameCount = 0;
    uint16_t width = 0; // pixels
    uint16_t height = 0;
    // 0: as each frame says; 1: off; 2..5: on, at increasing strength.
    uint8_t deblocking = 0;
    bool smoothing = false;
    uint8_t codec = 0;
    friend bool operator==(const VideoStreamDefinition&, const VideoStreamDefinition&) = default;
};

std::optional<VideoStreamDefinition> readVideoStream(std::span<const uint8_t> body);
std::vector<uint8_t> videoStreamBody(const VideoStreamDefinition& definition);

// VideoFrame (61): one frame of a stream, its packet as the codec reads it.
struct VideoFrameRecord {
    uint16_t streamId = 0;
    uint16_t frameNumber = 0;
    std::span<const uint8_t> packet;
};

std::optional<VideoFrameRecord> readVideoFrame(std::span<const uint8_t> body);
std::vector<uint8_t> videoFrameBody(uint16_t streamId, uint16_t frameNumber, std::span<const uint8_t> packet);

// Whether a packet of `codec` starts a picture on its own, so that decoding may begin
// there after a seek. Told from the packet's own header, without decoding it; a packet
// too damaged to tell is no key frame.
bool isKeyFrame(VideoCodec codec, std::span<const uint8_t> packet);

} // namespace swf
