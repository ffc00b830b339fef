#pragma once

#include "swf/display/DisplayObject.h"

namespace swf {
class MovieClip;
class Stage;
} // namespace swf

namespace swf::exporting {

// Where a movie ends when the user gave no length: at the end of its timeline, where it
// loops, or, for a movie that stands still, soon after it stopped moving.
//
// The timeline watched is the main one while it plays; a movie whose main timeline has
// one frame or stopped (its story told by a clip inside, or waiting for a click) is
// watched through the longest clip playing on it.
class MovieEnd {
public:
    enum class Verdict {
        Go, // the movie goes on
        EndBefore, // the frame just run starts the movie again: it is not part of the video
        EndWith, // the frame just run is the movie's last
    };
    enum class Reason { None, LastFrame, Loop, StandsStill, TooLong };

    // A movie standing still ends after this; a movie that never ends, after the cap.
    static constexpr double kStillSeconds = 2.0;
    static constexpr double kMaxSeconds = 3600.0;

    explicit MovieEnd(double movieRate);

    // After each frame of the movie has run. While `waiting` (a click is still to come)
    // the movie never ends but by the cap.
    Verdict frameRun(const Stage& stage, bool waiting);
    Reason reason() const { return reason_; }

private:
    const MovieClip* lead(const Stage& stage) const;
    Verdict end(Verdict verdict, Reason reason);

    double rate_;
    long long framesRun_ = 0;
    long long stillFrames_ = 0;
    int rootFrame_ = 0; // the first frame shows before any runs
    ObjectId leadId_ = 0;
    int leadFrame_ = -1;
    Reason reason_ = Reason::None;
};

} // namespace swf::exporting
