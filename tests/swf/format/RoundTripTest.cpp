#include "Fixtures.h"

#include "swf/format/BitWriter.h"
#include "swf/format/ShapeBuilder.h"
#include "swf/format/Tags.h"

#include <gtest/gtest.h>

namespace swf {
namespace {

using test::allWarnings;
using test::characterAs;
using test::movieHeader;
using test::parsed;

Gradient gradient(uint8_t stops, bool alpha)
{
    Gradient g;
    g.matrix = Matrix { 0.5, 0.0, 0.0, 0.25, 100, -200 };
    g.spread = Gradient::Spread::Reflect;
    g.interpolation = Gradient::Interpolation::Linear;
    for (uint8_t i = 0; i < stops; ++i)
        g.stops.push_back(
            { uint8_t(i * 17), Rgba { i, uint8_t(255 - i), 7, uint8_t(alpha ? 100 + i : 255) } });
    return g;
}

// A shape using every fill kind, line style and record kind its version allows.
Shape everyFeatureShape(uint8_t version)
{
    bool alpha = version >= 3;
    Shape s;
    s.version = version;
    s.bounds = Rect { -100, 2100, -50, 1050 };
    FillStyle solid;
    solid.color = Rgba { 10, 20, 30, uint8_t(alpha ? 40 : 255) };
    s.styles.fills.push_back(solid);
    for (auto kind : { FillStyle::Kind::LinearGradient, FillStyle::Kind::RadialGradient }) {
        FillStyle f;
        f.kind = kind;
        f.gradient = gradient(15, alpha);
        s.styles.fills.push_back(f);
    }
    for (auto kind : { FillStyle::Kind::RepeatingBitmap, FillStyle::Kind::ClippedBitmap,
             FillStyle::Kind::NonSmoothedRepeatingBitmap, FillStyle::Kind::NonSmoothedClippedBitmap }) {
        FillStyle f;
        f.kind = kind;
        f.bitmapId = 77;
        f.bitmapMatrix = Matrix { 20.0, 0.0, 0.0, 20.0, 5, 6 };
        s.styles.fills.push_back(f);
    }
    LineStyle line;
    line.width = 40;
    line.color = Rgba { 1, 2, 3, uint8_t(alpha ? 4 : 255) };
    s.styles.lines.push_back(line);
    if (version >= 4) {
        s.edgeBounds = Rect { 0, 2000, 0, 1000 };
        s.nonZeroWinding = true;
        FillStyle focal;
        focal.kind = FillStyle::Kind::FocalRadialGradient;
        focal.gradient = gradient(3, true);
        focal.gradient.focalPoint = -0.75;
        s.styles.fills.push_back(focal);
        LineStyle fancy;
        fancy.width = 100;
        fancy.startCap = LineStyle::Cap::None;
        fancy.endCap = LineStyle::Cap::Square;
        fancy.join = LineStyle::Join::Miter;
        fancy.miterLimit = 2.5;
        fancy.noHScale = true;
        fancy.pixelHinting = true;
        fancy.noClose = true;
        fancy.fill = focal;
        s.styles.lines.push_back(fancy);
        LineStyle bevel;
        bevel.join = LineStyle::Join::Bevel;
        bevel.noVScale = true;
        bevel.color = Rgba { 9, 8, 7, 6 };
        s.styles.lines.push_back(bevel);
    }
    StyleChange start;
    start.moveTo = Point { -100, -50 };
    start.fill0 = 1;
    start.fill1 = 2;
    start.line = 1;
    s.records.push_back(start);
    s.records.push_back(StraightEdge { 2200, 0 }); // horizontal
    s.records.push_back(StraightEdge { 0, 1100 }); // vertical
    s.records.push_back(StraightEdge { -1, -1 }); // general, smallest width
    // The widest edge fields, which must not be split (found by fuzz_movie: -65536 was).
    s.records.push_back(CurvedEdge { -65536, 0, 0, 65535 });
    s.records.push_back(StraightEdge { -65536, 65535 });
    StyleChange select;
    select.fill0 = 0; // "no fill" is a selection, not an absence
    select.line = 0;
    s.records.push_back(select);
    if (version >= 2) {
        // New styles replace the table; the following indices are in the new widths.
        StyleChange restyle;
        restyle.moveTo = Point { 0, 0 };
        StyleTable table;
        for (int i = 0; i < 300; ++i) {
            FillStyle f;
            f.color = Rgba { uint8_t(i), 0, 0, 255 };
            table.fills.push_back(f);
        }
        table.lines.push_back(line);
        restyle.newStyles = table;
        s.records.push_back(restyle);
        StyleChange pick;
        pick.fill1 = 300;
        pick.line = 1;
        s.records.push_back(pick);
        s.records.push_back(StraightEdge { 10, 10 });
    }
    return s;
}

// A sprite body of one frame: id, frame count, `contents`, ShowFrame, End.
std::vector<uint8_t> oneFrameSprite(uint16_t id, std::span<const uint8_t> contents)
{
    BitWriter body;
    body.u16(id);
    body.u16(1);
    body.bytes(contents);
    std::vector<uint8_t> bytes = body.take();
    appendTag(bytes, toCode(TagCode::ShowFrame), {});
    appendTag(bytes, toCode(TagCode::End), {});
    return bytes;
}

class RoundTrip : public testing::TestWithParam<Compression> {
protected:
    Movie writeAndRead(const Writer& w) { return read(w.finish(GetParam())); }

