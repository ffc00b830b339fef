#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <span>

namespace swf {

class MovieLoader;

// What makes the sound: the engine's mixer. An output asks it for the next samples
// (interleaved stereo, 16-bit, at the output's rate) as it needs them, from its own thread.
class SoundSource {
public:
    virtual ~SoundSource() = default;
    // Fills `out` with the next samples (left, right, left, right ...). Called by one
    // thread at a time; quick, and never waits for the engine.
    virtual void render(std::span<int16_t> out) = 0;
};

// Where the mixed sound of a movie goes. There are two kinds:
//   - a device plays in real time (pulls() is true): from start() until stop() it asks the
//     source for sound on a thread of its own, at the pace it plays, and the stream sound
//     of a movie leads the frame clock by what it has played;
//   - a recording, or nowhere (pulls() is false): the engine mixes each frame's sound as
//     the frame is shown and hands it over with write(), so that a run repeats exactly.
// No device (a server, a container) is the null output: silence, never a failure.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual int sampleRate() const { return 44100; }
    virtual bool pulls() const { return false; }
    // Devices: plays `source` from now on, in place of any other. Never blocks.
    virtual void start(std::shared_ptr<SoundSource>) { }
    // Devices: stops playing `source` (if it is the one playing). Never blocks; the
    // source may be rendered once more while this returns, so the caller shares it.
    virtual void stop(const SoundSource&) { }
    // Devices: the frames rendered but not yet heard.
    virtual int64_t latencyFrames() const { return 0; }
    // Recordings: the sound of one frame of the movie, `samples` (left, right ...).
    virtual void write(std::span<const int16_t>) { }
};

// Sound into nowhere: what a machine without a sound device, the tests and the
// command-line tool use. It keeps the count of what it was given.
class NullSoundOutput final : public SoundOutput {
public:
    void write(std::span<const int16_t> samples) override { frames_ += samples.size() / 2; }
    uint64_t framesWritten() const { return frames_; }

private:
    uint64_t frames_ = 0;
};

// Random numbers for scripts (Math.random, random()).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual uint32_t next() = 0; // uniform over all 32-bit values
    // Uniform in [0, 1).
    double unit() { return next() / 4294967296.0; }
};

// The same numbers on every run from the same seed: for tests and the command-line tool.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(uint32_t seed = 1)
        : engine_(seed)
    {
    }
    uint32_t next() override { return static_cast<uint32_t>(engine_()); }

private:
    std::mt19937 engine_;
};

// Different numbers on every run: for the player.
class SystemRandom final : public RandomSource {
public:
    SystemRandom()
        : engine_(std::random_device {}())
    {
    }
    uint32_t next() override { return static_cast<uint32_t>(engine_()); }

private:
    std::mt19937 engine_;
};

// The date and time for scripts (Date).
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual int64_t msecsSinceEpoch() const = 0; // UTC
    // Local time minus UTC at that instant, in minutes.
    virtual int utcOffsetMinutes(int64_t msecsSinceEpoch) const = 0;
};

class SystemWallClock final : public WallClock {
public:
    int64_t msecsSinceEpoch() const override;
    int utcOffsetMinutes(int64_t msecsSinceEpoch) const override;
};

// One fixed instant in UTC: for tests and the command-line tool.
class FixedWallClock final : public WallClock {
public:
    // 2005-06-01 12:00:00 UTC, in the era of the movies this player serves.
    static constexpr int64_t kDefault = 1117627200000;
    explicit FixedWallClock(int64_t msecsSinceEpoch = kDefault)
        : now_(msecsSinceEpoch)
    {
    }
    int64_t msecsSinceEpoch() const override { return now_; }
    int utcOffsetMinutes(int64_t) const override { return 0; }

private:
    int64_t now_;
};

// What the engine reaches outside itself through. The player makes the real ones; tests
// and the command-line tool give their own, so that runs repeat exactly.
struct Services {
    MovieLoader& loader;
    SoundOutput& sound;
    RandomSource& random;
    WallClock& clock;
};

} // namespace swf
