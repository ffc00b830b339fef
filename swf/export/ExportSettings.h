#pragma once

#include "ClickSchedule.h"

#include <QSize>

#include <cstdint>
#include <optional>
#include <vector>

namespace swf::exporting {

// Frames a second as a fraction, the way encoders keep time.
struct FrameRate {
    int num = 12;
    int den = 1;
    double value() const { return double(num) / den; }
};

// The closest fraction to `framesPerSecond` (a movie's rate, or the user's).
FrameRate frameRateOf(double framesPerSecond);

// What the user asked of an export.
struct ExportSettings {
    QSize size; // of the video, in pixels: the movie's stage drawn to fit ("ShowAll")
    FrameRate rate;
    // The number of frames of the video; nothing: to the movie's end or loop point.
    std::optional<int64_t> frames;
    int quality = 80; // 1 (smallest file) .. 100 (best picture)
    std::vector<Click> clicks;
};

} // namespace swf::exporting
