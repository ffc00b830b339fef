#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace swf {

// One of FFmpeg's audio decoders, packet in, float samples out (interleaved). Opened for
// a codec, rate and channel count (and the codec's configuration, where it has one); a
// decoder that cannot be opened decodes nothing.
class AvCodecDecoder {
public:
    AvCodecDecoder(int codecId, int sampleRate, int channels, std::span<const uint8_t> config = {});
    ~AvCodecDecoder();
    AvCodecDecoder(const AvCodecDecoder&) = delete;
    AvCodecDecoder& operator=(const AvCodecDecoder&) = delete;

    bool isOpen() const { return context_ != nullptr; }
    // The rate and channels of the samples decoded last (as opened before the first).
    int rate() const;
    int channels() const;
    // Decodes one packet and appends its samples; returns the frames added. A packet the
    // codec refuses adds nothing.
    size_t decode(std::span<const uint8_t> packet, std::vector<float>& out);

private:
    size_t take(std::vector<float>& out);

    AVCodecContext* context_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    std::vector<uint8_t> padded_;
};

} // namespace swf