    Movie read(const std::vector<uint8_t>& file)
    {
        Movie movie = parsed(file);
        EXPECT_TRUE(movie.warnings.empty()) << allWarnings(movie);
        EXPECT_FALSE(movie.truncated);
        EXPECT_EQ(movie.header.compression, GetParam());
        return movie;
    }
};

TEST_P(RoundTrip, Header)
{
    Header h = movieHeader(6);
    h.frameRate = 29.97265625; // exactly representable in 8.8
    h.frameSize = Rect { -20, 8000, 40, 6000 };
    Writer w(h);
    w.showFrame();
    w.showFrame();
    w.showFrame();
    Movie movie = writeAndRead(w);
    EXPECT_EQ(movie.header.version, 6);
    EXPECT_EQ(movie.header.frameSize, h.frameSize);
    EXPECT_DOUBLE_EQ(movie.header.frameRate, h.frameRate);
    EXPECT_EQ(movie.header.frameCount, 3);
    EXPECT_EQ(movie.header.fileLength, w.finish(Compression::None).size());
    EXPECT_EQ(movie.timeline.frames.size(), 3u);
}

TEST_P(RoundTrip, ShapesOfEveryVersion)
{
    Writer w(movieHeader());
    for (uint8_t version = 1; version <= 4; ++version)
        w.defineShape(version, everyFeatureShape(version));
    w.showFrame();
    Movie movie = writeAndRead(w);
    for (uint8_t version = 1; version <= 4; ++version) {
        const Shape* shape = characterAs<Shape>(movie, version);
        ASSERT_NE(shape, nullptr) << "DefineShape" << int(version);
        EXPECT_EQ(*shape, everyFeatureShape(version)) << "DefineShape" << int(version);
    }
}

TEST_P(RoundTrip, ExtendedStyleCounts)
{
    // 0xFF and beyond in DefineShape2+, up to 255 in DefineShape's single byte.
    for (auto [version, count] :
        { std::pair<uint8_t, size_t> { 1, 255 }, { 2, 255 }, { 3, 256 }, { 4, 1000 } }) {
        Shape s;
        s.version = version;
        s.styles.fills.resize(count);
        s.styles.lines.resize(count);
        StyleChange last;
        last.fill1 = uint32_t(count);
        last.line = uint32_t(count);
        s.records.push_back(last);
        if (version >= 4)
            s.edgeBounds = s.bounds;
        Writer w(movieHeader());
        w.defineShape(1, s);
        Movie movie = writeAndRead(w);
        const Shape* back = characterAs<Shape>(movie, 1);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->styles.fills.size(), count) << int(version);
        EXPECT_EQ(*back, s) << int(version);
    }
}

TEST_P(RoundTrip, PlaceObjectOfEveryVersion)
{
    PlaceObject v1;
    v1.tagVersion = 1;
    v1.depth = 3;
    v1.characterId = 9;
    v1.matrix = Matrix { 1.0, 0.0, 0.0, 1.0, 300, 400 };
    PlaceObject v1cx = v1;
    v1cx.colorTransform = ColorTransform { 128, 256, 256, 256, 10, -10, 0, 0 };

    PlaceObject v2;
    v2.depth = 65535;
    v2.characterId = 1;
    v2.matrix = Matrix { 0.5, 0.25, -0.25, 0.5, -1, 1 };
    v2.colorTransform = ColorTransform { 256, 256, 256, 128, 0, 0, 0, -255 };
    v2.ratio = 65535;
    v2.name = "clip_实例";
    v2.clipDepth = 10;
    v2.clipActions = { 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 0x07, 0, 0, 0, 0, 0, 0, 0 };
    PlaceObject move;
    move.depth = 2;
    move.move = true;
    move.ratio = 0;

    PlaceObject v3 = v2;
    v3.tagVersion = 3;
    v3.className = "flash.display.Shape";
    v3.filters = { 1, 1, 0, 0, 4, 0, 0, 0, 4, 0, 0x10 }; // one Blur filter
    v3.blendMode = 12;
    v3.cacheAsBitmap = true;
    PlaceObject v3bare;
    v3bare.tagVersion = 3;
    v3bare.depth = 5;
    v3bare.cacheAsBitmap = false;

    Writer w(movieHeader());
    for (const PlaceObject& po : { v1, v1cx, v2, move, v3, v3bare })
        w.place(po);
    w.showFrame();
    Movie movie = writeAndRead(w);
    ASSERT_EQ(movie.timeline.frames.size(), 1u);
    const auto& tags = movie.timeline.frames[0].tags;
    ASSERT_EQ(tags.size(), 6u);
    EXPECT_EQ(std::get<PlaceObject>(tags[0]), v1);
    EXPECT_EQ(std::get<PlaceObject>(tags[1]), v1cx);
    EXPECT_EQ(std::get<PlaceObject>(tags[2]), v2);
    EXPECT_EQ(std::get<PlaceObject>(tags[3]), move);
    EXPECT_EQ(std::get<PlaceObject>(tags[4]), v3);
    EXPECT_EQ(std::get<PlaceObject>(tags[5]), v3bare);
}

TEST_P(RoundTrip, FramesWithTheirControlTagsAndLabels)
{
    Writer w(movieHeader());
    w.setBackground(Rgba { 0x33, 0x66, 0x99, 255 });
    w.frameLabel("开始");
    w.doAction(std::vector<uint8_t> { 0x96, 0x02, 0x00, 0x08, 0x00, 0x26, 0x00 });
    w.showFrame();
    w.remove(RemoveObject { 4, 12 });
    w.remove(RemoveObject { 5, std::nullopt });
    w.showFrame();
    w.showFrame(); // an empty frame
    w.doAction(std::vector<uint8_t>(100, 0)); // long tag header
    w.showFrame();
    Movie movie = writeAndRead(w);
    EXPECT_EQ(movie.background, (Rgba { 0x33, 0x66, 0x99, 255 }));
    ASSERT_EQ(movie.timeline.frames.size(), 4u);
    const Frame& first = movie.timeline.frames[0];
    EXPECT_EQ(first.labels, std::vector<std::string> { "开始" });
    ASSERT_EQ(first.tags.size(), 2u);
    EXPECT_EQ(std::get<SetBackgroundColor>(first.tags[0]).color, movie.background);
    EXPECT_EQ(std::get<DoAction>(first.tags[1]).actions.size(), 7u);
    const Frame& second = movie.timeline.frames[1];
    ASSERT_EQ(second.tags.size(), 2u);
    EXPECT_EQ(std::get<RemoveObject>(second.tags[0]), (RemoveObject { 4, 12 }));
    EXPECT_EQ(std::get<RemoveObject>(second.tags[1]), (RemoveObject { 5, std::nullopt }));
    EXPECT_TRUE(movie.timeline.frames[2].tags.empty());
    EXPECT_EQ(std::get<DoAction>(movie.timeline.frames[3].tags[0]).actions.size(), 100u);
}

TEST_P(RoundTrip, SpritesNestedInSprites)
{
    SpriteDefinition inner;
    inner.declaredFrameCount = 2;
    inner.timeline.frames.resize(2);
    inner.timeline.frames[0].labels = { "a" };
    PlaceObject place;
    place.depth = 1;
    place.characterId = 1;
    inner.timeline.frames[1].tags.push_back(place);

    // A sprite inside a sprite is not something Flash writes, but files have it.
    std::vector<uint8_t> innerTag;
    appendTag(innerTag, toCode(TagCode::DefineSprite), oneFrameSprite(3, {}));

    Writer w(movieHeader());
    w.defineShape(1, ShapeBuilder().rectangle({ 0, 100, 0, 100 }).build());
    w.defineSprite(2, inner);
    std::vector<uint8_t> outerBody = oneFrameSprite(4, innerTag);
    w.rawTag(toCode(TagCode::DefineSprite), outerBody);
    w.showFrame();
    Movie movie = writeAndRead(w);

    const auto* sprite = characterAs<SpriteDefinition>(movie, 2);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(*sprite, inner);
    const auto* outer = characterAs<SpriteDefinition>(movie, 4);
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->timeline.frames.size(), 1u);
    const auto* nested = characterAs<SpriteDefinition>(movie, 3);
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->timeline.frames.size(), 1u);
}

