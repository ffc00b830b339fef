#pragma once

#include "FrameActions.h"
#include "MovieClip.h"

#include "swf/format/Movie.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace swf {

// The display tree of one movie: the root clip, the stage colour, the tick counter and the
// limits that keep a hostile movie from growing the tree without end.
class Stage {
public:
    // A sprite nested deeper than this is not made (a sprite that places itself stops here).
    static constexpr int kMaxNesting = 64;
    // Live objects in the whole tree; places past it are dropped. Sprites that place
    // several copies of themselves would otherwise grow the tree exponentially.
    static constexpr std::size_t kMaxInstances = 20000;

    // `actions` receives each frame entered; null means frame scripts are ignored.
    explicit Stage(std::shared_ptr<const Movie> movie, FrameActions* actions = nullptr);
    ~Stage();
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;

    // Shows the first frame. Until then the root has no frame and the stage is empty.
    void start();
    // One tick of the frame clock for the whole tree.
    void advance();

    MovieClip& root() { return *root_; }
    const MovieClip& root() const { return *root_; }
    const Movie& movie() const { return *movie_; }
    const std::shared_ptr<const Movie>& sharedMovie() const { return movie_; }

    Rgba background() const { return background_; }
    void setBackground(Rgba color) { background_ = color; }

    uint64_t tick() const { return tick_; }
    std::size_t instanceCount() const { return instances_; }
    FrameActions& actions() { return *actions_; }

    // Makes an instance of a character for a display list, or null when the character is
    // unknown or a limit is reached. Sprites come back without a frame shown yet.
    std::unique_ptr<DisplayObject> instantiate(uint16_t characterId, int depth, int nesting);

private:
    friend class DisplayObject;
    void instanceCreated() { ++instances_; }
    void instanceDestroyed() { --instances_; }

    std::shared_ptr<const Movie> movie_;
    NoFrameActions noActions_;
    FrameActions* actions_;
    Rgba background_;
    uint64_t tick_ = 0;
    std::size_t instances_ = 0;
    // Last: destroyed first, while the counters above still exist.
    std::unique_ptr<MovieClip> root_;
};

} // namespace swf
