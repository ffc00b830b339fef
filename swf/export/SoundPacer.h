#pragma once

#include "ExportSettings.h"

#include <cstdint>
#include <span>
#include <vector>

namespace swf::exporting {

// Keeps the sound of a video as long as its pictures. The movie's sound comes a movie
// frame at a time and the video's frames may run at another rate, so the sound is held
// back and let out up to the end of each video frame; at the end it is cut or filled
// with silence to the video's length exactly.
class SoundPacer {
public:
    SoundPacer(FrameRate rate, int sampleRate);

    // The sound that came with video frame `frames` - 1; returns what is due by its end.
    std::vector<int16_t> frameShown(std::span<const int16_t> sound);
    // Silence for what the video still lacks at its end.
    std::vector<int16_t> end() const;

private:
    // The sample frames due by the end of `frames` video frames.
    int64_t dueBy(int64_t frames) const;

    FrameRate rate_;
    int sampleRate_;
    int64_t frames_ = 0;
    int64_t given_ = 0; // sample frames let out
    std::vector<int16_t> held_;
};

} // namespace swf::exporting
