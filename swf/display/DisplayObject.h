#pragma once

#include "Placement.h"

#include <cstdint>

namespace swf {

class Stage;
class MovieClip;

// One character instance on a display list. Shapes and characters this engine does not
// interpret yet are plain DisplayObjects; sprites and the root are MovieClips.
class DisplayObject {
public:
    enum class Kind : uint8_t {
        Shape, // drawn from its Shape character
        MovieClip, // has a timeline and a display list of its own
        Inert, // holds its depth (moves and removes find it) but draws nothing
    };

    DisplayObject(Stage& stage, Kind kind, const Character* character, int depth);
    virtual ~DisplayObject();
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    Kind kind() const { return kind_; }
    const Character* character() const { return character_; } // null for the root
    uint16_t characterId() const { return placement_.characterId; }
    int depth() const { return depth_; }

    const Placement& placement() const { return placement_; }
    void setPlacement(const Placement& placement) { placement_ = placement; }
    const Matrix& matrix() const { return placement_.matrix; }
    const ColorTransform& colorTransform() const { return placement_.colorTransform; }
    bool isMask() const { return placement_.clipDepth != 0; }

    // The tick of the stage in which this object was created: a clip does not advance in
    // the tick that made it, since making it already ran its first frame.
    uint64_t bornTick() const { return bornTick_; }

    MovieClip* asMovieClip();
    const MovieClip* asMovieClip() const;

protected:
    Stage& stage_;

private:
    Kind kind_;
    const Character* character_;
    int depth_;
    uint64_t bornTick_;
    Placement placement_;
};

} // namespace swf
