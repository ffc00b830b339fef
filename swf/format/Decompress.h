#pragma once

#include "Error.h"
#include "Movie.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
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

// Decodes the body of a movie while its file arrives, a piece at a time: the file's
// bytes go in through feed() in order, the body comes out through available() and
// consume(). A movie that streams in over a slow line can so be read, and played, long
// before its last byte is in.
//
// The limits are those of decompressBody: the output never grows past min(declared
// length - 8, maxSize) and grows only as real data is decoded. The body bytes already
// consumed are let go, so that memory follows what the reader has not yet taken.
class BodyDecoder {
public:
    explicit BodyDecoder(size_t maxSize = kMaxBodySize);
    ~BodyDecoder();
    BodyDecoder(const BodyDecoder&) = delete;
    BodyDecoder& operator=(const BodyDecoder&) = delete;

    // The next bytes of the file, from its first byte on. Fails when the file is no
    // movie, or its compressed stream cannot be decoded at all; after a failure the
    // decoder takes nothing more.
    Result<void> feed(std::span<const uint8_t> bytes);
    // The file is complete. Notes what came short and fails only as feed() does (a ZWS
    // file cut inside its LZMA header, a stream of which nothing could be decoded).
    Result<void> finish();

    // Whether the 8-byte file header has arrived; the fields below are valid once it has.
    bool hasHeader() const { return m_headerRead; }
    Compression compression() const { return m_compression; }
    uint8_t version() const { return m_version; }
    uint32_t declaredLength() const { return m_declared; }

    // The body bytes decoded and not yet consumed.
    std::span<const uint8_t> available() const;
    void consume(size_t count);
    size_t decodedSize() const { return m_decoded; } // every body byte decoded so far
    // No more body bytes will come: the stream ended, was damaged, or reached its limit.
    bool ended() const { return m_ended; }
    // Hands the whole body over; only before anything was consumed.
    std::vector<uint8_t> takeBody();

    // Problems that did not stop decoding: the header's, then what finish() found short,
    // then what the compressed stream met.
    std::vector<std::string> warnings() const;

private:
    struct Stream;
    Result<void> readHeader();
    Result<void> decode(std::span<const uint8_t> input, bool last);
    void append(std::span<const uint8_t> bytes);

    size_t m_maxSize;
    size_t m_limit = 0;
    std::optional<size_t> m_declaredBody;
    std::vector<uint8_t> m_head; // the file header while it arrives
    bool m_headerRead = false;
    bool m_failed = false;
    bool m_finished = false;
    Compression m_compression = Compression::None;
    uint8_t m_version = 0;
    uint32_t m_declared = 0;
    std::unique_ptr<Stream> m_stream; // the zlib or LZMA state of a compressed file
    std::vector<uint8_t> m_out;
    size_t m_start = 0; // consumed bytes at the front of m_out
    size_t m_decoded = 0;
    size_t m_ignored = 0; // bytes of an uncompressed file past the limit
    bool m_ended = false;
    std::vector<std::string> m_headerWarnings;
    std::vector<std::string> m_endWarnings;
    std::vector<std::string> m_streamWarnings;
};

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
