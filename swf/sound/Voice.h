#pragma once

#include "SoundPipeline.h"

#include "swf/format/SoundRecords.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace swf {

// A sound as it is kept: its format and coded samples, held alive by `owner` (the
// character that defines it, or the bytes of a loaded file).
struct SoundData {
    std::shared_ptr<const void> owner;
    SoundFormat format;
    uint32_t sampleCount = 0; // per channel, at the sound's rate; 0 when unknown
    int16_t seekSamples = 0; // MP3: frames to skip at the start
    std::span<const uint8_t> bytes;
    double rate = 0; // the samples' rate where the format cannot say it (a loaded MP3 at 48 kHz)

    // The length at the mixer's rate, in frames.
    uint64_t frames44() const;
};

// What the mixer tells the engine about one playing sound, read from any thread.
struct VoiceStatus {
    std::atomic<uint64_t> played { 0 }; // frames given to the mix, all passes together
    std::atomic<uint64_t> position { 0 }; // frames into the sound in the current pass, in point included
    std::atomic<bool> ended { false }; // played to its end, stopped, or never started
};

// One sound playing in the mixer. It makes stereo frames at the mixer's rate before any
// volume of the movie's; the mixer adds them into the mix.
class Voice {
public:
    virtual ~Voice() = default;
    // Writes up to `frames` frames into `out`: fewer when it has ended, or when a stream
    // is waiting for its next blocks.
    virtual size_t render(float* out, size_t frames) = 0;
    virtual bool ended() const = 0;
    // The frames into the sound (for the status), in point included.
    virtual uint64_t position() const = 0;
    // Streams take their blocks as the timeline reaches them.
    virtual void push(SoundUnit) { }
    virtual void finish() { }
};

// A sound of the dictionary (or a loaded one) played from its start to its end, with
// the in and out points, loops and envelope of its sound information.
class EventVoice final : public Voice {
public:
    // Passes shorter than this are kept after the first play, so that a short sound
    // looped many times is decoded once.
    static constexpr uint64_t kLoopCacheFrames = 5 * kMixRate;
    // The most of a sound before its in point that one render decodes and drops.
    static constexpr uint64_t kMaxSkipPerRender = 4 * kMixRate;

    EventVoice(SoundData sound, SoundInfo info);

    size_t render(float* out, size_t frames) override;
    bool ended() const override { return playsLeft_ == 0; }
    uint64_t position() const override { return info_.inPoint.value_or(0) + intoPass_; }

private:
    void startPass();
    // False while frames before the in point remain to be dropped.
    bool skipToInPoint();
    void endPass();
    void applyEnvelope(float* out, size_t frames) const;

    SoundData sound_;
    SoundInfo info_;
    uint32_t playsLeft_;
    std::unique_ptr<SoundPipeline> pass_;
    uint64_t skipLeft_ = 0; // frames before the in point still to drop in this pass
    uint64_t intoPass_ = 0; // frames played of this pass after its in point
    uint64_t envelopeAt_ = 0; // frames played of every pass: where the envelope stands
    std::vector<float> cache_; // the first pass, while it is short enough
    bool caching_;
    bool cacheComplete_ = false;
    std::vector<float> scratch_;
};

// A timeline's stream: blocks come as the timeline goes, and the voice plays them as one
// continuous sound. It waits (gives no frames) when it is ahead of them.
class StreamVoice final : public Voice {
public:
    // `skip` frames of the first block are dropped (an MP3 stream started in its middle).
    StreamVoice(const SoundFormat& format, uint32_t samplesPerBlock, uint32_t skip);

    size_t render(float* out, size_t frames) override
    {
        const size_t made = pipeline_.pull(out, frames);
        played_ += made;
        return made;
    }
    bool ended() const override { return pipeline_.ended(); }
    uint64_t position() const override { return played_; }
    void push(SoundUnit unit) override { pipeline_.push(std::move(unit)); }
    void finish() override { pipeline_.finish(); }

private:
    SoundPipeline pipeline_;
    uint64_t played_ = 0;
};

} // namespace swf
