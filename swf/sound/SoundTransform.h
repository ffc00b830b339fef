#pragma once

#include "Mixer.h"

namespace swf {

// Volume and balance as scripts see them (Sound.setVolume, setPan, setTransform): the
// volume in percent (100 as made, more amplifies) and the four-way mix in percent: how
// much of the left channel goes to the left (ll) and to the right (lr) speaker, and of
// the right channel (rl, rr).
struct SoundTransform {
    double volume = 100;
    double ll = 100;
    double lr = 0;
    double rl = 0;
    double rr = 100;

    // -100 (left only) .. 100 (right only): the side turned down is the other one.
    double pan() const;
    void setPan(double pan);
    ChannelGains gains() const;
    friend bool operator==(const SoundTransform&, const SoundTransform&) = default;
};

} // namespace swf