TEST_P(RoundTrip, OtherDefinitionsKeepTheirBodies)
{
    Writer w(movieHeader());
    w.rawTag(toCode(TagCode::DefineBitsLossless), std::vector<uint8_t> { 42, 0, 3, 1, 0, 1, 0 });
    w.rawTag(toCode(TagCode::DefineFont2), std::vector<uint8_t> { 43, 0 });
    w.rawTag(1000, std::vector<uint8_t> { 1, 2, 3 }); // unknown: skipped
    w.showFrame();
    Movie movie = writeAndRead(w);
    ASSERT_EQ(movie.dictionary.size(), 2u);
    EXPECT_EQ(*movie.character(42),
        (Character { 42, toCode(TagCode::DefineBitsLossless), { 3, 1, 0, 1, 0 }, std::monostate {} }));
    EXPECT_EQ(*movie.character(43), (Character { 43, toCode(TagCode::DefineFont2), {}, std::monostate {} }));
    EXPECT_TRUE(movie.timeline.frames[0].tags.empty());
}

// Every control tag stays in its frame, in file order, for the layers that read it later;
// those about the whole movie or about one character are noted there as well.
TEST_P(RoundTrip, ControlTagsAreKeptInFrameOrder)
{
    const std::vector<uint8_t> startSound { 7, 0, 0x00 };
    const std::vector<uint8_t> exports { 1, 0, 3, 0, 'b', 't', 'n', 0 };
    const std::vector<uint8_t> cxform { 3, 0, 0x00 };
    const std::vector<uint8_t> tables { 0xff, 0xd8, 0xff, 0xd9 };
    Writer w(movieHeader());
    w.rawTag(toCode(TagCode::FileAttributes), std::vector<uint8_t> { 0x09, 0, 0, 0 }); // AS3, network
    w.rawTag(toCode(TagCode::ScriptLimits), std::vector<uint8_t> { 0x00, 0x01, 30, 0 });
    w.rawTag(toCode(TagCode::JPEGTables), tables);
    w.frameLabel("intro");
    w.frameLabel("start");
    w.rawTag(toCode(TagCode::StartSound), startSound);
    w.control(DoInitAction { 3, { 0x07, 0x00 } });
    w.rawTag(toCode(TagCode::DefineButtonCxform), cxform);
    w.rawTag(toCode(TagCode::ExportAssets), exports);
    w.showFrame();
    Movie movie = writeAndRead(w);
    ASSERT_EQ(movie.timeline.frames.size(), 1u);
    const Frame& frame = movie.timeline.frames[0];
    EXPECT_EQ(frame.labels, (std::vector<std::string> { "intro", "start" }));
    const std::vector<ControlTag> expected { TagRecord { toCode(TagCode::FileAttributes), { 0x09, 0, 0, 0 } },
        TagRecord { toCode(TagCode::ScriptLimits), { 0x00, 0x01, 30, 0 } },
        TagRecord { toCode(TagCode::JPEGTables), tables },
        TagRecord { toCode(TagCode::StartSound), startSound }, DoInitAction { 3, { 0x07, 0x00 } },
        TagRecord { toCode(TagCode::DefineButtonCxform), cxform },
        TagRecord { toCode(TagCode::ExportAssets), exports } };
    EXPECT_EQ(frame.tags, expected);
    ASSERT_TRUE(movie.fileAttributes);
    EXPECT_TRUE(movie.fileAttributes->actionScript3);
    EXPECT_TRUE(movie.fileAttributes->useNetwork);
    EXPECT_FALSE(movie.fileAttributes->hasMetadata);
    EXPECT_TRUE(movie.usesActionScript3());
    EXPECT_EQ(movie.scriptLimits, (ScriptLimits { 256, 30 }));
    EXPECT_EQ(movie.jpegTables, tables);
    ASSERT_EQ(movie.characterTags.count(3), 1u);
    EXPECT_EQ(movie.characterTags.at(3),
        std::vector<TagRecord> { (TagRecord { toCode(TagCode::DefineButtonCxform), cxform }) });
    // Written back, the frame is the same.
    EXPECT_EQ(read(writeMovie(movie, GetParam())).timeline, movie.timeline);
}

