#pragma once

#include "VideoRecords.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace swf {

// The largest picture a video may decode to, in pixels; a stream that declares more (or
// whose packets do) shows nothing rather than take the memory.
inline constexpr int kMaxVideoPixels = 2048 * 1536;
inline constexpr int kMaxVideoSide = 4096;

// What turns one stream's packets, given in stream order, into pictures.
class FrameDecoder {
public:
    virtual ~FrameDecoder() = default;
    // Decodes the next packet; false when it completes no picture (a damaged packet).
    virtual bool decode(std::span<const uint8_t> packet) = 0;
    // The last picture decoded; null when there is none.
    virtual std::shared_ptr<const QImage> picture() = 0;
    // Forgets the pictures decoded so far, before decoding restarts at a key frame.
    virtual void reset() = 0;
};

// One video stream's decoder: FFmpeg's libavcodec for the codec, its libswscale for the
// colours. Packets go in in stream order; each gives the picture it completes.
class VideoDecoder final : public FrameDecoder {
public:
    struct Options {
        VideoCodec codec = VideoCodec::SorensonH263;
        uint8_t deblocking = 0; // as DefineVideoStream gives it
        // Pixels cut from the right and bottom edges of each picture (FLV's VP6 streams
        // give them in a byte of their own). Cut here rather than by libavcodec, whose
        // cropping of damaged streams is less careful.
        uint8_t cropRight = 0;
        uint8_t cropBottom = 0;
    };

    // Null when libavcodec has no decoder for the codec.
    static std::unique_ptr<VideoDecoder> open(const Options& options);
    ~VideoDecoder() override;
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    bool decode(std::span<const uint8_t> packet) override;
    // Premultiplied ARGB, converted on the first call after it was decoded (frames decoded
    // only on the way to another are never converted); null also when it is larger than
    // the limits.
    std::shared_ptr<const QImage> picture() override;
    void reset() override;

private:
    VideoDecoder() = default;
    std::shared_ptr<const QImage> convert(const AVFrame& frame);

    AVCodecContext* context_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVFrame* last_ = nullptr; // the last picture decoded, while `haveLast_`
    bool haveLast_ = false;
    std::shared_ptr<const QImage> converted_; // `last_` as an image, once asked for
    SwsContext* scaler_ = nullptr;
    uint8_t cropRight_ = 0;
    uint8_t cropBottom_ = 0;
};

} // namespace swf
