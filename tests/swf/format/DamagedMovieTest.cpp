// Damaged and unusual movies, each a named fixture built with the writer: the parser
// must never crash, and must give either a clear error or the movie as far as it goes.
#include "Fixtures.h"

#include "swf/format/BitWriter.h"
#include "swf/format/ControlTags.h"
#include "swf/format/Records.h"
#include "swf/format/ShapeBuilder.h"
#include "swf/format/ShapeWriter.h"
#include "swf/format/Tags.h"

#include <gtest/gtest.h>

namespace swf {
namespace {

using test::allWarnings;
using test::characterAs;
using test::hasWarning;
using test::movieHeader;
using test::parsed;

constexpr uint16_t code(TagCode tag)
{
    return toCode(tag);
}

void setFileLength(std::vector<uint8_t>& file, size_t length)
{
    for (int i = 0; i < 4; ++i)
        file[4 + i] = uint8_t(length >> (8 * i));
}

// An uncompressed movie without its End tag, its declared length fixed to match.
std::vector<uint8_t> withoutEnd(std::vector<uint8_t> file)
{
    file.resize(file.size() - 2);
    setFileLength(file, file.size());
    return file;
}

std::vector<uint8_t> appended(std::vector<uint8_t> file, std::span<const uint8_t> more)
{
    file.insert(file.end(), more.begin(), more.end());
    setFileLength(file, file.size());
    return file;
}

std::vector<uint8_t> tag(uint16_t tagCode, std::span<const uint8_t> body)
{
    std::vector<uint8_t> out;
    appendTag(out, tagCode, body);
    return out;
}

PlaceObject placeAt(uint16_t depth, uint16_t id)
{
    PlaceObject po;
    po.depth = depth;
    po.characterId = id;
    po.matrix = Matrix {};
    return po;
}

// Two frames with a shape, a sprite, placements and a script: the movie cut at every byte.
Writer smallMovie()
{
    Writer w(movieHeader());
    w.setBackground({ 0, 0, 0, 255 });
    ShapeBuilder b;
    b.fill1(b.addSolidFill({ 255, 200, 0, 255 })).line(b.addLine(20, { 0, 0, 0, 255 }));
    w.defineShape(1, b.circle({ 500, 500 }, 400).build());
    SpriteDefinition sprite;
    sprite.declaredFrameCount = 1;
    sprite.timeline.frames.resize(1);
    sprite.timeline.frames[0].tags.push_back(placeAt(1, 1));
    w.defineSprite(2, sprite);
    w.place(placeAt(1, 2));
    w.doAction(std::vector<uint8_t> { 0x07, 0x00 });
    w.showFrame();
    w.remove(RemoveObject { 1, std::nullopt });
    w.showFrame();
    return w;
}

class TruncatedMovie : public testing::TestWithParam<Compression> { };

TEST_P(TruncatedMovie, AtEveryByteGivesAnErrorOrWhatCouldBeRead)
{
    auto file = smallMovie().finish(GetParam());
    Movie whole = parsed(file);
    ASSERT_TRUE(whole.warnings.empty()) << allWarnings(whole);
    size_t partial = 0;
    for (size_t length = 0; length < file.size(); ++length) {
        std::vector<uint8_t> cut(file.begin(), file.begin() + length);
        auto movie = parseMovie(cut);
        if (!movie) {
            EXPECT_FALSE(movie.error().message.empty());
            continue;
        }
        ++partial;
        EXPECT_LE(movie->timeline.frames.size(), 2u);
        EXPECT_LE(movie->dictionary.size(), 2u);
        // A compressed stream cut inside its checksum still holds the whole movie;
        // anything less must say so.
        if (!movie->truncated && movie->warnings.empty()) {
            EXPECT_EQ(movie->timeline, whole.timeline) << "cut at " << length;
            EXPECT_EQ(movie->dictionary.size(), whole.dictionary.size()) << "cut at " << length;
        }
    }
    EXPECT_GT(partial, file.size() / 2);
}

INSTANTIATE_TEST_SUITE_P(Compressions, TruncatedMovie,
    testing::Values(Compression::None, Compression::Zlib, Compression::Lzma), test::signatureName);

TEST(DamagedMovie, BadSignature)
{
    auto file = smallMovie().finish(Compression::None);
    file[0] = 'X';
    auto movie = parseMovie(file);
    ASSERT_FALSE(movie.has_value());
    EXPECT_NE(movie.error().message.find("not a Flash movie"), std::string::npos);
}

TEST(DamagedMovie, HugeDeclaredLength)
{
    auto file = smallMovie().finish(Compression::None);
    setFileLength(file, 0xFFFFFFFF);
    Movie movie = parsed(file);
    EXPECT_TRUE(hasWarning(movie, "shorter than its header says")) << allWarnings(movie);
    EXPECT_FALSE(movie.truncated);
    EXPECT_EQ(movie.timeline.frames.size(), 2u);
}

TEST(DamagedMovie, DeclaredLengthShorterThanTheFileEndsTheMovieThere)
{
    // Flash Player reads no further than the declared length: the second frame is lost.
    Writer w(movieHeader());
    w.showFrame();
    w.doAction(std::vector<uint8_t> { 0x07, 0x00 });
    w.showFrame();
    auto file = w.finish(Compression::None);
    setFileLength(file, file.size() - 8); // DoAction (4 bytes), ShowFrame and End are past it
    Movie movie = parsed(file);
    EXPECT_TRUE(movie.truncated);
    EXPECT_TRUE(hasWarning(movie, "after the declared file length"));
    ASSERT_EQ(movie.timeline.frames.size(), 1u);
}

TEST(DamagedMovie, TagLengthPastTheEndIsClipped)
{
    Writer w(movieHeader());
    w.showFrame();
    w.declareFrameCount(2);
    // The long form of a DoAction header, declaring 1000 bytes; only 10 follow.
    uint16_t codeAndLength = uint16_t(code(TagCode::DoAction) << 6 | 0x3f);
    std::vector<uint8_t> longTag { uint8_t(codeAndLength), uint8_t(codeAndLength >> 8), 0xE8, 0x03, 0x00,
        0x00 };
    longTag.resize(longTag.size() + 10, 0x07);
    Movie movie = parsed(appended(withoutEnd(w.finish(Compression::None)), longTag));
    EXPECT_TRUE(hasWarning(movie, "DoAction at byte")) << allWarnings(movie);
    EXPECT_TRUE(movie.truncated);
    // The header promised a second frame: what was read of it is kept.
    ASSERT_EQ(movie.timeline.frames.size(), 2u);
    EXPECT_EQ(std::get<DoAction>(movie.timeline.frames[1].tags.at(0)).actions.size(), 10u);
}

TEST(DamagedMovie, TagHeaderCutOff)
{
    Writer w(movieHeader());
    w.showFrame();
    std::vector<uint8_t> halfHeader { 0x7f, 0x00, 0x10 }; // a long header missing its length
    Movie movie = parsed(appended(withoutEnd(w.finish(Compression::None)), halfHeader));
    EXPECT_TRUE(hasWarning(movie, "inside a tag header")) << allWarnings(movie);
    EXPECT_EQ(movie.timeline.frames.size(), 1u);
}

TEST(DamagedMovie, SpriteWithoutEnd)
{
    std::vector<uint8_t> body { 5, 0, 2, 0 };
    // The last frame of the sprite has its tags but lost its ShowFrame and End.
    for (uint16_t tagCode : { code(TagCode::ShowFrame), code(TagCode::DoAction) }) {
        std::vector<uint8_t> t = tagCode == code(TagCode::DoAction) ? tag(tagCode, std::vector<uint8_t> { 0 })
                                                                    : tag(tagCode, {});
        body.insert(body.end(), t.begin(), t.end());
    }
    Writer w(movieHeader());
    w.rawTag(code(TagCode::DefineSprite), body);
    w.showFrame();
    Movie movie = parsed(w.finish(Compression::None));
    const auto* sprite = characterAs<SpriteDefinition>(movie, 5);
    ASSERT_NE(sprite, nullptr);
    ASSERT_EQ(sprite->timeline.frames.size(), 2u);
    EXPECT_EQ(sprite->timeline.frames[1].tags.size(), 1u);
    EXPECT_EQ(movie.timeline.frames.size(), 1u);
}

// The tags after a sprite's last ShowFrame are a frame of their own whatever its header
// declares, and such a body, like one without an End tag, ends open; one whose last frame
// is shown and ended does not. Bodies written tag by tag: DoAction (12) with an empty
// script, ShowFrame (1), End (0).
TEST(DamagedMovie, SpriteBodiesThatEndOpen)
{
    struct Case {
        uint16_t declared;
        std::vector<uint16_t> tags;
        std::size_t frames;
        bool open;
    };
    const uint16_t doAction = code(TagCode::DoAction), show = code(TagCode::ShowFrame), end = code(TagCode::End);
    const std::vector<Case> cases {
        { 0, { doAction, end }, 1, true },
        { 1, { doAction, show, doAction, end }, 2, true },
        { 3, { doAction, show, doAction, end }, 2, true },
        { 1, { doAction, show, doAction, show, end }, 2, false },
        { 2, { doAction, show, doAction, show }, 2, true },
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> body { 5, 0, uint8_t(c.declared), 0 };
        for (uint16_t t : c.tags)
            appendTag(body, t, t == doAction ? std::vector<uint8_t> { 0 } : std::vector<uint8_t> {});
        Writer w(movieHeader());
        w.rawTag(code(TagCode::DefineSprite), body);
        w.showFrame();
        Movie movie = parsed(w.finish(Compression::None));
        const auto* sprite = characterAs<SpriteDefinition>(movie, 5);
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->timeline.frames.size(), c.frames) << "declared " << c.declared << ", " << c.tags.size() << " tags";
        EXPECT_EQ(sprite->timeline.openEnded, c.open) << "declared " << c.declared << ", " << c.tags.size() << " tags";
        // Written again, the sprite reads back as it was, open or not.
        Writer again(movieHeader());
        again.defineSprite(5, *sprite);
        again.showFrame();
        Movie reread = parsed(again.finish(Compression::None));
        const auto* copy = characterAs<SpriteDefinition>(reread, 5);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(*copy, *sprite) << "declared " << c.declared << ", " << c.tags.size() << " tags";
    }
}

TEST(DamagedMovie, NestedSpritesBeyondTheDepthLimit)
{
    // Sprite 1 holds sprite 2 holds sprite 3 ... 2000 deep: only the limit is read,
    // and the recursion stops long before the stack would.
    constexpr uint16_t depth = 2000;
    std::vector<uint8_t> body;
    for (uint16_t id = depth; id >= 1; --id) {
        std::vector<uint8_t> outer { uint8_t(id), uint8_t(id >> 8), 1, 0 };
        if (!body.empty())
            appendTag(outer, code(TagCode::DefineSprite), body);
        appendTag(outer, code(TagCode::ShowFrame), {});
        appendTag(outer, code(TagCode::End), {});
        body = std::move(outer);
    }
    Writer w(movieHeader());
    w.rawTag(code(TagCode::DefineSprite), body);
    w.showFrame();
    ParseLimits limits;
    Movie movie = parsed(w.finish(Compression::None), limits);
    EXPECT_EQ(movie.dictionary.size(), size_t(limits.maxSpriteDepth));
    EXPECT_NE(characterAs<SpriteDefinition>(movie, uint16_t(limits.maxSpriteDepth)), nullptr);
    EXPECT_EQ(movie.character(uint16_t(limits.maxSpriteDepth + 1)), nullptr);
    EXPECT_TRUE(hasWarning(movie, "nested more than")) << allWarnings(movie);
}

TEST(DamagedMovie, NestedSpriteCannotTakeTheIdOfItsParent)
{
    std::vector<uint8_t> inner { 7, 0, 0, 0 };
    appendTag(inner, code(TagCode::End), {});
    std::vector<uint8_t> outer { 7, 0, 1, 0 };
    appendTag(outer, code(TagCode::DefineSprite), inner);
    appendTag(outer, code(TagCode::ShowFrame), {});
    appendTag(outer, code(TagCode::End), {});
    Writer w(movieHeader());
    w.rawTag(code(TagCode::DefineSprite), outer);
    Movie movie = parsed(w.finish(Compression::None));
    const auto* sprite = characterAs<SpriteDefinition>(movie, 7);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->timeline.frames.size(), 1u);
    EXPECT_TRUE(hasWarning(movie, "again"));
}

