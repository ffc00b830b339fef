#pragma once

#include "DisplayObject.h"
#include "TimelineReplay.h"

#include <map>
#include <memory>

namespace swf {

// A timeline with its display list: the root of a movie, or one instance of a sprite.
class MovieClip final : public DisplayObject {
public:
    using DisplayList = std::map<int, std::unique_ptr<DisplayObject>>;
    enum class EndMode : uint8_t { Loop, Stop };

    // `nesting` counts the clips above this one (0 for the root); the stage refuses to
    // make clips past its limit, so that a sprite that places itself ends.
    MovieClip(Stage& stage, const Character* character, const Timeline& timeline, int depth, int nesting);
    ~MovieClip() override;

    int currentFrame() const { return currentFrame_; } // 0-based; -1 before the first frame
    int frameCount() const; // at least 1
    bool isPlaying() const { return playing_; }
    void play() { playing_ = true; }
    void stop() { playing_ = false; }
    // What happens after the last frame. Sprites always loop; the root follows the player.
    void setEndMode(EndMode mode) { endMode_ = mode; }
    int nesting() const { return nesting_; }

    // One tick: the next frame of this timeline when playing, then each child clip that
    // existed before this tick, in depth order.
    void advance();
    // Shows `frame` (0-based, clamped). Forward runs the control tags of the frames in
    // between; backward rebuilds from the first frame, keeping the objects that stand at
    // the same depth with the same character. Children do not advance.
    void gotoFrame(int frame);

    const DisplayList& displayList() const { return displayList_; }
    const DisplayObject* at(int depth) const;

private:
    void stepTimeline();
    void reconcile(const ReplayState& target, bool rebuilt);
    void create(int depth, const Placement& placement);

    const Timeline& timeline_;
    int nesting_;
    int currentFrame_ = -1;
    bool playing_ = true;
    EndMode endMode_ = EndMode::Loop;
    DisplayList displayList_;
};

} // namespace swf
