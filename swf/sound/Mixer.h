#pragma once

#include "Voice.h"

#include "swf/player/Services.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace swf {

// How loud a sound comes out of each side: out left = ll * left + rl * right, out right
// = lr * left + rr * right (1 is as made).
struct ChannelGains {
    float ll = 1;
    float lr = 0;
    float rl = 0;
    float rr = 1;
    ChannelGains then(const ChannelGains& outer) const; // this one, then `outer` on its result
    friend bool operator==(const ChannelGains&, const ChannelGains&) = default;
};

using VoiceId = uint64_t;
// A group of sounds whose volume is set together: a clip's (by its object id) or, for 0,
// the whole movie's.
using SoundGroup = uint64_t;

// Mixes the playing sounds into the output: 44.1 kHz, 16-bit stereo.
//
// Two threads meet here. The engine (the window's thread) only posts commands, which
// take a lock for as long as it takes to append to a list, and reads each voice's
// status, which is atomic. The output's thread renders: it takes the commands at the
// start of each render and then owns the voices alone, decoding as it mixes. So neither
// side ever waits for the other's work. Without a real-time output the engine renders
// itself, a frame's worth at a time.
class Mixer final : public SoundSource {
public:
    static constexpr size_t kMaxVoices = 32; // more at once are not started
    // Stops and pauses fade out over this many frames rather than click.
    static constexpr size_t kFadeFrames = 256;

    Mixer();
    ~Mixer() override;

    // ---- The engine's side ----------------------------------------------------------------

    // Starts `voice`, its volume set by `groups` (its clip, that clip's parents...) and
    // the movie's. The status says when it has ended.
    std::shared_ptr<VoiceStatus> start(
        VoiceId id, std::unique_ptr<Voice> voice, std::vector<SoundGroup> groups);
    void stop(VoiceId id);
    void stopAll();
    void push(VoiceId id, SoundUnit unit); // the next block of a stream
    void finish(VoiceId id); // a stream's last block was pushed
    void setGains(SoundGroup group, const ChannelGains& gains);
    void clearGains(SoundGroup group);
    // A paused mixer keeps its voices where they are and plays silence.
    void setPaused(bool paused);

    // ---- The output's side --------------------------------------------------------------

    void render(std::span<int16_t> out) override;

private:
    struct State;
    void post(std::move_only_function<void(State&)> command);

    std::mutex lock_;
    std::vector<std::move_only_function<void(State&)>> commands_;
    std::unique_ptr<State> state_; // the render side's alone
};

} // namespace swf
