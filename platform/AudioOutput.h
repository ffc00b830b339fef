#pragma once

#include "swf/player/Services.h"

namespace platform {

// The program's sound device: where the movies' sound plays, at the output volume the
// sound-level control sets. Implementations: QtSoundOutput (Qt Multimedia) and
// FakeAudioOutput (tests).
class AudioOutput : public swf::SoundOutput {
public:
    // 0 (silent) .. 1 (as the movie mixes it).
    virtual void setVolume(double volume) = 0;
    virtual double volume() const = 0;
};

} // namespace platform
