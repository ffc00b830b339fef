#pragma once

#include "DecodedCache.h"
#include "MovieClip.h"
#include "PointerInput.h"
#include "StageObserver.h"
#include "TargetPath.h"

#include "swf/format/Movie.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace swf {

// The display tree of one player: the levels (level 0 is the movie the player opened),
// the stage colour, the tick counter, the objects alive by id, the pointer, and the limits
// that keep a hostile movie from growing the tree without end.
class Stage {
public:
    // A sprite nested deeper than this is not made (a sprite that places itself stops here).
    static constexpr int kMaxNesting = 64;
    // Live objects in the whole tree; places past it are dropped. Sprites that place
    // several copies of themselves would otherwise grow the tree exponentially.
    static constexpr std::size_t kMaxInstances = 20000;

    explicit Stage(std::shared_ptr<const Movie> movie);
    ~Stage();
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;

    // Shows the first frame. Until then the root has no frame and the stage is empty.
    void start();
    // One tick of the frame clock for the whole tree, every level in order.
    void advance();

    MovieClip& root() { return *levels_.at(0); }
    const MovieClip& root() const { return *levels_.at(0); }
    const Movie& movie() const { return *movie_; }
    const std::shared_ptr<const Movie>& sharedMovie() const { return movie_; }

    // Levels above 0 hold movies loaded beside the first; null where none is.
    MovieClip* level(int number) const;
    // Puts `movie` on a level (1 and up), replacing what was there, and shows its first
    // frame now, or with the next advance when not `showNow` (as a movie a script loaded).
    MovieClip* loadLevel(int number, std::shared_ptr<const Movie> movie, bool showNow = true);
    void unloadLevel(int number);
    // Keeps a movie that a clip shows alive for as long as the stage lives: what was made
    // of its characters and scripts is kept by their address.
    void keepMovie(std::shared_ptr<const Movie> movie);
    const std::map<int, std::unique_ptr<MovieClip>>& levels() const { return levels_; }

    Rgba background() const { return background_; }
    void setBackground(Rgba color) { background_ = color; }

    uint64_t tick() const { return tick_; }
    std::size_t instanceCount() const { return registry_.size(); }
    // Observers are told of changes in the order they were added; they must outlive the
    // stage or be removed first.
    void addObserver(StageObserver* observer);
    void removeObserver(StageObserver* observer);
    void notifyFrameEntered(MovieClip& clip, const Frame& frame);
    void notifyAdded(DisplayObject& object);
    void notifyPlaceFailed(MovieClip& clip, int depth);
    void notifyRemoved(DisplayObject& object);
    // Whether an observer keeps the object until it has unloaded (StageObserver).
    bool notifyUnloading(DisplayObject& object);
    void notifyButtonTransition(DisplayObject& button, ButtonTransition transition);
    // What each kind of character decodes once and shares between its instances.
    DecodedCache& decoded() const { return decoded_; }

    // Makes an instance of a character of `movie` for a display list, or null when the
    // character is unknown or a limit is reached. Clips come back without a frame shown.
    std::unique_ptr<DisplayObject> instantiate(
        const Movie& movie, uint16_t characterId, int depth, int nesting);
    // The name an unnamed instance gets: "instance1", "instance2" ...
    std::string nextInstanceName();

    // ---- Work on other threads -------------------------------------------------------------

    // Whether a tool steps the stage frame by frame (the command line, tests) rather than
    // the window playing it by the wall clock: what objects decode on threads of their
    // own is then waited for, so that every run draws the same pictures.
    bool stepped() const { return stepped_; }
    void setStepped(bool stepped) { stepped_ = stepped; }
    // An object that decodes on a thread of its own (a video) holds one of these while it
    // has it. Past the most, an object shows nothing new until another gives one back, so
    // that a movie of many video objects takes a few threads and decoders, not thousands.
    static constexpr int kMaxDecodeThreads = 32;
    bool takeDecodeThread();
    void giveBackDecodeThread();

    // ---- Objects by id, name and path ----------------------------------------------------

    // The live object with that id, or null once it is gone.
    DisplayObject* find(ObjectId id) const;
    // A clip or other object by target path: "_level0.menu.play", "_root.a", "/a/b",
    // "../b", "_parent.c", or names relative to `from` ("a.b"). Null when nothing is there.
    DisplayObject* resolvePath(std::string_view path, DisplayObject* from, bool caseSensitive) const;
    // The same in the older slash-only form SWF 4 scripts use: "/a/b", "../a", "a/",
    // "_level1/a" (or "_flash1/a"). Colons and dots part no names, and a first part that
    // begins "_levelN" reaches that level whatever follows it up to the first slash.
    DisplayObject* resolveSlashPath(std::string_view path, DisplayObject* from, bool caseSensitive) const;
    // One step of a path from `at` (TargetPath.h): null when nothing is there.
    DisplayObject* resolveStep(DisplayObject& at, const PathStep& step, bool caseSensitive) const;
    // The object's path in dot form ("_level0.menu.play") and in slash form ("/menu/play").
    std::string targetPath(const DisplayObject& object) const;
    std::string slashPath(const DisplayObject& object) const;

    // ---- Input ---------------------------------------------------------------------------

    PointerInput& input() { return input_; }
    const PointerInput& input() const { return input_; }
    // The topmost object the pointer would act on at `stagePoint` (stage twips): the top
    // mouse target whose shapes cover it, or null.
    DisplayObject* mouseTargetAt(QPointF stagePoint) const;
    // The topmost visible object of any kind whose shapes cover `stagePoint`.
    DisplayObject* objectAt(QPointF stagePoint) const;

private:
    friend class DisplayObject;
    ObjectId registerObject(DisplayObject* object);
    void unregisterObject(ObjectId id);

    std::shared_ptr<const Movie> movie_;
    std::map<int, std::shared_ptr<const Movie>> levelMovies_; // keeps loaded levels' movies alive
    std::vector<std::shared_ptr<const Movie>> keptMovies_;
    std::vector<StageObserver*> observers_;
    bool tearingDown_ = false; // the stage itself is going: nobody is told
    Rgba background_;
    uint64_t tick_ = 0;
    ObjectId nextId_ = 1;
    uint64_t instanceNames_ = 0;
    std::unordered_map<ObjectId, DisplayObject*> registry_;
    mutable DecodedCache decoded_;
    bool stepped_ = true;
    int decodeThreads_ = 0;
    PointerInput input_;
    // Last: destroyed first, while the registry above still exists.
    std::map<int, std::unique_ptr<MovieClip>> levels_;
};

} // namespace swf