TEST_P(RoundTrip, EdgesTooLongForOneRecordAreSplitExactly)
{
    ShapeBuilder b;
    b.fill1(b.addSolidFill({ 255, 0, 0, 255 }));
    b.moveTo(-200000, 0).lineTo(200000, 70000).curveTo(300000, -300000, -200000, 0);
    Writer w(movieHeader());
    w.defineShape(1, b.build());
    Movie movie = writeAndRead(w);
    const Shape* shape = characterAs<Shape>(movie, 1);
    ASSERT_NE(shape, nullptr);
    int64_t x = 0, y = 0;
    size_t edges = 0;
    for (const auto& record : shape->records) {
        if (auto* e = std::get_if<StraightEdge>(&record)) {
            x += e->dx, y += e->dy, ++edges;
        } else if (auto* c = std::get_if<CurvedEdge>(&record)) {
            x += c->controlDx + c->anchorDx, y += c->controlDy + c->anchorDy, ++edges;
        }
    }
    EXPECT_GT(edges, 2u);
    EXPECT_EQ(x, 0); // the path closes where it started
    EXPECT_EQ(y, 0);
}

TEST_P(RoundTrip, WholeModelWrittenBackReadsTheSame)
{
    Writer w(movieHeader(7));
    w.defineShape(1, everyFeatureShape(2));
    w.defineShape(2, everyFeatureShape(4));
    SpriteDefinition sprite;
    sprite.declaredFrameCount = 3;
    sprite.timeline.frames.resize(3);
    sprite.timeline.frames[2].labels = { "end" };
    sprite.timeline.frames[2].tags.push_back(DoAction { { 0x07, 0x00 } });
    w.defineSprite(3, sprite);
    w.rawTag(toCode(TagCode::DefineSound), std::vector<uint8_t> { 4, 0, 0x20 });
    PlaceObject po;
    po.depth = 1;
    po.characterId = 3;
    w.place(po);
    w.frameLabel("one");
    w.showFrame();
    w.remove(RemoveObject { 1, std::nullopt });
    w.showFrame();
    Movie first = writeAndRead(w);
    Movie second = read(writeMovie(first, GetParam()));
    EXPECT_EQ(second.timeline, first.timeline);
    EXPECT_EQ(second.header.frameSize, first.header.frameSize);
    EXPECT_EQ(second.header.version, 7);
    ASSERT_EQ(second.dictionary.size(), 4u);
    EXPECT_EQ(second.character(4)->body, (std::vector<uint8_t> { 0x20 }));
    for (uint16_t id : { 1, 2, 3, 4 })
        EXPECT_EQ(*second.character(id), *first.character(id)) << id;
}

INSTANTIATE_TEST_SUITE_P(Compressions, RoundTrip,
    testing::Values(Compression::None, Compression::Zlib, Compression::Lzma), test::signatureName);

} // namespace
} // namespace swf
