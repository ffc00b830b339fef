#pragma once

namespace swf {

class MovieClip;
struct Frame;

// The seam where the script layer meets the timeline. A clip calls it each time it enters
// a frame (by playing or by a goto), after the frame's objects are in place. The frame's
// DoAction tags are the implementation's to run.
//
// Implementations must not change the display tree inside the call: they queue the work
// and run it once the timeline step is over, as the player runs frame scripts after the
// whole tree has advanced.
class FrameActions {
public:
    virtual ~FrameActions() = default;
    virtual void frameEntered(MovieClip& clip, const Frame& frame) = 0;
};

// Scripts ignored: what runs until the ActionScript machine exists, and in tools that only
// want pictures of the timeline.
class NoFrameActions final : public FrameActions {
public:
    void frameEntered(MovieClip&, const Frame&) override { }
};

} // namespace swf
