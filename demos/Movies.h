#pragma once

#include <cstdint>
#include <vector>

namespace demos {

// The two movies the player ships, as complete SWF files.
std::vector<uint8_t> makeRainyDay(); // "阴天.swf"
std::vector<uint8_t> makeFatBaby(); // "I Want A Fat Baby.swf"

} // namespace demos
