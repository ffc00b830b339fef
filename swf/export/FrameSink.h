#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <span>

namespace swf::exporting {

// Where the frames of an export go, one after the other, each with the sound that
// belongs to it (interleaved 16-bit stereo at 44.1 kHz). Runs on the encoding thread.
class FrameSink {
public:
    virtual ~FrameSink() = default;

    // One frame of the video. False on a failure, with error() saying what failed.
    virtual bool addFrame(const QImage& picture, std::span<const int16_t> sound) = 0;
    // Writes what is still held and closes the output. False on a failure.
    virtual bool finish() = 0;
    virtual QString error() const = 0;
};

} // namespace swf::exporting
