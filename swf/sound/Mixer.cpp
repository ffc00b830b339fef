#include "Mixer.h"

#include <algorithm>
#include <cmath>

namespace swf {

ChannelGains ChannelGains::then(const ChannelGains& outer) const
{
    return { outer.ll * ll + outer.rl * lr, outer.lr * ll + outer.rr * lr, outer.ll * rl + outer.rl * rr,
        outer.lr * rl + outer.rr * rr };
}

namespace {

ChannelGains lerp(const ChannelGains& a, const ChannelGains& b, float t)
{
    return { a.ll + (b.ll - a.ll) * t, a.lr + (b.lr - a.lr) * t, a.rl + (b.rl - a.rl) * t,
        a.rr + (b.rr - a.rr) * t };
}

int16_t toSample(float value)
{
    return static_cast<int16_t>(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

} // namespace

struct Mixer::State {
    struct Playing {
        VoiceId id;
        std::unique_ptr<Voice> voice;
        std::shared_ptr<VoiceStatus> status;
        std::vector<SoundGroup> groups;
        ChannelGains gains; // as last mixed
        bool fresh = true; // not mixed yet: starts at its gains, no ramp
        size_t fadeLeft = 0; // stopping: frames of the fade still to go
    };

    std::vector<Playing> voices;
    std::map<SoundGroup, ChannelGains> groups;
    bool paused = false;
    float master = 1; // 0 once a pause has faded out
    std::vector<float> mix;
    std::vector<float> scratch;

    Playing* find(VoiceId id)
    {
        auto it = std::find_if(voices.begin(), voices.end(), [id](const Playing& p) { return p.id == id; });
        return it == voices.end() ? nullptr : &*it;
    }

    ChannelGains gainsOf(const std::vector<SoundGroup>& chain) const
    {
        ChannelGains gains;
        for (SoundGroup group : chain) {
            if (auto it = groups.find(group); it != groups.end())
                gains = gains.then(it->second);
        }
        if (auto it = groups.find(0); it != groups.end())
            gains = gains.then(it->second);
        return gains;
    }

    void beginStop(Playing& playing)
    {
        if (playing.fadeLeft == 0)
            playing.fadeLeft = playing.fresh ? 1 : kFadeFrames;
    }

    // Adds one voice's next `frames` frames into the mix; false once it is done.
    bool mixVoice(Playing& p, size_t frames)
    {
        const bool stopping = p.fadeLeft > 0;
        const size_t asked = stopping ? std::min(frames, p.fadeLeft) : frames;
        scratch.resize(asked * 2);
        const size_t got = p.fresh && stopping ? 0 : p.voice->render(scratch.data(), asked);
        p.status->played.fetch_add(got, std::memory_order_relaxed);
        p.status->position.store(p.voice->position(), std::memory_order_relaxed);

        const ChannelGains target = gainsOf(p.groups);
        const ChannelGains from = p.fresh ? target : p.gains;
        for (size_t i = 0; i < got; ++i) {
            ChannelGains g = lerp(from, target, float(i + 1) / float(got));
            if (stopping) {
                const float fade = float(p.fadeLeft - i) / float(kFadeFrames);
                g = lerp(ChannelGains { 0, 0, 0, 0 }, g, fade);
            }
            const float left = scratch[i * 2];
            const float right = scratch[i * 2 + 1];
            mix[i * 2] += g.ll * left + g.rl * right;
            mix[i * 2 + 1] += g.lr * left + g.rr * right;
        }
        if (got > 0) {
            p.gains = target;
            p.fresh = false;
        }
        if (stopping) {
            p.fadeLeft -= std::min(p.fadeLeft, got);
            return p.fadeLeft > 0 && got == asked;
        }
        return !p.voice->ended();
    }
};

Mixer::Mixer()
    : state_(std::make_unique<State>())
{
}

Mixer::~Mixer()
{
    for (auto& playing : state_->voices)
        playing.status->ended = true;
}

void Mixer::post(std::move_only_function<void(State&)> command)
{
    std::lock_guard guard(lock_);
    commands_.push_back(std::move(command));
}

std::shared_ptr<VoiceStatus> Mixer::start(
    VoiceId id, std::unique_ptr<Voice> voice, std::vector<SoundGroup> groups)
{
    auto status = std::make_shared<VoiceStatus>();
    post([id, voice = std::move(voice), status, groups = std::move(groups)](State& state) mutable {
        if (state.voices.size() >= kMaxVoices) {
            status->ended = true;
            return;
        }
        state.voices.push_back(
            { id, std::move(voice), std::move(status), std::move(groups), ChannelGains {}, true, 0 });
    });
    return status;
}

void Mixer::stop(VoiceId id)
{
    post([id](State& state) {
        if (State::Playing* playing = state.find(id))
            state.beginStop(*playing);
    });
}

void Mixer::stopAll()
{
    post([](State& state) {
        for (auto& playing : state.voices)
            state.beginStop(playing);
    });
}

void Mixer::push(VoiceId id, SoundUnit unit)
{
    post([id, unit = std::move(unit)](State& state) mutable {
        if (State::Playing* playing = state.find(id))
            playing->voice->push(std::move(unit));
    });
}

void Mixer::finish(VoiceId id)
{
    post([id](State& state) {
        if (State::Playing* playing = state.find(id))
            playing->voice->finish();
    });
}

void Mixer::setGains(SoundGroup group, const ChannelGains& gains)
{
    post([group, gains](State& state) { state.groups[group] = gains; });
}

void Mixer::clearGains(SoundGroup group)
{
    post([group](State& state) { state.groups.erase(group); });
}

void Mixer::setPaused(bool paused)
{
    post([paused](State& state) { state.paused = paused; });
}

void Mixer::render(std::span<int16_t> out)
{
    std::vector<std::move_only_function<void(State&)>> commands;
    {
        std::lock_guard guard(lock_);
        commands.swap(commands_);
    }
    State& state = *state_;
    for (auto& command : commands)
        command(state);

    const size_t frames = out.size() / 2;
    const float masterTarget = state.paused ? 0.0f : 1.0f;
    if (state.paused && state.master == 0.0f) {
        std::fill(out.begin(), out.end(), int16_t(0));
        return;
    }
    state.mix.assign(frames * 2, 0.0f);
    // A pause that begins takes the voices only as far as its fade: they go on from there.
    const size_t active = state.paused ? std::min(frames, kFadeFrames) : frames;
    for (auto it = state.voices.begin(); it != state.voices.end();) {
        if (state.mixVoice(*it, active)) {
            ++it;
        } else {
            it->status->ended = true;
            it = state.voices.erase(it);
        }
    }
    // A pause fades out within the render that sees it, a resume fades in.
    const float masterFrom = state.master;
    const size_t ramp = std::min(frames, kFadeFrames);
    for (size_t i = 0; i < frames; ++i) {
        const float t = i < ramp ? float(i + 1) / float(ramp) : 1.0f;
        const float level = masterFrom + (masterTarget - masterFrom) * t;
        out[i * 2] = toSample(state.mix[i * 2] * level);
        out[i * 2 + 1] = toSample(state.mix[i * 2 + 1] * level);
    }
    state.master = masterTarget;
}

} // namespace swf
