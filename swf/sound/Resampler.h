#pragma once

#include <cstddef>
#include <vector>

struct SwrContext;

namespace swf {

// Converts samples from the rate a sound was made at to the mixer's, with FFmpeg's
// resampler (a windowed-sinc filter): floats, interleaved, the channel count kept. At the
// same rate it only copies.
class Resampler {
public:
    Resampler(double fromRate, int channels, int toRate);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    double fromRate() const { return fromRate_; }
    int channels() const { return channels_; }
    // Converts `frames` frames of `in` and appends what comes out to `out`.
    void process(const float* in, size_t frames, std::vector<float>& out);
    // The sound still held in the filter, appended to `out`; the resampler starts afresh.
    void flush(std::vector<float>& out);

private:
    void convert(const float* in, size_t frames, std::vector<float>& out);

    double fromRate_;
    int channels_;
    SwrContext* context_ = nullptr; // null when the rates are the same (or FFmpeg failed)
};

} // namespace swf
