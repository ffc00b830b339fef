#pragma once

#include <chrono>
#include <cstdint>

namespace swf {

// The engine's frame clock: a fixed step at the movie's rate over time that is added to it.
//
// Time is kept exactly: frame n is due at n / rate seconds from the start, so a 24 fps
// movie runs 240 frames in 10 seconds however the time comes in. When frames fall behind
// (a slow frame, a stalled machine) a few of them are run at once to catch up, and the
// rest of the lateness is dropped, so that a stall is never followed by a burst of frames
// that would make the next stall worse.
//
// The window's timer and the command-line tool drive the same clock: the window with the
// time that really passed, the tool a whole frame at a time.
class FrameClock {
public:
    using Duration = std::chrono::nanoseconds;
    // The frames run at once to catch up; lateness beyond them is dropped.
    static constexpr int kMaxCatchUp = 4;
    // Rates the clock keeps to. A rate of 0 (or junk) in the file means "as fast as the
    // player goes", which here is the top of the range.
    static constexpr double kMinRate = 1.0;
    static constexpr double kMaxRate = 120.0;

    explicit FrameClock(double framesPerSecond = 12.0);

    // Starts again at time 0 with no frame run, at `framesPerSecond` (clamped).
    void reset(double framesPerSecond);
    double rate() const;

    // `elapsed` more time has passed: the number of frames to run now, at most kMaxCatchUp.
    int advance(Duration elapsed);
    // An outside clock leads (a stream sound that is being heard): `frames` more frames
    // have been run, and the last of them has been showing for `intoFrame`. The clock's
    // time becomes that, so that once the outside clock stops, the frames go on at the
    // rate from there, without a burst and without a pause.
    void follow(int64_t frames, Duration intoFrame);
    // The time from now until the next frame is due.
    Duration untilNextFrame() const;
    Duration framePeriod() const;
    // The frames counted since the start, run or dropped.
    int64_t frames() const { return frames_; }
    int64_t framesDropped() const { return dropped_; }
    Duration time() const { return Duration(elapsed_); }

private:
    // The frame that is due at `nanoseconds` from the start.
    int64_t dueAt(int64_t nanoseconds) const;

    // The rate as a fraction of 256ths (the file's 8.8 fixed point), so that due times
    // are exact integers of nanoseconds.
    int64_t rate256_ = 12 * 256;
    int64_t elapsed_ = 0; // nanoseconds since the start
    int64_t frames_ = 0;
    int64_t dropped_ = 0;
};

} // namespace swf
