#include "TimelineReplay.h"

#include <type_traits>

namespace swf {

void TimelineReplay::run(const Frame& frame, int index)
{
    frameIndex_ = index;
    for (const ControlTag& tag : frame.tags) {
        std::visit(
            [this](const auto& t) {
                using T = std::decay_t<decltype(t)>;
                if constexpr (std::is_same_v<T, PlaceObject>)
                    place(t);
                else if constexpr (std::is_same_v<T, RemoveObject>)
                    remove(t);
            },
            tag);
    }
}

void TimelineReplay::place(const PlaceObject& tag)
{
    auto it = state_.find(tag.depth);
    if (!tag.move) {
        // A place names its character; without one there is nothing to put there. A place on
        // a taken depth fails: what stands there stays, untouched by the tag.
        if (!tag.characterId)
            return;
        if (it != state_.end()) {
            failed_.push_back(tag.depth);
            return;
        }
        state_[tag.depth] = ReplaySlot { Placement::fromTag(tag), true, ++placed_, frameIndex_ };
        return;
    }
    // A move on an empty depth has nothing to change.
    if (it == state_.end())
        return;
    ReplaySlot& slot = it->second;
    // A move that changes the character changes it in place: what stands there keeps
    // its name, whatever name the tag carries.
    const bool swapped = tag.characterId && *tag.characterId != slot.placement.characterId;
    if (swapped) {
        slot.placement.characterId = *tag.characterId;
        slot.placedInRange = true;
        slot.order = ++placed_;
        slot.placedFrame = frameIndex_;
    }
    const std::string name = slot.placement.name;
    slot.placement.applyMove(tag);
    if (swapped)
        slot.placement.name = name;
}

void TimelineReplay::remove(const RemoveObject& tag)
{
    removed_.push_back(tag.depth);
    state_.erase(tag.depth);
}

} // namespace swf