TEST(DamagedMovie, StyleIndexOutOfRangeIsKept)
{
    ShapeBuilder b;
    b.addSolidFill({ 1, 2, 3, 255 });
    Shape shape = b.fill1(7).line(3).rectangle({ 0, 10, 0, 10 }).build();
    Writer w(movieHeader());
    w.defineShape(1, shape);
    Movie movie = parsed(w.finish(Compression::None));
    const Shape* back = characterAs<Shape>(movie, 1);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::get<StyleChange>(back->records[0]).fill1, 7u);
    EXPECT_EQ(std::get<StyleChange>(back->records[0]).line, 3u);
    EXPECT_TRUE(movie.warnings.empty());
}

TEST(DamagedMovie, DuplicateIdKeepsTheFirstDefinition)
{
    Writer w(movieHeader());
    w.defineShape(1, ShapeBuilder().rectangle({ 0, 10, 0, 10 }).build());
    w.defineShape(1, ShapeBuilder().rectangle({ 0, 99, 0, 99 }).build());
    w.rawTag(code(TagCode::DefineBitsJPEG2), std::vector<uint8_t> { 1, 0, 0xFF, 0xD8 });
    Movie movie = parsed(w.finish(Compression::None));
    const Shape* shape = characterAs<Shape>(movie, 1);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->bounds.xMax, 10);
    EXPECT_EQ(movie.warnings.size(), 2u) << allWarnings(movie);
}

