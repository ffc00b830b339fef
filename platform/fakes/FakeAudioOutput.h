#pragma once

#include "platform/AudioOutput.h"

namespace platform {

// The sound device of the tests: nothing plays; the volume the sound-level control sets
// is kept for the test to read.
class FakeAudioOutput final : public AudioOutput {
public:
    void setVolume(double volume) override { volume_ = volume; }
    double volume() const override { return volume_; }

private:
    double volume_ = 1.0;
};

} // namespace platform
