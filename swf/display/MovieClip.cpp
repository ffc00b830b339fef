#include "MovieClip.h"

#include "Names.h"
#include "Stage.h"

#include <algorithm>
#include <vector>

namespace swf {

MovieClip::MovieClip(Stage& stage, const Movie& movie, const Character* character, const Timeline& timeline,
    int depth, int nesting)
    : DisplayObject(stage, character, depth)
    , movie_(&movie)
    , timeline_(&timeline)
    , nesting_(nesting)
{
}

// Children go first, in reverse depth order, so that a deep tree unwinds without surprises
// in the instance count the stage keeps.
MovieClip::~MovieClip()
{
    clearList();
}

void MovieClip::clearList()
{
    while (!displayList_.empty())
        erase(std::prev(displayList_.end()));
}

DisplayList::iterator MovieClip::erase(DisplayList::iterator it)
{
    // What a clip holds leaves before the clip itself.
    if (MovieClip* clip = it->second->asMovieClip())
        clip->clearList();
    stage_.notifyRemoved(*it->second);
    return displayList_.erase(it);
}

DisplayList::iterator MovieClip::dropByTimeline(DisplayList::iterator it)
{
    DisplayObject& object = *it->second;
    const int waiting = unloadDepth(it->first);
    if (object.unloading() || displayList_.contains(waiting) || !stage_.notifyUnloading(object))
        return erase(it);
    std::unique_ptr<DisplayObject> moving = std::move(it->second);
    it = displayList_.erase(it);
    insert(std::move(moving), waiting, object.origin(), true);
    return it;
}

void MovieClip::replaceMovie(const Movie& movie)
{
    clearList();
    drawing_.clear();
    movie_ = &movie;
    timeline_ = &movie.timeline;
    character_ = nullptr;
    currentFrame_ = -1;
    playing_ = true;
}

void MovieClip::draw(DrawContext& context) const
{
    if (!drawing_.empty())
        drawing_.drawing().paint(context);
}

QRectF MovieClip::ownBounds() const
{
    return drawing_.bounds();
}

bool MovieClip::hitsOwn(QPointF local) const
{
    return drawing_.hits(local);
}

QPainterPath MovieClip::ownOutline(double& work) const
{
    work = 0;
    return drawing_.empty() ? QPainterPath() : drawing_.outline(work);
}

int MovieClip::framesLoaded() const
{
    return static_cast<int>(timeline_->frames.size());
}

int MovieClip::frameCount() const
{
    int frames = framesLoaded();
    // Only a movie's own timeline arrives piece by piece; a sprite is whole once defined.
    if (timeline_ == &movie_->timeline && !movie_->complete)
        frames = std::max<int>(frames, movie_->header.frameCount);
    return std::max(1, frames);
}

bool MovieClip::movieFallsShort() const
{
    return movie_->complete && movie_->timeline.frames.size() < movie_->header.frameCount;
}

bool MovieClip::cutShort() const
{
    return isMovieRoot() && movie_->truncated && framesLoaded() < movie_->header.frameCount;
}

std::optional<int> MovieClip::frameOfLabel(std::string_view label, bool caseSensitive) const
{
    for (int f = 0; f < framesLoaded(); ++f) {
        for (const std::string& name : timeline_->frames[f].labels) {
            if (sameName(name, label, caseSensitive))
                return f;
        }
    }
    return std::nullopt;
}

DisplayObject* MovieClip::at(int depth) const
{
    auto it = displayList_.find(depth);
    return it == displayList_.end() ? nullptr : it->second.get();
}

DisplayObject* MovieClip::childByName(std::string_view name, bool caseSensitive) const
{
    for (const auto& [depth, object] : displayList_) {
        if (sameName(object->name(), name, caseSensitive))
            return object.get();
    }
    return nullptr;
}

void MovieClip::advance()
{
    if (playing_)
        stepTimeline();

    // The children are fixed before any of them runs, and found again by id, so that one
    // child's step cannot pull another from under the loop.
    std::vector<ObjectId> children;
    for (auto& [depth, object] : displayList_) {
        if (object->bornTick() != stage_.tick() && !object->unloading()
            && (object->asMovieClip() || object->children()))
            children.push_back(object->id());
    }
    for (ObjectId id : children) {
        if (DisplayObject* object = stage_.find(id)) {
            if (MovieClip* clip = object->asMovieClip())
                clip->advance();
            else
                object->tick();
        }
    }
}

void MovieClip::stepTimeline()
{
    const int next = currentFrame_ + 1;
    if (next < frameCount()) {
        // A frame still on its way is waited for.
        if (next < framesLoaded())
            gotoFrame(next);
        return;
    }
    if (cutShort())
        return;
    // A movie that holds fewer frames than its header declares never arrives whole: its
    // sprites wait on their last frame for the rest, as its root does, and never loop. So
    // does a sprite whose own body ends open.
    if (!isMovieRoot() && (movieFallsShort() || timeline_->openEnded))
        return;
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
    const int available = framesLoaded();
    frame = std::clamp(frame, 0, std::max(0, available - 1));
    if (frame == currentFrame_)
        return;

    // The timeline works on its own objects only.
    const bool rebuild = frame < currentFrame_ || currentFrame_ < 0;
    ReplayState state;
    if (!rebuild) {
        for (const auto& [depth, object] : displayList_) {
            if (object->origin() == Origin::Timeline)
                state.emplace(depth, ReplaySlot { object->placement(), false, 0, object->placedFrame() });
        }
    }
    TimelineReplay replay(state);
    const int first = rebuild ? 0 : currentFrame_ + 1;
    for (int f = first; f <= frame && f < available; ++f)
        replay.run(timeline_->frames[f], f);

    // Going back rebuilds the timeline's depths: what a script made among them (a copy
    // made at a negative depth) does not survive it. The timeline's own objects that a
    // script swapped there stay where the script put them, and what waits to unload
    // stays below them.
    if (rebuild && currentFrame_ >= 0) {
        for (auto it = displayList_.lower_bound(0);
             it != displayList_.end() && it->first < kScriptDepthOffset;) {
            if (it->second->origin() != Origin::Timeline && it->second->placedFrame() < 0)
                it = erase(it);
            else
                ++it;
        }
    }
    currentFrame_ = frame;
    // A RemoveObject empties its depth whoever stands there: a script's clip that
    // swapped into a timeline depth goes with it.
    if (!rebuild) {
        for (const int depth : replay.removedDepths()) {
            auto it = displayList_.find(depth);
            if (it != displayList_.end() && it->second->origin() != Origin::Timeline
                && depth < kScriptDepthOffset)
                dropByTimeline(it);
        }
    }
    reconcile(state, rebuild);
    for (const int depth : replay.failedPlaces())
        stage_.notifyPlaceFailed(*this, depth);

    if (frame < available)
        stage_.notifyFrameEntered(*this, timeline_->frames[frame]);
}

void MovieClip::reconcile(const ReplayState& target, bool rebuilt)
{
    // The timeline's objects that go, or whose depth got a new object, leave first; the
    // survivors take the placement the timeline gives them now.
    for (auto it = displayList_.begin(); it != displayList_.end();) {
        DisplayObject& object = *it->second;
        if (object.origin() != Origin::Timeline || object.unloading()) {
            ++it;
            continue;
        }
        auto slot = target.find(it->first);
        const bool keep = slot != target.end() && slot->second.placement.characterId == object.characterId()
            && (rebuilt ? slot->second.placedFrame == object.placedFrame()
                        || slot->second.placement.ratio == object.ratio()
                        : !slot->second.placedInRange);
        if (keep && rebuilt) {
            // An object kept through a jump back keeps its name: the tag that named the
            // one first placed there may not be the one that placed this object.
            Placement placement = slot->second.placement;
            placement.name.clear();
            object.applyTimelinePlacement(placement);
            ++it;
        } else if (keep) {
            object.applyTimelinePlacement(slot->second.placement);
            ++it;
        } else if (rebuilt && it->first >= kScriptDepthOffset) {
            // Going back rebuilds the timeline's own depths only: what the timeline put
            // up among the script depths stays.
            ++it;
        } else {
            it = dropByTimeline(it);
        }
    }
    // A depth a script's object holds is not the timeline's to fill. New objects come in
    // the order the timeline placed them.
    std::vector<std::pair<uint32_t, int>> made;
    for (const auto& [depth, slot] : target) {
        if (!displayList_.contains(depth))
            made.emplace_back(slot.order, depth);
    }
    std::sort(made.begin(), made.end());
    for (const auto& [order, depth] : made) {
        if (!displayList_.contains(depth))
            create(depth, target.at(depth));
    }
}

DisplayObject* MovieClip::insert(std::unique_ptr<DisplayObject> object, int depth, Origin origin, bool moved)
{
    DisplayObject* shown = object.get();
    shown->attach(this, depth, origin);
    if (auto old = displayList_.find(depth); old != displayList_.end())
        erase(old);
    displayList_[depth] = std::move(object);
    if (!moved)
        stage_.notifyAdded(*shown);
    return shown;
}

void MovieClip::create(int depth, const ReplaySlot& slot)
{
    const Placement& placement = slot.placement;
    // A button makes the clips of its first state as it is made: its own name comes first.
    std::string buttonName;
    if (const Character* character = movie_->character(placement.characterId);
        character && placement.name.empty() && (character->tagCode == 7 || character->tagCode == 34))
        buttonName = stage_.nextInstanceName();
    std::unique_ptr<DisplayObject> object
        = stage_.instantiate(*movie_, placement.characterId, depth, nesting_ + 1);
    if (!object)
        return;
    if (!buttonName.empty())
        object->setName(std::move(buttonName));
    object->applyTimelinePlacement(placement);
    object->setPlacedFrame(slot.placedFrame);
    // Scripts reach clips, buttons and text fields by name; they get one if they have none.
    if (object->name().empty() && object->takesInstanceName())
        object->setName(stage_.nextInstanceName());
    DisplayObject* shown = insert(std::move(object), depth, Origin::Timeline);
    // A new clip shows its first frame at once.
    if (MovieClip* clip = shown->asMovieClip())
        clip->gotoFrame(0);
}

DisplayObject* MovieClip::placeByScript(uint16_t characterId, std::string name, int scriptDepth, int maxDepth)
{
    if (scriptDepth < kMinScriptDepth || scriptDepth > maxDepth)
        return nullptr;
    const int depth = scriptDepth + kScriptDepthOffset;
    std::unique_ptr<DisplayObject> object = stage_.instantiate(*movie_, characterId, depth, nesting_ + 1);
    if (!object)
        return nullptr;
    object->setName(std::move(name));
    DisplayObject* shown = insert(std::move(object), depth, Origin::Script);
    if (MovieClip* clip = shown->asMovieClip())
        clip->gotoFrame(0);
    return shown;
}

DisplayObject* MovieClip::adoptByScript(
    std::unique_ptr<DisplayObject> object, std::string name, int scriptDepth)
{
    if (!object || scriptDepth < kMinScriptDepth || scriptDepth > kMaxScriptDepth
        || stage_.instanceCount() >= Stage::kMaxInstances)
        return nullptr;
    object->setName(std::move(name));
    return insert(std::move(object), scriptDepth + kScriptDepthOffset, Origin::Script);
}

MovieClip* MovieClip::createEmptyClip(std::string name, int scriptDepth, int maxDepth)
{
    static const Timeline empty;
    if (scriptDepth < kMinScriptDepth || scriptDepth > maxDepth || nesting_ + 1 > Stage::kMaxNesting
        || stage_.instanceCount() >= Stage::kMaxInstances)
        return nullptr;
    const int depth = scriptDepth + kScriptDepthOffset;
    auto clip = std::make_unique<MovieClip>(stage_, *movie_, nullptr, empty, depth, nesting_ + 1);
    clip->setName(std::move(name));
    MovieClip* shown = static_cast<MovieClip*>(insert(std::move(clip), depth, Origin::Script));
    shown->gotoFrame(0);
    return shown;
}

bool MovieClip::remove(DisplayObject& child)
{
    auto it = displayList_.find(child.depth());
    if (it == displayList_.end() || it->second.get() != &child)
        return false;
    erase(it);
    return true;
}

bool MovieClip::swapDepths(DisplayObject& child, int scriptDepth)
{
    auto from = displayList_.find(child.depth());
    if (from == displayList_.end() || from->second.get() != &child || child.unloading()
        || scriptDepth < kMinScriptDepth || scriptDepth > kMaxScriptDepth)
        return false;
    const int oldDepth = child.depth();
    const int newDepth = scriptDepth + kScriptDepthOffset;
    if (newDepth == oldDepth)
        return true;
    std::unique_ptr<DisplayObject> moving = std::move(from->second);
    displayList_.erase(from);
    auto to = displayList_.find(newDepth);
    if (to != displayList_.end()) {
        std::unique_ptr<DisplayObject> other = std::move(to->second);
        displayList_.erase(to);
        insert(std::move(other), oldDepth, Origin::Script, true);
    }
    insert(std::move(moving), newDepth, Origin::Script, true);
    return true;
}

int MovieClip::nextHighestDepth() const
{
    if (displayList_.empty())
        return 0;
    return std::max(0, displayList_.rbegin()->first - kScriptDepthOffset + 1);
}

} // namespace swf
