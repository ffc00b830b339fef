#pragma once

#include "Filters.h"

#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// A FILTERLIST as PlaceObject3 carries it (count byte first), for filters a script sets on
// a display object; readFilters() reads it back. At most 255 filters are written.
std::vector<uint8_t> writeFilters(std::span<const Filter> filters);

} // namespace swf
