#pragma once

#include "Error.h"
#include "Movie.h"
#include "ParseContext.h"

#include <cstdint>
#include <memory>
#include <span>

namespace swf {

// Reads a movie while its file arrives. Bytes go in as they come (append), and the movie
// grows as they do: each complete tag is read at once, so the first frames and their
// definitions are there to play while the rest is still on its way. finish() says the
// file is complete and reads what is left.
//
// A damaged movie is read as parseMovie describes; the result is the same however the
// file is cut into pieces.
class MovieStream {
public:
    explicit MovieStream(const ParseLimits& limits = {});
    ~MovieStream();
    MovieStream(const MovieStream&) = delete;
    MovieStream& operator=(const MovieStream&) = delete;

    // Fails only when what arrived is no movie (see parseMovie); after that it takes nothing.
    Result<void> append(std::span<const uint8_t> bytes);
    Result<void> finish();

    // The movie as read so far: null until its header has arrived. It is the same object
    // until the end; its frames, dictionary and warnings grow between calls, and its
    // `complete` flag is set by finish().
    const std::shared_ptr<Movie>& movie() const { return m_movie; }
    size_t framesLoaded() const;
    bool finished() const { return m_finished; }

private:
    struct State;
    Result<void> readAvailable(bool last);

    std::unique_ptr<State> m_state;
    std::shared_ptr<Movie> m_movie;
    bool m_finished = false;
    bool m_failed = false;
};

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
