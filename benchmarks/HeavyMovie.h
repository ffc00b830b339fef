#pragma once

#include <cstdint>
#include <vector>

namespace bench {

// A heavy vector animation of the kind that tests a player's speed: `shapes` gradient-
// filled shapes (circles, rounded boxes and stars 40 pixels across, with linear and
// radial gradients) at scales from a third to over two, every one moved, turned and resized on every
// frame of a 550x400 stage at 24 frames a second. The same bytes every time.
std::vector<uint8_t> heavyVectorMovie(int shapes = 600, int frames = 120);

} // namespace bench
