#pragma once

#include "DisplayObject.h"
#include "ScriptDrawing.h"
#include "TimelineReplay.h"

#include <optional>
#include <string_view>

namespace swf {

struct Movie;
struct Timeline;

// A timeline with its display list: the root of a movie (a level), or one instance of a
// sprite. Its list holds what the timeline placed and what scripts made, side by side.
class MovieClip final : public DisplayObject {
public:
    enum class EndMode : uint8_t { Loop, Stop };

    // `nesting` counts the clips above this one (0 for a root); the stage refuses to make
    // clips past its limit, so that a sprite that places itself ends. `movie` is the movie
    // whose dictionary the timeline's characters come from.
    MovieClip(Stage& stage, const Movie& movie, const Character* character, const Timeline& timeline,
        int depth, int nesting);
    ~MovieClip() override;

    MovieClip* asMovieClip() override { return this; }
    const MovieClip* asMovieClip() const override { return this; }
    const DisplayList* children() const override { return &displayList_; }
    // What scripts drew into it (under its children).
    void draw(DrawContext& context) const override;
    QRectF ownBounds() const override;
    bool hitsOwn(QPointF local) const override;
    QPainterPath ownOutline(double& work) const override;

    const Movie& movie() const { return *movie_; }
    const Timeline& timeline() const { return *timeline_; }
    // Whether this clip plays a movie's own timeline (a level, or a clip a movie was
    // loaded into), not a sprite's.
    bool isMovieRoot() const { return timeline_ == &movie_->timeline; }
    // Shows another movie in this clip, as loading a movie into it does: what the clip
    // held goes, its timeline becomes the movie's own, and it waits before the first frame
    // (the next advance shows it). The stage must keep `movie` alive.
    void replaceMovie(const Movie& movie);

    // ---- The timeline ------------------------------------------------------------------

    int currentFrame() const { return currentFrame_; } // 0-based; -1 before the first frame
    // The frames of the timeline, at least 1. While the movie still arrives, what its
    // header declares.
    int frameCount() const;
    int framesLoaded() const; // the frames that have arrived
    // Whether this timeline is a movie's own whose file ended before its End tag and before
    // the frames its header declares: it waits on its last frame for the rest, which
    // never comes.
    bool cutShort() const;
    // Whether this clip's movie, read to its end, holds fewer frames than its header
    // declares.
    bool movieFallsShort() const;
    bool isPlaying() const { return playing_; }
    void play() { playing_ = true; }
    void stop() { playing_ = false; }
    // What happens after the last frame. Sprites always loop; the root follows the player.
    void setEndMode(EndMode mode) { endMode_ = mode; }
    int nesting() const { return nesting_; }
    // The 0-based frame that carries `label`, if any.
    std::optional<int> frameOfLabel(std::string_view label, bool caseSensitive) const;

    // One tick: the next frame of this timeline when playing, then each child clip that
    // existed before this tick, in depth order. A frame that has not arrived yet is waited
    // for, never skipped.
    void advance();
    // Shows `frame` (0-based, clamped to the frames loaded). Forward runs the control tags
    // of the frames in between; backward rebuilds the timeline depths from the first
    // frame, keeping the objects that stand at the same depth with the same character and
    // ratio, and dropping what scripts made there. Above them, among the script depths,
    // nothing is touched either way. Children do not advance.
    void gotoFrame(int frame);

    // ---- The display list ----------------------------------------------------------------

    const DisplayList& displayList() const { return displayList_; }
    DisplayObject* at(int depth) const;
    DisplayObject* atScriptDepth(int scriptDepth) const { return at(scriptDepth + kScriptDepthOffset); }
    // The child of that instance name at the lowest depth; names compare without regard to
    // case unless asked (movies before SWF 7).
    DisplayObject* childByName(std::string_view name, bool caseSensitive) const;

    // ---- What scripts do to the list -----------------------------------------------------

    // The drawing scripts make with lineStyle, beginFill, lineTo and the rest.
    ScriptDrawing& scriptDrawing() { return drawing_; }
    const ScriptDrawing& scriptDrawing() const { return drawing_; }

    // Places a new instance of a character of this clip's movie at a script depth,
    // replacing what stood there. Null when the character is unknown, the depth is out of
    // range, or a limit of the stage is reached.
    // Copies of clips may go higher than other objects scripts make: `maxDepth` says how far.
    DisplayObject* placeByScript(
        uint16_t characterId, std::string name, int scriptDepth, int maxDepth = kMaxScriptDepth);
    // Puts an object a script made (a text field) at a script depth, replacing what stood
    // there. Null when the depth is out of range or a limit of the stage is reached.
    DisplayObject* adoptByScript(std::unique_ptr<DisplayObject> object, std::string name, int scriptDepth);
    // A new empty clip, as scripts make to draw into or load into.
    MovieClip* createEmptyClip(std::string name, int scriptDepth, int maxDepth = kMaxScriptDepth);
    // Takes `child` off the list and destroys it. False when it is not a child of this clip.
    bool remove(DisplayObject& child);
    // Moves `child` to a script depth; what stood there takes the child's old depth. Both
    // are the script's from then on: the timeline no longer moves or removes them.
    bool swapDepths(DisplayObject& child, int scriptDepth);
    // One above the highest script depth in use, at least 0.
    int nextHighestDepth() const;

private:
    void stepTimeline();
    void reconcile(const ReplayState& target, bool rebuilt);
    void create(int depth, const ReplaySlot& slot);
    // Puts an object at `depth`, replacing what stood there; `moved` when it only changes
    // depth within this list, which is no news to the observers.
    DisplayObject* insert(
        std::unique_ptr<DisplayObject> object, int depth, Origin origin, bool moved = false);
    // Takes an object off the list, telling the stage's observers first.
    DisplayList::iterator erase(DisplayList::iterator it);
    // Takes off an object the timeline removes, or moves it to its unload depth when an
    // observer keeps it there until it has unloaded. The next object's iterator.
    DisplayList::iterator dropByTimeline(DisplayList::iterator it);
    void clearList();

    const Movie* movie_;
    const Timeline* timeline_;
    int nesting_;
    int currentFrame_ = -1;
    bool playing_ = true;
    EndMode endMode_ = EndMode::Loop;
    DisplayList displayList_;
    ScriptDrawing drawing_;
};

} // namespace swf
