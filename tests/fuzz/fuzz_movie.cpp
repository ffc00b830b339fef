// Fuzzes the movie parser. Beyond "never crash, never hang, never leak", it checks that
// whatever the parser made of the input survives writing and reading back unchanged (the
// writer and the parser must agree on every field the model holds), that the file read
// as it arrives, in pieces, gives the same movie as the whole file read at once, and that
// the records the kinds decode from the kept bodies read safely.
#include "swf/format/Bitmaps.h"
#include "swf/format/Buttons.h"
#include "swf/format/Fonts.h"
#include "swf/format/MorphShape.h"
#include "swf/format/Parser.h"
#include "swf/format/Tags.h"
#include "swf/format/Text.h"
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

// The records the engine's kinds read from the bodies the parser keeps: bitmaps, morph
// shapes, buttons, fonts and text. Each is read (and drawn, for a morph, at a ratio); the
// simple ones must also come back unchanged through their encoders.
void readContent(const swf::Movie& movie)
{
    using swf::TagCode;
    for (const auto& [id, character] : movie.dictionary) {
        const std::span<const uint8_t> body = character->body;
        std::vector<std::string> warnings;
        switch (static_cast<TagCode>(character->tagCode)) {
        case TagCode::DefineBits:
        case TagCode::DefineBitsJPEG2:
        case TagCode::DefineBitsJPEG3:
        case TagCode::DefineBitsJPEG4:
        case TagCode::DefineBitsLossless:
        case TagCode::DefineBitsLossless2: {
            swf::DecodedBitmap bitmap;
            if (swf::decodeBitmap(character->tagCode, body, movie.jpegTables, bitmap)
                && bitmap.pixels.argb.size() != size_t(bitmap.pixels.width) * bitmap.pixels.height)
                mismatch("size of a decoded bitmap");
            break;
        }
        case TagCode::DefineMorphShape:
        case TagCode::DefineMorphShape2: {
            const auto morph = swf::readMorphShape(
                body, character->tagCode == swf::toCode(TagCode::DefineMorphShape2) ? 2 : 1, warnings);
            (void)swf::morphAt(morph, 0.37);
            break;
        }
        case TagCode::DefineButton:
        case TagCode::DefineButton2: {
            const uint8_t version = character->tagCode == swf::toCode(TagCode::DefineButton2) ? 2 : 1;
            const auto button = swf::readButton(body, version, warnings);
            if (warnings.empty() && swf::readButton(swf::encodeButton(button), version, warnings) != button)
                mismatch("button");
            break;
        }
        case TagCode::DefineFont:
        case TagCode::DefineFont2:
        case TagCode::DefineFont3: {
            auto font = swf::readFont(character->tagCode, body, warnings);
            if (auto it = movie.characterTags.find(id); it != movie.characterTags.end())
                for (const auto& tag : it->second)
                    swf::applyFontInfo(font, tag.code, tag.body);
            break;
        }
        case TagCode::DefineText:
        case TagCode::DefineText2: {
            const uint8_t version = character->tagCode == swf::toCode(TagCode::DefineText2) ? 2 : 1;
            const auto text = swf::readStaticText(body, version, warnings);
            if (warnings.empty()
                && swf::readStaticText(swf::encodeStaticText(text), version, warnings) != text)
                mismatch("static text");
            break;
        }
        case TagCode::DefineEditText: {
            const auto text = swf::readEditText(body, warnings);
            if (warnings.empty() && swf::readEditText(swf::encodeEditText(text), warnings) != text)
                mismatch("text field");
            break;
        }
        default:
            break;
        }
    }
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
    if (movie) {
        readContent(*movie);
        checkRoundTrip(*movie, limits);
    }
    return 0;
}
