#include "DisplayObject.h"

#include "MovieClip.h"
#include "Stage.h"

namespace swf {

DisplayObject::DisplayObject(Stage& stage, Kind kind, const Character* character, int depth)
    : stage_(stage)
    , kind_(kind)
    , character_(character)
    , depth_(depth)
    , bornTick_(stage.tick())
{
    if (character)
        placement_.characterId = character->id;
    stage_.instanceCreated();
}

DisplayObject::~DisplayObject()
{
    stage_.instanceDestroyed();
}

MovieClip* DisplayObject::asMovieClip()
{
    return kind_ == Kind::MovieClip ? static_cast<MovieClip*>(this) : nullptr;
}

const MovieClip* DisplayObject::asMovieClip() const
{
    return kind_ == Kind::MovieClip ? static_cast<const MovieClip*>(this) : nullptr;
}

} // namespace swf
