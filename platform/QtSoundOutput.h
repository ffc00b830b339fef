#pragma once

#include "AudioOutput.h"

#include <atomic>
#include <memory>
#include <mutex>

class QThread;

namespace platform {

class Feeder;

// The real sound device, through Qt Multimedia's QAudioSink (PulseAudio on Linux), at
// 44.1 kHz, 16-bit stereo. The sink lives on a thread of its own and pulls the sound from
// the engine's mixer as it plays, from a buffer of its own, so that a busy window thread
// never makes it click; the buffer is short, so that a button's sound comes with the
// press. Nothing here ever waits on the device: with no device at all, or one that stops
// taking sound, the sound is taken at the pace it would have played and dropped, so that
// the movie (whose stream sound leads its clock) plays on, silent.
class QtSoundOutput final : public AudioOutput {
public:
    // The sound the device holds ahead of what is heard.
    static constexpr int kBufferFrames = 2048; // about 46 ms

    QtSoundOutput();
    ~QtSoundOutput() override;
    QtSoundOutput(const QtSoundOutput&) = delete;
    QtSoundOutput& operator=(const QtSoundOutput&) = delete;

    bool pulls() const override { return true; }
    void start(std::shared_ptr<swf::SoundSource> source) override;
    void stop(const swf::SoundSource& source) override;
    int64_t latencyFrames() const override { return latency_.load(std::memory_order_relaxed); }
    void setVolume(double volume) override;
    double volume() const override { return volume_.load(std::memory_order_relaxed); }

    // Whether a real device took the sound last time it was opened (false: dropped).
    bool hasDevice() const { return hasDevice_.load(std::memory_order_relaxed); }
    // Frames taken from sources since the start, played or dropped.
    uint64_t framesTaken() const { return taken_.load(std::memory_order_relaxed); }

private:
    class Worker;
    friend class Feeder;
    // The next `out.size() / 2` frames of the source playing, at the volume set; silence
    // when none plays. Called on the sound thread.
    void fill(std::span<int16_t> out);

    std::unique_ptr<QThread> thread_; // made on the first start()
    Worker* worker_ = nullptr; // lives on thread_
    std::mutex lock_; // guards source_ (held only to copy the pointer)
    std::shared_ptr<swf::SoundSource> source_;
    std::atomic<double> volume_ { 1.0 };
    std::atomic<int64_t> latency_ { 0 };
    std::atomic<bool> hasDevice_ { false };
    std::atomic<uint64_t> taken_ { 0 };
};

} // namespace platform
