#pragma once

#include "swf/display/DisplayObject.h"

#include <cstdint>

namespace swf {
struct Movie;
}

namespace swf::script {

// What the Sound class asks of the sound engine. The sound engine implements it and
// hands it to the script engine (ScriptEngine::setSoundControl); without one, Sound
// objects are silent and report nothing playing. `clip` is the clip a Sound object was
// made for (0 for the global sound), whose volume and pan its sounds take.
class SoundControl {
public:
    virtual ~SoundControl() = default;
    // stopAllSounds().
    virtual void stopAll() = 0;
    // Starts the library sound `characterId` of `movie` for `clip`, `offset` seconds in,
    // `loops` times. Returns an id for the playing sound, 0 when it cannot play.
    virtual int start(const Movie& movie, uint16_t characterId, ObjectId clip, double offset, int loops) = 0;
    // Stops what plays for `clip`: every sound, or only those of `characterId` when not 0.
    virtual void stop(ObjectId clip, uint16_t characterId) = 0;
    // Volume in percent (100 as recorded) and pan (-100 left .. 100 right) of `clip`'s sounds.
    virtual void setVolume(ObjectId clip, int volume) = 0;
    virtual void setPan(ObjectId clip, int pan) = 0;
    // How far a playing sound is, and how long a library sound lasts, in milliseconds.
    virtual double position(int playing) const = 0;
    virtual double duration(const Movie& movie, uint16_t characterId) const = 0;
    // Whether a sound started with start() has played to its end.
    virtual bool finished(int playing) const = 0;
};

} // namespace swf::script
