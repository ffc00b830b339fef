#include "MovieClip.h"

#include "FrameActions.h"
#include "Stage.h"

#include <algorithm>
#include <vector>

namespace swf {

MovieClip::MovieClip(
    Stage& stage, const Character* character, const Timeline& timeline, int depth, int nesting)
    : DisplayObject(stage, Kind::MovieClip, character, depth)
    , timeline_(timeline)
    , nesting_(nesting)
{
}

// Children go first, in reverse depth order, so that a deep tree unwinds without surprises
// in the instance count the stage keeps.
MovieClip::~MovieClip()
{
    while (!displayList_.empty())
        displayList_.erase(std::prev(displayList_.end()));
}

int MovieClip::frameCount() const
{
    return std::max<int>(1, static_cast<int>(timeline_.frames.size()));
}

const DisplayObject* MovieClip::at(int depth) const
{
    auto it = displayList_.find(depth);
    return it == displayList_.end() ? nullptr : it->second.get();
}

void MovieClip::advance()
{
    if (playing_)
        stepTimeline();

    // Collect first: a child's own step never touches this list, but the order is fixed
    // before any child runs.
    std::vector<MovieClip*> children;
    for (auto& [depth, object] : displayList_) {
        MovieClip* clip = object->asMovieClip();
        if (clip && clip->bornTick() != stage_.tick())
            children.push_back(clip);
    }
    for (MovieClip* child : children)
        child->advance();
}

void MovieClip::stepTimeline()
{
    if (currentFrame_ + 1 < frameCount()) {
        gotoFrame(currentFrame_ + 1);
        return;
    }
    if (endMode_ == EndMode::Stop) {
        playing_ = false;
        return;
    }
    // A one-frame timeline does not run its frame again.
    if (frameCount() > 1)
        gotoFrame(0);
}

void MovieClip::gotoFrame(int frame)
{
    frame = std::clamp(frame, 0, frameCount() - 1);
    if (frame == currentFrame_)
        return;

    const bool rebuild = frame < currentFrame_ || currentFrame_ < 0;
    ReplayState state;
    if (!rebuild) {
        for (const auto& [depth, object] : displayList_)
            state.emplace(depth, ReplaySlot { object->placement(), false });
    }
    TimelineReplay replay(state);
    const int first = rebuild ? 0 : currentFrame_ + 1;
    const int available = static_cast<int>(timeline_.frames.size());
    for (int f = first; f <= frame && f < available; ++f)
        replay.run(timeline_.frames[f]);

    currentFrame_ = frame;
    reconcile(state, rebuild);
    // Only the main timeline owns the stage colour.
    if (nesting_ == 0 && replay.background())
        stage_.setBackground(*replay.background());

    if (frame < available)
        stage_.actions().frameEntered(*this, timeline_.frames[frame]);
}

void MovieClip::reconcile(const ReplayState& target, bool rebuilt)
{
    // Objects that go, or whose depth got a new object, leave first; the survivors take the
    // placement the timeline gives them now.
    for (auto it = displayList_.begin(); it != displayList_.end();) {
        auto slot = target.find(it->first);
        const bool keep = slot != target.end()
            && slot->second.placement.characterId == it->second->characterId()
            && (rebuilt || !slot->second.placedInRange);
        if (keep) {
            it->second->setPlacement(slot->second.placement);
            ++it;
        } else {
            it = displayList_.erase(it);
        }
    }
    for (const auto& [depth, slot] : target) {
        if (!displayList_.contains(depth))
            create(depth, slot.placement);
    }
}

void MovieClip::create(int depth, const Placement& placement)
{
    std::unique_ptr<DisplayObject> object = stage_.instantiate(placement.characterId, depth, nesting_ + 1);
    if (!object)
        return;
    object->setPlacement(placement);
    MovieClip* clip = object->asMovieClip();
    displayList_.emplace(depth, std::move(object));
    // A new clip shows its first frame at once.
    if (clip)
        clip->gotoFrame(0);
}

} // namespace swf
