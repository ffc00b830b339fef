#include "AvCodecDecoder.h"
#include "Decoders.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

// Nellymoser Asao, through FFmpeg. The coded sound is a run of 64-byte blocks of 256
// samples each, always mono; a partial block at the end is no sound.
class NellymoserDecoder final : public SoundDecoder {
public:
    static constexpr size_t kBlockBytes = 64;
    static constexpr size_t kBlockFrames = 256;

    explicit NellymoserDecoder(const SoundFormat& format)
        : rate_(format.sampleRate())
        , codec_(AV_CODEC_ID_NELLYMOSER, static_cast<int>(std::lround(rate_)), 1)
    {
    }

    void push(std::span<const uint8_t> unit) override
    {
        unit_ = unit.first(unit.size() - unit.size() % kBlockBytes);
        pos_ = 0;
    }

    size_t decode(std::vector<float>& out, size_t frames) override
    {
        size_t added = 0;
        while (added < frames && pos_ < unit_.size()) {
            const size_t blocks = std::clamp<size_t>((frames - added) / kBlockFrames, 1, 16);
            const size_t bytes = std::min(blocks * kBlockBytes, unit_.size() - pos_);
            const size_t decoded = codec_.decode(unit_.subspan(pos_, bytes), out);
            pos_ += bytes;
            // A codec that cannot decode still stands for the time its blocks last.
            const size_t expected = bytes / kBlockBytes * kBlockFrames;
            if (decoded < expected)
                out.resize(out.size() + (expected - decoded), 0.0f);
            added += std::max(decoded, expected);
        }
        return added;
    }

    bool needsInput() const override { return pos_ >= unit_.size(); }
    double rate() const override { return rate_; }
    int channels() const override { return 1; }

private:
    double rate_;
    AvCodecDecoder codec_;
    std::span<const uint8_t> unit_;
    size_t pos_ = 0;
};

} // namespace

std::unique_ptr<SoundDecoder> makeNellymoserDecoder(const SoundFormat& format)
{
    return std::make_unique<NellymoserDecoder>(format);
}

} // namespace swf
