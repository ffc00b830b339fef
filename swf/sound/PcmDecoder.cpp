#include "Decoders.h"

#include <algorithm>

namespace swf {
namespace {

// Uncompressed samples: 8-bit ones unsigned around 128, 16-bit ones signed little-endian.
// The "native" coding was written by little-endian machines, so both codings read alike.
class PcmDecoder final : public SoundDecoder {
public:
    explicit PcmDecoder(const SoundFormat& format)
        : rate_(format.sampleRate())
        , channels_(format.channels())
        , bytesPerSample_(format.sixteenBit ? 2 : 1)
    {
    }

    void push(std::span<const uint8_t> unit) override
    {
        unit_ = unit;
        pos_ = 0;
    }

    size_t decode(std::vector<float>& out, size_t frames) override
    {
        const size_t frameBytes = size_t(bytesPerSample_) * channels_;
        const size_t count = std::min(frames, (unit_.size() - pos_) / frameBytes);
        const size_t samples = count * channels_;
        out.reserve(out.size() + samples);
        const uint8_t* p = unit_.data() + pos_;
        for (size_t i = 0; i < samples; ++i) {
            if (bytesPerSample_ == 2) {
                out.push_back(static_cast<int16_t>(p[0] | (p[1] << 8)) / 32768.0f);
                p += 2;
            } else {
                out.push_back((int(*p++) - 128) / 128.0f);
            }
        }
        pos_ += count * frameBytes;
        // A partial frame at the end is no sample.
        if (unit_.size() - pos_ < frameBytes)
            pos_ = unit_.size();
        return count;
    }

    bool needsInput() const override { return pos_ >= unit_.size(); }
    double rate() const override { return rate_; }
    int channels() const override { return channels_; }

private:
    double rate_;
    int channels_;
    int bytesPerSample_;
    std::span<const uint8_t> unit_;
    size_t pos_ = 0;
};

} // namespace

std::unique_ptr<SoundDecoder> makePcmDecoder(const SoundFormat& format)
{
    return std::make_unique<PcmDecoder>(format);
}

} // namespace swf
