#include "AvCodecDecoder.h"
#include "Decoders.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

#include <algorithm>
#include <optional>
#include <utility>

namespace swf {
namespace {

// AAC, through FFmpeg. The first unit is the decoder's configuration (the
// AudioSpecificConfig a video file gives ahead of its frames), each later one a raw frame.
// Sound of more than two channels keeps its first two.
class AacDecoder final : public SoundDecoder {
public:
    void push(std::span<const uint8_t> unit) override
    {
        if (!codec_) {
            codec_.emplace(AV_CODEC_ID_AAC, 44100, 2, unit);
            return;
        }
        unit_ = unit;
    }

    size_t decode(std::vector<float>& out, size_t) override
    {
        if (unit_.empty())
            return 0;
        decoded_.clear();
        const size_t frames = codec_->decode(std::exchange(unit_, {}), decoded_);
        const int channels = codec_->channels();
        if (frames == 0 || channels <= 0 || codec_->rate() <= 0)
            return 0;
        rate_ = codec_->rate();
        channels_ = std::min(channels, 2);
        for (size_t i = 0; i < frames; ++i) {
            const float* frame = decoded_.data() + i * size_t(channels);
            out.insert(out.end(), frame, frame + channels_);
        }
        return frames;
    }

    bool needsInput() const override { return unit_.empty(); }
    double rate() const override { return rate_; }
    int channels() const override { return channels_; }

private:
    std::optional<AvCodecDecoder> codec_;
    std::span<const uint8_t> unit_;
    std::vector<float> decoded_;
    double rate_ = 44100;
    int channels_ = 2;
};

} // namespace

std::unique_ptr<SoundDecoder> makeAacDecoder()
{
    return std::make_unique<AacDecoder>();
}

} // namespace swf