TEST(DamagedMovie, JunkAfterEnd)
{
    const std::vector<uint8_t> junk { 0xDE, 0xAD, 0xBE, 0xEF, 0x01 };
    Movie movie = parsed(appended(smallMovie().finish(Compression::None), junk));
    EXPECT_FALSE(movie.truncated);
    EXPECT_EQ(movie.timeline.frames.size(), 2u);
    EXPECT_TRUE(hasWarning(movie, "5 bytes after the End tag")) << allWarnings(movie);
}

TEST(DamagedMovie, FrameCountDisagreesWithTheShowFrames)
{
    Writer w = smallMovie();
    w.declareFrameCount(5);
    Movie movie = parsed(w.finish(Compression::None));
    EXPECT_EQ(movie.header.frameCount, 5);
    EXPECT_EQ(movie.timeline.frames.size(), 2u);
    EXPECT_TRUE(hasWarning(movie, "declares 5 frames")) << allWarnings(movie);
}

TEST(DamagedMovie, TagsAfterTheLastShowFrameOfACompleteMovieAreNoFrame)
{
    Writer w(movieHeader());
    w.place(placeAt(1, 1));
    w.showFrame();
    w.remove(RemoveObject { 1, std::nullopt }); // no ShowFrame follows: never shown
    Movie movie = parsed(w.finish(Compression::None));
    EXPECT_EQ(movie.timeline.frames.size(), 1u);
    EXPECT_FALSE(movie.truncated);
}

