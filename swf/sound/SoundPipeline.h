#pragma once

#include "Resampler.h"
#include "SoundDecoder.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <vector>

namespace swf {

// The mixer's rate. Every sound is made into this before it is mixed.
inline constexpr int kMixRate = 44100;

// A piece of coded sound for a pipeline: bytes kept alive by `owner`, or `silence`
// frames (at the sound's own rate) where a stream has a frame without a block.
struct SoundUnit {
    std::shared_ptr<const void> owner;
    std::span<const uint8_t> bytes;
    uint32_t silence = 0;
};

// Coded sound in, stereo floats at the mixer's rate out: a decoder, a resampler and the
// frames made but not yet taken. Decoding happens as the frames are asked for, a little
// at a time, so that a sound of minutes costs no more at its start than a click does.
class SoundPipeline {
public:
    // `unitSamples` as makeSoundDecoder() takes it.
    SoundPipeline(const SoundFormat& format, uint32_t unitSamples);
    ~SoundPipeline();

    void push(SoundUnit unit);
    // No more units will come: once they are played, the pipeline has ended.
    void finish();
    // Drops the first `frames` frames of the sound at its own rate (an MP3's seek samples).
    void skipSource(uint32_t frames) { skip_ += frames; }
    // Keeps no more than `frames` frames of the sound at its own rate.
    void limitSource(uint32_t frames) { limit_ = frames; }

    // Writes up to `frames` frames (left, right ...) into `out`; fewer when the sound has
    // ended or is waiting for units.
    size_t pull(float* out, size_t frames);
    bool ended() const;
    // Waiting for units that have not come (a stream ahead of its blocks).
    bool starved() const { return !finished_ && available() == 0 && units_.empty() && decoderIdle(); }

private:
    size_t available() const { return (ready_.size() - readPos_) / 2; }
    bool decoderIdle() const { return !decoder_ || decoder_->needsInput(); }
    // Decodes, resamples and keeps about `frames` more frames. False when nothing more
    // can be made now.
    bool produce(size_t frames);
    // Takes `frames` frames of source_ through the skip, the limit and the resampler.
    void deliver(size_t frames, double rate, int channels);
    // Moves resampled_ into the ready frames, mono made stereo.
    void keepResampled(int channels);

    SoundFormat format_;
    uint32_t unitSamples_;
    std::unique_ptr<SoundDecoder> decoder_;
    std::unique_ptr<Resampler> resampler_;
    std::deque<SoundUnit> units_;
    SoundUnit current_; // the unit the decoder reads
    uint32_t silenceLeft_ = 0;
    uint64_t skip_ = 0;
    uint64_t limit_ = UINT64_MAX;
    uint64_t sourceFrames_ = 0; // frames of the sound made so far, at its own rate
    bool finished_ = false;
    bool flushed_ = false;
    int idleDecodes_ = 0;
    std::vector<float> source_; // scratch: decoded frames
    std::vector<float> resampled_; // scratch
    std::vector<float> ready_; // stereo frames at the mixer's rate
    size_t readPos_ = 0;
};

} // namespace swf
