#pragma once

#include "Placement.h"

#include <map>
#include <optional>

namespace swf {

// What a timeline has put at one depth, without any live object behind it.
struct ReplaySlot {
    Placement placement;
    // The depth got a new object (a place, or a move that swapped the character) within
    // the replayed frames: an object already standing there cannot be reused for it.
    bool placedInRange = false;
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

    void run(const Frame& frame);

private:
    void place(const PlaceObject& tag);
    void remove(const RemoveObject& tag);

    ReplayState& state_;
};

} // namespace swf
