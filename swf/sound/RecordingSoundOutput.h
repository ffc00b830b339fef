#pragma once

#include "swf/player/Services.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace swf {

// An output that keeps what it gets, for tests. As a recording (the default) the engine
// writes each frame's sound into it. As a device it pulls from the engine's mixer like
// a real one, but only when told: play(n) takes n frames, as a device would while it
// plays them, and latency() says how many of those are taken but not yet heard.
class RecordingSoundOutput final : public SoundOutput {
public:
    enum class Mode { Recording, Device };
    explicit RecordingSoundOutput(Mode mode = Mode::Recording)
        : mode_(mode)
    {
    }

    bool pulls() const override { return mode_ == Mode::Device; }
    void start(std::shared_ptr<SoundSource> source) override { source_ = std::move(source); }
    void stop(const SoundSource& source) override;
    int64_t latencyFrames() const override { return latency_; }
    void write(std::span<const int16_t> samples) override;

    // Device: takes `frames` frames from the source playing (silence when none).
    void play(size_t frames);
    void setLatency(int64_t frames) { latency_ = frames; }
    bool playing() const { return source_ != nullptr; }

    // Everything received: left, right, left, right ...
    const std::vector<int16_t>& samples() const { return samples_; }
    size_t frames() const { return samples_.size() / 2; }
    void clear() { samples_.clear(); }

private:
    Mode mode_;
    std::shared_ptr<SoundSource> source_;
    int64_t latency_ = 0;
    std::vector<int16_t> samples_;
};

} // namespace swf
