#pragma once

#include "swf/format/SoundRecords.h"

#include <cstdint>
#include <vector>

namespace swf {

// Sound that comes in coded units from outside the timelines (the audio of a video file a
// script plays), fed by its owner as it goes: one run at a time, each run a continuous
// sound in one format. The feed keeps nothing playing once it is gone.
class SoundFeed {
public:
    virtual ~SoundFeed() = default;
    // Starts a new run in `format`, in place of the one playing.
    virtual void start(const SoundFormat& format) = 0;
    // The run's next unit (as the format's decoder takes it).
    virtual void push(std::vector<uint8_t> unit) = 0;
    // No more units come: the run plays out what it has.
    virtual void finish() = 0;
    // Silences the run now.
    virtual void stop() = 0;
    // Whether a run is on: started, and neither stopped nor stopped by the movie's sound
    // (stopAllSounds, a rewind) nor played out.
    virtual bool playing() const = 0;
    // The movie's sound is paused (the user's pause): the owner stops its run and starts
    // another where it then stands once this is over, rather than pile up sound.
    virtual bool held() const = 0;
};

} // namespace swf