TEST(DamagedMovie, ShapeRunningPastItsTagKeepsWhatWasRead)
{
    ShapeBuilder b;
    b.fill1(b.addSolidFill({ 9, 9, 9, 255 }));
    Shape shape = b.rectangle({ 0, 1000, 0, 1000 }).rectangle({ 2000, 3000, 0, 1000 }).build();
    BitWriter body;
    body.u16(1);
    writeDefineShape(body, shape);
    auto bytes = body.take();
    bytes.resize(bytes.size() - 4);
    Writer w(movieHeader());
    w.rawTag(code(TagCode::DefineShape3), bytes);
    Movie movie = parsed(w.finish(Compression::None));
    const Shape* back = characterAs<Shape>(movie, 1);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->styles, shape.styles);
    EXPECT_GE(back->records.size(), 5u);
    EXPECT_LT(back->records.size(), shape.records.size());
    EXPECT_TRUE(hasWarning(movie, "DefineShape3 1: the shape runs past the end of the tag"))
        << allWarnings(movie);
}

// Found by fuzz_movie: a DefineShape4 that ends inside its edge bounds must still have
// edge bounds, or writing the model back would not give the same shape.
TEST(DamagedMovie, DefineShape4EndingInsideItsEdgeBounds)
{
    BitWriter body;
    body.u16(3);
    writeRect(body, Rect { -20, 400, -20, 300 });
    body.u8(0x78); // the first byte of a 15-bit edge rectangle, then nothing
    Writer w(movieHeader());
    w.rawTag(code(TagCode::DefineShape4), body.data());
    Movie movie = parsed(w.finish(Compression::None));
    const Shape* shape = characterAs<Shape>(movie, 3);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->edgeBounds, shape->bounds);
    EXPECT_TRUE(hasWarning(movie, "DefineShape4 3: the tag ends inside the shape bounds"))
        << allWarnings(movie);

    Movie again = parsed(writeMovie(movie, Compression::None));
    ASSERT_NE(again.character(3), nullptr);
    EXPECT_EQ(again.character(3)->data, movie.character(3)->data);
}

