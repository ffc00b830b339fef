#pragma once

#include "Movie.h"

#include <optional>

namespace swf {

// The nine-slice grid a DefineScalingGrid gives a sprite or button: the rectangle, in the
// character's twips, whose outside keeps its size however the character is scaled. The
// last such tag for a character counts; nothing when it has none or the record is short.
std::optional<Rect> scalingGridOf(const Movie& movie, uint16_t characterId);

} // namespace swf
