#pragma once

#include "Error.h"
#include "Movie.h"
#include "ParseContext.h"

#include <cstdint>
#include <span>

namespace swf {

// Reads a whole movie into the model.
//
// Fails only when there is no movie to speak of: no SWF signature, a compressed stream
// that cannot be decoded at all, or a body too short for the movie header. Everything
// else (a truncated file, a tag that runs past the end, a record that runs past its tag,
// a missing End, junk after it, duplicate character ids) gives the movie as far as it
// could be read, with the problems listed in Movie::warnings.
Result<Movie> parseMovie(std::span<const uint8_t> file, const ParseLimits& limits = {});

// Reads only the header, decompressing no more than the few bytes it needs.
Result<Header> parseHeader(std::span<const uint8_t> file);

} // namespace swf
