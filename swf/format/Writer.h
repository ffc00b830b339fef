#pragma once

#include "Movie.h"
#include "Shape.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace swf {

// Builds a valid SWF file from the model, tag by tag, in the order of the calls. Used by
// the tests to state their fixtures exactly and by the demo movies. What the writer
// emits, parseMovie reads back as the same model: frames end at showFrame(), the tags of
// a frame keep their order, and finish() adds the End tag.
//
//   Writer w(Header{.version = 8, .frameSize = {0, 11000, 0, 8000}, .frameRate = 24});
//   w.setBackground({255, 255, 255});
//   w.defineShape(1, shape);
//   w.place({.depth = 1, .characterId = 1, .matrix = Matrix{}});
//   w.showFrame();
//   auto bytes = w.finish(Compression::Zlib);
class Writer {
public:
    // The header's version, frame size and frame rate are used; the frame count and
    // the file length are filled in by finish().
    explicit Writer(const Header& header);

    void setBackground(Rgba color);
    void defineShape(uint16_t id, const Shape& shape); // DefineShape, 2, 3 or 4 by shape.version
    void defineSprite(uint16_t id, const SpriteDefinition& sprite);
    // Any defining tag: `code`, then the id, then `body` as given.
    void define(uint16_t code, uint16_t id, std::span<const uint8_t> body);
    void place(const PlaceObject& place);
    void remove(const RemoveObject& remove);
    void doAction(std::span<const uint8_t> actions);
    void frameLabel(std::string_view label);
    void control(const ControlTag& tag); // any control tag of the model
    void showFrame();
    // Any tag, body as given: for tags the model does not cover and for damaged fixtures.
    void rawTag(uint16_t code, std::span<const uint8_t> body);

    // Declares a frame count other than the number of showFrame() calls, for fixtures
    // whose header disagrees with their timeline.
    void declareFrameCount(uint16_t count) { m_declaredFrames = count; }

    // The file: header, the tags so far, End. May be called more than once.
    std::vector<uint8_t> finish(Compression compression) const;

private:
    Header m_header;
    std::vector<uint8_t> m_tags;
    uint16_t m_frames = 0;
    std::optional<uint16_t> m_declaredFrames;
};

// A whole model as a file: the definitions (shapes and sprites encoded from the model,
// every other kind from its kept body), then the timeline. Parsing the result gives the
// same header fields, background, timeline and dictionary; the bodies of shapes are
// those the writer encodes, which need not be the bytes first read.
std::vector<uint8_t> writeMovie(const Movie& movie, Compression compression);

// Appends one tag (header and body) to `out`, in the short form when it fits.
void appendTag(std::vector<uint8_t>& out, uint16_t code, std::span<const uint8_t> body);

} // namespace swf