TEST(DamagedMovie, UnknownFillTypeEndsTheShape)
{
    BitWriter body;
    body.u16(1);
    body.u8(0); // an empty bounds rectangle
    body.u8(2); // two fills: a solid one, then an unknown kind
    body.u8(0x00);
    body.u8(1), body.u8(2), body.u8(3);
    body.u8(0x77);
    body.bytes(std::vector<uint8_t>(20, 0));
    Writer w(movieHeader());
    w.rawTag(code(TagCode::DefineShape), body.data());
    Movie movie = parsed(w.finish(Compression::None));
    const Shape* shape = characterAs<Shape>(movie, 1);
    ASSERT_NE(shape, nullptr);
    EXPECT_TRUE(shape->records.empty());
    EXPECT_TRUE(hasWarning(movie, "unknown fill style type 119")) << allWarnings(movie);
}

TEST(DamagedMovie, PlaceObject2CutInsideItsMatrixKeepsTheFieldsBefore)
{
    PlaceObject po = placeAt(4, 9);
    po.matrix = Matrix { 2.0, 0.0, 0.0, 2.0, 1000, 1000 };
    BitWriter body;
    ASSERT_EQ(writePlaceObject(body, po), code(TagCode::PlaceObject2));
    auto bytes = body.take();
    bytes.resize(bytes.size() - 2);
    Writer w(movieHeader());
    w.rawTag(code(TagCode::PlaceObject2), bytes);
    w.rawTag(code(TagCode::PlaceObject2), std::vector<uint8_t> { 0x02, 0x01 }); // too short for a depth
    w.showFrame();
    Movie movie = parsed(w.finish(Compression::None));
    ASSERT_EQ(movie.timeline.frames.at(0).tags.size(), 1u);
    const auto& back = std::get<PlaceObject>(movie.timeline.frames[0].tags[0]);
    EXPECT_EQ(back.depth, 4);
    EXPECT_EQ(back.characterId, 9);
    EXPECT_FALSE(back.matrix.has_value());
    EXPECT_TRUE(hasWarning(movie, "PlaceObject2 at depth 4 runs past")) << allWarnings(movie);
    EXPECT_TRUE(hasWarning(movie, "too short")) << allWarnings(movie);
}

TEST(DamagedMovie, PlaceObject3WithAnUnknownFilter)
{
    PlaceObject po = placeAt(2, 3);
    po.tagVersion = 3;
    po.filters = { 1, 42, 0, 0, 0 }; // filter id 42 does not exist
    po.blendMode = 3;
    BitWriter body;
    writePlaceObject(body, po);
    Writer w(movieHeader());
    w.rawTag(code(TagCode::PlaceObject3), body.data());
    w.showFrame();
    Movie movie = parsed(w.finish(Compression::None));
    const auto& back = std::get<PlaceObject>(movie.timeline.frames.at(0).tags.at(0));
    EXPECT_EQ(back.characterId, 3);
    EXPECT_TRUE(back.filters.empty());
    EXPECT_FALSE(back.blendMode.has_value());
    EXPECT_TRUE(hasWarning(movie, "PlaceObject3 at depth 2 runs past")) << allWarnings(movie);
}

TEST(DamagedMovie, DefinitionTooShortForItsId)
{
    Writer w(movieHeader());
    w.rawTag(code(TagCode::DefineShape), std::vector<uint8_t> { 1 });
    w.rawTag(code(TagCode::DefineSprite), std::vector<uint8_t> { 1, 0, 1 });
    Movie movie = parsed(w.finish(Compression::None));
    EXPECT_TRUE(movie.dictionary.empty());
    EXPECT_EQ(movie.warnings.size(), 2u) << allWarnings(movie);
}

TEST(DamagedMovie, ModelLargerThanTheBudgetStopsWithAWarning)
{
    Writer w(movieHeader());
    for (int i = 0; i < 5000; ++i) {
        w.place(placeAt(1, 1));
        w.showFrame();
    }
    ParseLimits limits;
    limits.maxModelBytes = 64 * 1024;
    Movie movie = parsed(w.finish(Compression::None), limits);
    EXPECT_LT(movie.timeline.frames.size(), 5000u);
    EXPECT_GT(movie.timeline.frames.size(), 10u);
    EXPECT_TRUE(hasWarning(movie, "too large")) << allWarnings(movie);
}

TEST(DamagedMovie, WarningsAreCapped)
{
    Writer w(movieHeader());
    for (int i = 0; i < 1000; ++i)
        w.rawTag(code(TagCode::RemoveObject2), {});
    ParseLimits limits;
    Movie movie = parsed(w.finish(Compression::None), limits);
    ASSERT_EQ(movie.warnings.size(), limits.maxWarnings + 1);
    EXPECT_EQ(movie.warnings.back(), "... and 900 more warnings");
}

} // namespace
} // namespace swf
