#include "AvCodecDecoder.h"
#include "Decoders.h"

#include "swf/format/BitReader.h"
#include "swf/format/BitWriter.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

#include <algorithm>

namespace swf {
namespace {

// The layout of the format's ADPCM: a 2-bit code size (2 to 5 bits a code), then blocks
// of 4096 samples, each of which starts every channel afresh with a 16-bit sample and a
// 6-bit step index, followed by 4095 codes per channel, interleaved. Blocks are not
// aligned to bytes; the last one may be short.
constexpr uint64_t kHeaderBits = 2;
constexpr uint32_t kBlockSamples = 4096;

struct AdpcmLayout {
    uint64_t codeBits; // per sample, all channels
    uint64_t startBits; // a block's first sample and index, all channels
    uint64_t blockBits() const { return startBits + codeBits * (kBlockSamples - 1); }

    AdpcmLayout(unsigned code, int channels)
        : codeBits(uint64_t(code) * channels)
        , startBits(22ull * channels)
    {
    }
    // The bits that `samples` samples take after the code size.
    uint64_t bitsFor(uint64_t samples) const
    {
        const uint64_t rest = samples % kBlockSamples;
        return samples / kBlockSamples * blockBits() + (rest ? startBits + (rest - 1) * codeBits : 0);
    }
    // The samples that fit in `bits` bits after the code size.
    uint64_t samplesIn(uint64_t bits) const
    {
        const uint64_t full = bits / blockBits();
        const uint64_t rest = bits % blockBits();
        return full * kBlockSamples + (rest >= startBits ? 1 + (rest - startBits) / codeBits : 0);
    }
};

unsigned codeSize(std::span<const uint8_t> unit)
{
    return unit.empty() ? 2 : (unit[0] >> 6) + 2;
}

// FFmpeg's "adpcm_swf" decodes this layout. Long sounds go to it one block at a time (each
// block given its own code size in front), so that a sound of minutes is never decoded in
// one piece.
class AdpcmDecoder final : public SoundDecoder {
public:
    AdpcmDecoder(const SoundFormat& format, uint32_t unitSamples)
        : rate_(format.sampleRate())
        , channels_(format.channels())
        , unitSamples_(unitSamples)
        , codec_(AV_CODEC_ID_ADPCM_SWF, static_cast<int>(rate_), channels_)
    {
    }

    void push(std::span<const uint8_t> unit) override
    {
        in_ = BitReader(unit);
        code_ = codeSize(unit);
        in_.ub(2);
        const AdpcmSpan count = adpcmSampleCount(unit, channels_);
        left_ = unitSamples_ ? std::clamp(unitSamples_, count.fewest, count.most) : count.most;
    }

    size_t decode(std::vector<float>& out, size_t frames) override
    {
        const AdpcmLayout layout(code_, channels_);
        size_t added = 0;
        while (added < frames && left_ > 0) {
            const uint32_t samples = std::min(left_, kBlockSamples);
            const uint64_t bits = std::min<uint64_t>(layout.bitsFor(samples), in_.remainingBits());
            BitWriter writer;
            writer.ub(code_ - 2, 2);
            for (uint64_t copied = 0; copied < bits;) {
                const unsigned chunk = static_cast<unsigned>(std::min<uint64_t>(16, bits - copied));
                writer.ub(in_.ub(chunk), chunk);
                copied += chunk;
            }
            const std::vector<uint8_t> packet = writer.take();
            const size_t first = out.size();
            const size_t decoded = codec_.decode(packet, out);
            // The padding of the packet's last byte may decode as a code or two more.
            const size_t kept = std::min<size_t>(decoded, samples);
            out.resize(first + kept * channels_);
            if (kept < samples)
                out.resize(first + size_t(samples) * channels_, 0.0f);
            left_ -= samples;
            added += samples;
        }
        return added;
    }

    bool needsInput() const override { return left_ == 0; }
    double rate() const override { return rate_; }
    int channels() const override { return channels_; }

private:
    double rate_;
    int channels_;
    uint32_t unitSamples_;
    AvCodecDecoder codec_;
    BitReader in_;
    unsigned code_ = 2;
    uint32_t left_ = 0; // samples of the unit still to decode
};

} // namespace

AdpcmSpan adpcmSampleCount(std::span<const uint8_t> unit, int channels)
{
    if (unit.empty())
        return {};
    const AdpcmLayout layout(codeSize(unit), channels);
    const uint64_t bits = uint64_t(unit.size()) * 8;
    const uint64_t most = layout.samplesIn(bits - kHeaderBits);
    // Fewer samples would have left the last byte unused.
    uint64_t fewest = most;
    while (fewest > 0 && kHeaderBits + layout.bitsFor(fewest - 1) > bits - 8)
        --fewest;
    const uint64_t cap = UINT32_MAX;
    return { static_cast<uint32_t>(std::min(fewest, cap)), static_cast<uint32_t>(std::min(most, cap)) };
}

std::unique_ptr<SoundDecoder> makeAdpcmDecoder(const SoundFormat& format, uint32_t unitSamples)
{
    return std::make_unique<AdpcmDecoder>(format, unitSamples);
}

} // namespace swf
