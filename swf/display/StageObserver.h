#pragma once

namespace swf {

class DisplayObject;
class MovieClip;
struct Frame;

// How a button moved between its states, as DefineButton2's conditions name the moves
// (Idle: pointer away; OverUp: over it, not pressed; OverDown: pressed over it; OutDown:
// pressed and dragged off it).
enum class ButtonTransition : uint8_t {
    IdleToOverUp,
    OverUpToIdle,
    OverUpToOverDown,
    OverDownToOverUp,
    OverDownToOutDown,
    OutDownToOverDown,
    OutDownToIdle,
    IdleToOverDown,
    OverDownToIdle,
};

// Hears what happens in a display tree: the seam where the layers above the timeline
// (scripts, sound) meet it. Each call comes after the change it reports:
//   - frameEntered: a clip entered a frame, by playing or by a goto, its objects in place;
//     the frame's control tags (actions, sounds) are the observer's to act on;
//   - objectAdded: an object was put on a display list (by the timeline or a script);
//   - placeFailed: a clip's timeline placed an object on a depth already taken (the tag's
//     depth), and what stood there stayed;
//   - objectRemoved: an object is about to leave its list and be destroyed (its children
//     are reported first); it is still whole during the call.
//   - objectUnloading: the timeline is about to remove an object (a RemoveObject, or a
//     frame it jumped to does not hold it), still at its depth. An observer that answers
//     true keeps it: it moves below every depth (unloadDepth) and stays there, its
//     timeline stopped, until that observer removes it (MovieClip::remove), which it
//     does once the scripts the object runs on unloading have run;
//   - tickFinished: the whole tree has advanced one tick;
//   - buttonTransition: a button changed state (its actions and sounds follow from it).
//
// Observers must not change the display tree inside a call: they queue the work and run
// it once the timeline step is over, as the player runs frame scripts after the whole
// tree has advanced.
class StageObserver {
public:
    virtual ~StageObserver() = default;
    virtual void frameEntered(MovieClip&, const Frame&) { }
    virtual void objectAdded(DisplayObject&) { }
    virtual void placeFailed(MovieClip&, int /*depth*/) { }
    virtual void objectRemoved(DisplayObject&) { }
    virtual bool objectUnloading(DisplayObject&) { return false; }
    virtual void tickFinished() { }
    virtual void buttonTransition(DisplayObject& /*button*/, ButtonTransition) { }
};

} // namespace swf
