#include "Resampler.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>

namespace swf {

Resampler::Resampler(double fromRate, int channels, int toRate)
    : fromRate_(fromRate)
    , channels_(channels)
{
    if (std::abs(fromRate - toRate) < 0.5)
        return;
    // The resampler takes whole rates: 5512.5 Hz is taken as 11025 into twice the rate.
    const bool half = std::abs(fromRate - std::round(fromRate)) > 0.01;
    const int in = static_cast<int>(std::lround(half ? fromRate * 2 : fromRate));
    const int out = half ? toRate * 2 : toRate;
    AVChannelLayout layout;
    av_channel_layout_default(&layout, channels);
    if (swr_alloc_set_opts2(
            &context_, &layout, AV_SAMPLE_FMT_FLT, out, &layout, AV_SAMPLE_FMT_FLT, in, 0, nullptr)
            < 0
        || swr_init(context_) < 0) {
        swr_free(&context_);
    }
    av_channel_layout_uninit(&layout);
}

Resampler::~Resampler()
{
    swr_free(&context_);
}

void Resampler::process(const float* in, size_t frames, std::vector<float>& out)
{
    if (frames == 0)
        return;
    if (!context_) {
        // The same rate, or no resampler to be had: the sound passes as it is (a failed
        // resampler would rather play at the wrong pitch than not at all).
        out.insert(out.end(), in, in + frames * channels_);
        return;
    }
    convert(in, frames, out);
}

void Resampler::flush(std::vector<float>& out)
{
    if (!context_)
        return;
    convert(nullptr, 0, out);
    swr_init(context_);
}

void Resampler::convert(const float* in, size_t frames, std::vector<float>& out)
{
    const int inFrames = static_cast<int>(frames);
    const int room = swr_get_out_samples(context_, inFrames);
    if (room <= 0)
        return;
    const size_t first = out.size();
    out.resize(first + size_t(room) * channels_);
    auto* dest = reinterpret_cast<uint8_t*>(out.data() + first);
    const auto* source = reinterpret_cast<const uint8_t*>(in);
    const int made = swr_convert(context_, &dest, room, in ? &source : nullptr, inFrames);
    out.resize(first + size_t(std::max(made, 0)) * channels_);
}

} // namespace swf
