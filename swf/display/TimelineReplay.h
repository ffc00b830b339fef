#pragma once

#include "Placement.h"

#include <map>
#include <optional>
#include <vector>

namespace swf {

// What a timeline has put at one depth, without any live object behind it.
struct ReplaySlot {
    Placement placement;
    // The depth got a new object (a place, or a move that swapped the character) within
    // the replayed frames: an object already standing there cannot be reused for it.
    bool placedInRange = false;
    // When the replay placed it, counted over the replay: new objects are made in the
    // order their tags came, whatever their depths.
    uint32_t order = 0;
    // The frame (0-based) whose tag put the object there: a backward jump keeps a live
    // object only if it was placed by that same tag.
    int placedFrame = -1;
};

using ReplayState = std::map<int, ReplaySlot>;

// Runs the control tags of timeline frames on a ReplayState instead of live objects.
// Going to a frame is then one replay followed by one reconciliation with the live display
// list, so stepping, jumping forward and rebuilding backward all share the same rules.
class TimelineReplay {
public:
    explicit TimelineReplay(ReplayState& state)
        : state_(state)
    {
    }

    // `index` is the frame's place in its timeline.
    void run(const Frame& frame, int index = -1);
    // The depths RemoveObject tags emptied, in order.
    const std::vector<int>& removedDepths() const { return removed_; }
    // The depths of places that found their depth taken, in order.
    const std::vector<int>& failedPlaces() const { return failed_; }

private:
    void place(const PlaceObject& tag);
    void remove(const RemoveObject& tag);

    ReplayState& state_;
    std::vector<int> removed_;
    std::vector<int> failed_;
    uint32_t placed_ = 0;
    int frameIndex_ = -1;
};

} // namespace swf
