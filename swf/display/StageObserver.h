#pragma once

namespace swf {

class DisplayObject;
class MovieClip;
struct Frame;

// Hears what happens in a display tree: the seam where the layers above the timeline
// (scripts, sound) meet it. Each call comes after the change it reports:
//   - frameEntered: a clip entered a frame, by playing or by a goto, its objects in place;
//     the frame's control tags (actions, sounds) are the observer's to act on;
//   - objectAdded: an object was put on a display list (by the timeline or a script);
//   - objectRemoved: an object is about to leave its list and be destroyed (its children
//     are reported first); it is still whole during the call.
//   - tickFinished: the whole tree has advanced one tick.
//
// Observers must not change the display tree inside a call: they queue the work and run
// it once the timeline step is over, as the player runs frame scripts after the whole
// tree has advanced.
class StageObserver {
public:
    virtual ~StageObserver() = default;
    virtual void frameEntered(MovieClip&, const Frame&) { }
    virtual void objectAdded(DisplayObject&) { }
    virtual void objectRemoved(DisplayObject&) { }
    virtual void tickFinished() { }
};

} // namespace swf
