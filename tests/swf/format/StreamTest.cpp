// A movie read while it arrives must come out exactly as the whole file read at once,
// however the file is cut into pieces, and its frames must be there as soon as their
// bytes are.
#include "Fixtures.h"

#include "swf/format/Decompress.h"
#include "swf/format/ShapeBuilder.h"
#include "swf/format/Tags.h"

#include <random>

namespace swf {
namespace {

using test::movieHeader;

// A movie worth cutting up: shapes, a sprite, labels, scripts and kept tags over frames.
std::vector<uint8_t> sampleMovie(Compression compression)
{
    Writer w(movieHeader());
    w.setBackground({ 10, 20, 30, 255 });
    ShapeBuilder b;
    b.fill1(b.addSolidFill({ 255, 0, 0, 255 })).circle({ 0, 0 }, 400);
    w.defineShape(1, b.build());
    SpriteDefinition sprite;
    sprite.declaredFrameCount = 2;
    sprite.timeline.frames.resize(2);
    PlaceObject inner;
    inner.depth = 1;
    inner.characterId = 1;
    sprite.timeline.frames[1].tags.push_back(inner);
    w.defineSprite(2, sprite);
    for (int frame = 0; frame < 12; ++frame) {
        w.frameLabel("f" + std::to_string(frame));
        PlaceObject place;
        place.depth = uint16_t(1 + frame % 3);
        place.characterId = uint16_t(1 + frame % 2);
        place.matrix = Matrix { .tx = frame * 100, .ty = 50 };
        w.place(place);
        w.doAction(std::vector<uint8_t>(size_t(30 + frame * 7), uint8_t(frame)));
        w.rawTag(toCode(TagCode::StartSound), std::vector<uint8_t> { 1, 0, 0 });
        w.showFrame();
    }
    return w.finish(compression);
}

Movie readInPieces(
    std::span<const uint8_t> file, std::mt19937& random, std::vector<size_t>* framesSeen = nullptr)
{
    MovieStream stream;
    size_t at = 0;
    while (at < file.size()) {
        const size_t piece = std::min(file.size() - at, size_t(1 + random() % 97));
        EXPECT_TRUE(stream.append(file.subspan(at, piece)).has_value());
        at += piece;
        if (framesSeen)
            framesSeen->push_back(stream.framesLoaded());
    }
    EXPECT_TRUE(stream.finish().has_value());
    EXPECT_TRUE(stream.movie());
    return stream.movie() ? *stream.movie() : Movie {};
}

void expectSameMovie(const Movie& a, const Movie& b)
{
    EXPECT_EQ(a.header.frameCount, b.header.frameCount);
    EXPECT_EQ(a.header.frameSize, b.header.frameSize);
    EXPECT_EQ(a.background, b.background);
    EXPECT_EQ(a.timeline, b.timeline);
    ASSERT_EQ(a.dictionary.size(), b.dictionary.size());
    for (const auto& [id, character] : a.dictionary)
        EXPECT_EQ(*character, *b.character(id)) << id;
    EXPECT_EQ(a.warnings, b.warnings);
    EXPECT_EQ(a.truncated, b.truncated);
    EXPECT_TRUE(a.complete);
}

class Stream : public testing::TestWithParam<Compression> { };

TEST_P(Stream, PiecesGiveTheSameMovieAsTheWholeFile)
{
    const auto file = sampleMovie(GetParam());
    const Movie whole = test::parsed(file);
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round)
        expectSameMovie(readInPieces(file, random), whole);
}

TEST_P(Stream, FramesArriveBeforeTheFileEnds)
{
    const auto file = sampleMovie(GetParam());
    std::mt19937 random(3);
    std::vector<size_t> seen;
    readInPieces(file, random, &seen);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    // Half the file in, some frames are there and not all.
    const size_t half = seen[seen.size() / 2];
    EXPECT_GT(half, 0u);
    EXPECT_LT(half, 12u);
    EXPECT_EQ(seen.back(), 12u);
}

TEST_P(Stream, DamagedFilesReadTheSameInPieces)
{
    auto file = sampleMovie(GetParam());
    std::mt19937 random(11);
    for (size_t cut : { size_t(9), size_t(40), file.size() / 2, file.size() - 3 }) {
        const std::span<const uint8_t> part(file.data(), cut);
        auto whole = parseMovie(part);
        MovieStream stream;
        size_t at = 0;
        bool failed = false;
        while (at < part.size() && !failed) {
            const size_t piece = std::min(part.size() - at, size_t(1 + random() % 13));
            failed = !stream.append(part.subspan(at, piece));
            at += piece;
        }
        failed = failed || !stream.finish();
        ASSERT_EQ(failed, !whole.has_value()) << "cut at " << cut;
        if (whole)
            expectSameMovie(*stream.movie(), *whole);
    }
}

// Each DoAction knows where its bytes sat in the body, in the root and in sprites, read
// at once or in pieces: branches between a frame's blocks count on it.
TEST(MovieStream, DoActionsKnowWhereTheirBytesSat)
{
    const std::vector<uint8_t> rootActions { 0x96, 0x02, 0x00, 0x08, 0x11, 0x26, 0x00 };
    const std::vector<uint8_t> spriteActions { 0x96, 0x02, 0x00, 0x08, 0x22, 0x26, 0x00 };
    // DefineSprite 5, one frame: DoAction (short header 0x0307 = code 12, 7 bytes), ShowFrame, End.
    std::vector<uint8_t> sprite { 5, 0, 1, 0, 0x07, 0x03 };
    sprite.insert(sprite.end(), spriteActions.begin(), spriteActions.end());
    sprite.insert(sprite.end(), { 0x40, 0x00, 0x00, 0x00 });
    Writer w(movieHeader());
    w.rawTag(toCode(TagCode::DefineSprite), sprite);
    w.doAction(rootActions);
    w.showFrame();
    const auto file = w.finish(Compression::None);
    const auto where = [&](const std::vector<uint8_t>& bytes) {
        return uint64_t(std::search(file.begin(), file.end(), bytes.begin(), bytes.end()) - file.begin() - 8);
    };
    const auto check = [&](const Movie& movie) {
        const auto& root = std::get<DoAction>(movie.timeline.frames.at(0).tags.at(0));
        EXPECT_EQ(root.bodyOffset, where(rootActions));
        const auto* def = std::get_if<SpriteDefinition>(&movie.character(5)->data);
        ASSERT_NE(def, nullptr);
        EXPECT_EQ(std::get<DoAction>(def->timeline.frames.at(0).tags.at(0)).bodyOffset, where(spriteActions));
    };
    check(test::parsed(file));
    std::mt19937 random(5);
    check(readInPieces(file, random));
    EXPECT_EQ(DoAction { rootActions }, (DoAction { rootActions, 3 })); // not part of the tag's meaning
}

// A CWS file whose last bytes, zlib's check value, are wrong reads the same in pieces of
// one byte (the body is complete before the check value arrives) as at once.
TEST(MovieStream, ABadCheckValueAfterTheWholeBodyReadsTheSameInPieces)
{
    auto file = sampleMovie(Compression::Zlib);
    file.back() ^= 0x5A;
    const auto whole = parseMovie(file);
    ASSERT_TRUE(whole.has_value());
    MovieStream stream;
    for (const uint8_t byte : file)
        ASSERT_TRUE(stream.append(std::span<const uint8_t>(&byte, 1)).has_value());
    ASSERT_TRUE(stream.finish().has_value());
    ASSERT_TRUE(stream.movie());
    expectSameMovie(*stream.movie(), *whole);
}

INSTANTIATE_TEST_SUITE_P(Compressions, Stream,
    testing::Values(Compression::None, Compression::Zlib, Compression::Lzma), test::signatureName);

TEST(MovieStream, NoMovieUntilTheHeaderIsIn)
{
    const auto file = sampleMovie(Compression::None);
    MovieStream stream;
    ASSERT_TRUE(stream.append(std::span(file).first(12)));
    EXPECT_FALSE(stream.movie());
    ASSERT_TRUE(stream.append(std::span(file).subspan(12, 20)));
    ASSERT_TRUE(stream.movie());
    EXPECT_FALSE(stream.movie()->complete);
    EXPECT_EQ(stream.movie()->header.frameCount, 12);
}

TEST(MovieStream, NotAMovieFailsAtOnce)
{
    MovieStream stream;
    const std::vector<uint8_t> junk { 'G', 'I', 'F', '8', '9', 'a' };
    EXPECT_FALSE(stream.append(junk));
    EXPECT_FALSE(stream.append(junk)) << "nothing more is taken";
}

TEST(BodyDecoder, ConsumedBytesAreLetGo)
{
    std::vector<uint8_t> body(3 << 20);
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = uint8_t(i * 31 / 7);
    Writer w(movieHeader());
    w.doAction(body);
    w.showFrame();
    const auto file = w.finish(Compression::Zlib);
    BodyDecoder decoder;
    size_t taken = 0;
    size_t largest = 0;
    for (size_t at = 0; at < file.size(); at += 4096) {
        ASSERT_TRUE(decoder.feed(std::span(file).subspan(at, std::min<size_t>(4096, file.size() - at))));
        taken += decoder.available().size();
        largest = std::max(largest, decoder.available().size());
        decoder.consume(decoder.available().size());
    }
    ASSERT_TRUE(decoder.finish());
    EXPECT_EQ(taken, decoder.decodedSize());
    EXPECT_GT(taken, body.size());
    EXPECT_LT(largest, size_t(1) << 20) << "the decoder holds no more than what is not yet taken";
    EXPECT_TRUE(decoder.warnings().empty());
}

} // namespace
} // namespace swf
