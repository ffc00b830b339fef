// Fuzzes the movie parser. Beyond "never crash, never hang, never leak", it checks that
// whatever the parser made of the input survives writing and reading back unchanged (the
// writer and the parser must agree on every field the model holds), and that the file read
// as it arrives, in pieces, gives the same movie as the whole file read at once.
#include "swf/format/Parser.h"
#include "swf/format/Writer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>

namespace {

// The writer can only say "PlaceObject" with a matrix; a damaged one that lost its
// matrix comes back as PlaceObject2.
void normalise(swf::Timeline& timeline)
{
    for (auto& frame : timeline.frames)
        for (auto& tag : frame.tags)
            if (auto* place = std::get_if<swf::PlaceObject>(&tag);
                place && place->tagVersion == 1 && !place->matrix)
                place->tagVersion = 2;
}

bool hitLimits(const swf::Movie& movie)
{
    for (const auto& warning : movie.warnings)
        if (warning.find("too large") != std::string::npos || warning.find("larger than") != std::string::npos
            || warning.find("nested more than") != std::string::npos
            || warning.find("more warnings") != std::string::npos)
            return true;
    return false;
}

[[noreturn]] void mismatch(const char* what)
{
    std::fprintf(stderr, "round trip changed the %s\n", what);
    std::abort();
}

void checkRoundTrip(swf::Movie& movie, const swf::ParseLimits& limits)
{
    if (hitLimits(movie))
        return;
    normalise(movie.timeline);
    for (auto& [id, character] : movie.dictionary) {
        if (!std::holds_alternative<swf::SpriteDefinition>(character->data))
            continue;
        auto copy = std::make_shared<swf::Character>(*character);
        normalise(std::get<swf::SpriteDefinition>(copy->data).timeline);
        character = std::move(copy);
    }
    auto file = swf::writeMovie(movie, swf::Compression::None);
    auto again = swf::parseMovie(file, limits);
    if (!again)
        mismatch("readability");
    if (again->header.version != movie.header.version || again->header.frameSize != movie.header.frameSize
        || again->header.frameRate != movie.header.frameRate)
        mismatch("header");
    if (again->timeline != movie.timeline)
        mismatch("timeline");
    // Shapes and sprites are written from the model, every other kind from its body: the
    // model must come back, and the bodies of the others byte for byte.
    for (const auto& [id, character] : movie.dictionary) {
        const swf::Character* back = again->character(id);
        if (!back || back->tagCode != character->tagCode || back->data != character->data)
            mismatch("dictionary");
        if (std::holds_alternative<std::monostate>(character->data) && back->body != character->body)
            mismatch("body of a kept definition");
    }
    if (again->dictionary.size() != movie.dictionary.size())
        mismatch("dictionary size");
}

// The input in pieces whose sizes come from the input itself.
void checkPieces(
    std::span<const uint8_t> file, const swf::Result<swf::Movie>& whole, const swf::ParseLimits& limits)
{
    swf::MovieStream stream(limits);
    size_t at = 0;
    bool failed = false;
    uint32_t state = 2166136261u;
    while (at < file.size() && !failed) {
        state = (state ^ file[at]) * 16777619u;
        const size_t piece = std::min<size_t>(file.size() - at, 1 + state % 300);
        failed = !stream.append(file.subspan(at, piece));
        at += piece;
    }
    failed = failed || !stream.finish();
    if (failed != !whole.has_value())
        mismatch("outcome when read in pieces");
    if (failed)
        return;
    const swf::Movie& movie = *stream.movie();
    if (movie.timeline != whole->timeline || movie.warnings != whole->warnings
        || movie.dictionary.size() != whole->dictionary.size() || movie.characterTags != whole->characterTags)
        mismatch("movie when read in pieces");
    for (const auto& [id, character] : whole->dictionary) {
        const swf::Character* other = movie.character(id);
        if (!other || *other != *character)
            mismatch("dictionary when read in pieces");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> file(data, size);
    swf::ParseLimits limits;
    limits.maxBodySize = size_t(16) << 20;
    limits.maxModelBytes = size_t(64) << 20;
    (void)swf::parseHeader(file);
    auto movie = swf::parseMovie(file, limits);
    checkPieces(file, movie, limits);
    if (movie)
        checkRoundTrip(*movie, limits);
    return 0;
}
