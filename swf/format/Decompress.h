#pragma once

#include "Error.h"
#include "Movie.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace swf {

// The largest movie body (the bytes after the 8-byte file header, uncompressed) that is
// ever produced. Movies of the SWF 1-8 era are a few megabytes; this leaves room for
// the large ones with embedded video and stops a tiny compressed bomb from eating memory.
inline constexpr size_t kMaxBodySize = size_t(256) << 20;

// The body of a movie: the bytes after the 8-byte file header, uncompressed.
// For an uncompressed movie it is a view of the file, for a compressed one it owns the
// inflated bytes. Move-only, so that the view can never dangle into a copied buffer.
class Body {
public:
    static Body borrowed(std::span<const uint8_t> bytes);
    static Body owned(std::vector<uint8_t> bytes);

    Body(Body&&) = default;
    Body& operator=(Body&&) = default;
    Body(const Body&) = delete;
    Body& operator=(const Body&) = delete;

    std::span<const uint8_t> bytes() const { return m_view; }
    // Problems that did not stop decoding: a compressed stream that ended early or was
    // damaged (the bytes are what could be decoded up to there), a length that disagrees.
    std::vector<std::string> warnings;

private:
    Body() = default;
    std::vector<uint8_t> m_storage;
    std::span<const uint8_t> m_view;
};

// Reads the signature of a file: FWS, CWS or ZWS. Fails on anything else.
Result<Compression> readSignature(std::span<const uint8_t> file);

// The uncompressed body of a whole SWF file (signature, version and length included).
// The declared length is only used to stop early: the output never grows past
// min(declared length - 8, maxSize), and grows only as real data is decoded, so that a
// lying header cannot make us allocate. The declared length limits the body even for
// an uncompressed file, as Flash Player does: bytes past it are not part of the movie.
// A damaged or truncated compressed stream keeps what was decoded and sets `warning`;
// it fails only when the stream cannot be decoded at all.
// A declared length of 8 or less is nonsense and is ignored.
Result<Body> decompressBody(std::span<const uint8_t> file, size_t maxSize = kMaxBodySize);

} // namespace swf
