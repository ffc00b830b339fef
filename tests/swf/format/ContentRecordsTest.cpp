// The records of bitmaps, morph shapes, buttons, fonts and text. Each kind has fixtures
// written field by field as the file format documents them (so that a mistake the writer
// and the reader would share cannot pass), damaged copies that must keep what they can,
// and round trips through the encoders the other tests build their movies with.
#include "swf/format/Bitmaps.h"
#include "swf/format/Buttons.h"
#include "swf/format/Fonts.h"
#include "swf/format/MorphShape.h"
#include "swf/format/Tags.h"
#include "swf/format/Text.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <chrono>
#include <vector>

namespace swf {
namespace {

// Packs fields most significant bit first, the way the documentation lists them.
class Fields {
public:
    Fields& bits(uint32_t value, unsigned count)
    {
        for (unsigned i = count; i-- > 0;) {
            if (bit_ == 0)
                bytes_.push_back(0);
            if ((value >> i) & 1)
                bytes_.back() |= static_cast<uint8_t>(0x80 >> bit_);
            bit_ = (bit_ + 1) % 8;
        }
        return *this;
    }
    Fields& u8(uint8_t v) { return align().raw({ v }); }
    Fields& u16(uint16_t v) { return align().raw({ static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8) }); }
    Fields& u32(uint32_t v)
    {
        return align().raw({ static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
            static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24) });
    }
    Fields& raw(std::vector<uint8_t> data)
    {
        align();
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }
    Fields& align()
    {
        bit_ = 0;
        return *this;
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    unsigned bit_ = 0;
};

std::vector<uint8_t> zlibbed(const std::vector<uint8_t>& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> out(size);
    compress(out.data(), &size, data.data(), static_cast<uLong>(data.size()));
    out.resize(size);
    return out;
}

// ---- Bitmaps ---------------------------------------------------------------------------------

TEST(BitmapRecords, ColourMappedLosslessFromTheDocumentedLayout)
{
    // BitmapFormat 3, 2x2, BitmapColorTableSize 1 (two colours), then zlib: the RGB
    // table, and rows of 8-bit indices padded to 32 bits.
    const std::vector<uint8_t> data { 255, 0, 0, 0, 0, 255, /* rows */ 0, 1, 0, 0, 1, 0, 0, 0 };
    const std::vector<uint8_t> body = Fields().u8(3).u16(2).u16(2).u8(1).raw(zlibbed(data)).bytes();
    DecodedBitmap bitmap;
    ASSERT_TRUE(decodeBitmap(toCode(TagCode::DefineBitsLossless), body, {}, bitmap));
    ASSERT_EQ(bitmap.pixels.width, 2u);
    EXPECT_EQ(bitmap.pixels.argb, (std::vector<uint32_t> { 0xFFFF0000, 0xFF0000FF, 0xFF0000FF, 0xFFFF0000 }));
    EXPECT_TRUE(bitmap.warnings.empty());
}

TEST(BitmapRecords, FifteenAndTwentyFourBitLossless)
{
    // PIX15: a pad bit then 5 bits each of red, green, blue, big-endian; rows padded to 32
    // bits. PIX24: a pad byte then red, green, blue.
    const std::vector<uint8_t> pix15 { 0x7C, 0x00, 0x00, 0x00 };
    const std::vector<uint8_t> body15 = Fields().u8(4).u16(1).u16(1).raw(zlibbed(pix15)).bytes();
    DecodedBitmap a;
    ASSERT_TRUE(decodeBitmap(toCode(TagCode::DefineBitsLossless), body15, {}, a));
    EXPECT_EQ(a.pixels.argb, (std::vector<uint32_t> { 0xFFFF0000 }));

    const std::vector<uint8_t> pix24 { 0, 10, 20, 30 };
    const std::vector<uint8_t> body24 = Fields().u8(5).u16(1).u16(1).raw(zlibbed(pix24)).bytes();
    DecodedBitmap b;
    ASSERT_TRUE(decodeBitmap(toCode(TagCode::DefineBitsLossless), body24, {}, b));
    EXPECT_EQ(b.pixels.argb, (std::vector<uint32_t> { 0xFF0A141E }));
}

TEST(BitmapRecords, LosslessTwoKeepsItsPremultipliedAlpha)
{
    // ARGB, premultiplied as stored; a colour above its alpha (damage) is held to it.
    const std::vector<uint8_t> argb { 128, 128, 0, 64, 100, 200, 10, 0 };
    const std::vector<uint8_t> body = Fields().u8(5).u16(2).u16(1).raw(zlibbed(argb)).bytes();
    DecodedBitmap bitmap;
    ASSERT_TRUE(decodeBitmap(toCode(TagCode::DefineBitsLossless2), body, {}, bitmap));
    EXPECT_EQ(bitmap.pixels.argb, (std::vector<uint32_t> { 0x80800040, 0x64640A00 }));
}

TEST(BitmapRecords, CutDataKeepsTheRowsItHasAndTheRestIsTransparent)
{
    const std::vector<uint8_t> data(16, 0xFF); // two rows of 2x2 ARGB white
    std::vector<uint8_t> z = zlibbed(data);
    z.resize(z.size() / 2);
    const std::vector<uint8_t> body = Fields().u8(5).u16(2).u16(2).raw(z).bytes();
    DecodedBitmap bitmap;
    ASSERT_TRUE(decodeBitmap(toCode(TagCode::DefineBitsLossless2), body, {}, bitmap));
    ASSERT_EQ(bitmap.pixels.argb.size(), 4u);
    EXPECT_EQ(bitmap.pixels.argb.back(), 0u);
    EXPECT_FALSE(bitmap.warnings.empty());
}

TEST(BitmapRecords, DecompressionBombIsCutAtTheDeclaredSize)
{
    // Sixteen megabytes of zeros behind a 100x100 bitmap: inflating stops at the 40000
    // bytes the size needs.
    const std::vector<uint8_t> zeros(16u << 20, 0);
    const std::vector<uint8_t> bomb = zlibbed(zeros);
    const std::vector<uint8_t> body = Fields().u8(5).u16(100).u16(100).raw(bomb).bytes();
    const auto start = std::chrono::steady_clock::now();
    DecodedBitmap bitmap;
    ASSERT_TRUE(decodeBitmap(toCode(TagCode::DefineBitsLossless2), body, {}, bitmap));
    EXPECT_EQ(bitmap.pixels.argb.size(), 10000u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(BitmapRecords, SizesPastTheLimitAreNotDecoded)
{
    const std::vector<uint8_t> body = Fields().u8(5).u16(60000).u16(60000).raw(zlibbed({ 1, 2, 3 })).bytes();
    DecodedBitmap bitmap;
    EXPECT_FALSE(decodeBitmap(toCode(TagCode::DefineBitsLossless2), body, {}, bitmap));
    EXPECT_TRUE(bitmap.pixels.argb.empty());
    EXPECT_FALSE(bitmap.warnings.empty());
}

TEST(BitmapRecords, ShortAndUnknownHeadersFail)
{
    DecodedBitmap bitmap;
    EXPECT_FALSE(
        decodeBitmap(toCode(TagCode::DefineBitsLossless), std::vector<uint8_t> { 3, 1 }, {}, bitmap));
    EXPECT_FALSE(
        decodeBitmap(toCode(TagCode::DefineBitsLossless), Fields().u8(9).u16(1).u16(1).bytes(), {}, bitmap));
    EXPECT_FALSE(decodeBitmap(toCode(TagCode::DefineBitsJPEG3), std::vector<uint8_t> { 1, 2 }, {}, bitmap));
    EXPECT_FALSE(decodeBitmap(
        toCode(TagCode::DefineBitsJPEG2), std::vector<uint8_t> { 0xFF, 0xD8, 0xFF }, {}, bitmap));
}

TEST(BitmapRecords, JpegStreamsLoseTheirExtraEndAndStartMarkers)
{
    // The old players' leading FFD9 FFD8, and a tables stream joined to a picture stream.
    const std::vector<uint8_t> tables { 0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x03, 0x07, 0xFF, 0xD9 };
    const std::vector<uint8_t> picture { 0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0x12, 0xFF, 0x00, 0x34, 0xFF,
        0xD9 };
    std::vector<uint8_t> joined { 0xFF, 0xD9, 0xFF, 0xD8 };
    joined.insert(joined.end(), tables.begin(), tables.end());
    joined.insert(joined.end(), picture.begin(), picture.end());
    const std::vector<uint8_t> expected { 0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x03, 0x07, 0xFF, 0xDA, 0x00, 0x02,
        0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD9 };
    EXPECT_EQ(cleanJpeg(joined), expected);
    // A 0xFFD9 inside a marker's data is data, not an end.
    const std::vector<uint8_t> inside { 0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x04, 0xFF, 0xD9, 0xFF, 0xD9 };
    EXPECT_EQ(cleanJpeg(inside), inside);
}

// ---- Morph shapes ----------------------------------------------------------------------------

// A DefineMorphShape body: a square of fill 1 moving right and turning from red to blue.
std::vector<uint8_t> documentedMorph()
{
    Fields f;
    // StartBounds and EndBounds: RECT with Nbits 13.
    f.bits(13, 5).bits(0, 13).bits(2000, 13).bits(0, 13).bits(1000, 13).align();
    f.bits(13, 5).bits(1000, 13).bits(3000, 13).bits(0, 13).bits(1000, 13).align();
    Fields styles;
    styles.u8(1).u8(0x00).raw({ 255, 0, 0, 255 }).raw({ 0, 0, 255, 255 }); // one solid fill
    styles.u8(0); // no lines
    // StartEdges: NumFillBits 1, NumLineBits 0; a style change with MoveTo (0,0) and
    // FillStyle1 = 1; four straight edges of 1000 twips (general lines, 12 bits: NumBits 10);
    // the end record.
    Fields start;
    start.bits(1, 4).bits(0, 4);
    start.bits(0, 1).bits(0b00101, 5).bits(1, 5).bits(0, 1).bits(0, 1).bits(1, 1);
    const auto line = [](Fields& to, int dx, int dy) {
        to.bits(1, 1).bits(1, 1).bits(10, 4);
        if (dx != 0 && dy != 0) {
            to.bits(1, 1)
                .bits(static_cast<uint32_t>(dx) & 0xFFF, 12)
                .bits(static_cast<uint32_t>(dy) & 0xFFF, 12);
        } else {
            to.bits(0, 1).bits(dx == 0 ? 1 : 0, 1).bits(static_cast<uint32_t>(dx == 0 ? dy : dx) & 0xFFF, 12);
        }
    };
    line(start, 1000, 0);
    line(start, 0, 1000);
    line(start, -1000, 0);
    line(start, 0, -1000);
    start.bits(0, 6).align();
    // EndEdges: the same square moved to x = 1000.
    Fields end;
    end.bits(0, 4).bits(0, 4);
    end.bits(0, 1).bits(0b00001, 5).bits(11, 5).bits(1000, 11).bits(0, 11);
    line(end, 1000, 0);
    line(end, 0, 1000);
    line(end, -1000, 0);
    line(end, 0, -1000);
    end.bits(0, 6).align();
    f.u32(static_cast<uint32_t>(styles.bytes().size() + start.bytes().size()));
    f.raw(styles.bytes()).raw(start.bytes()).raw(end.bytes());
    return f.bytes();
}

TEST(MorphRecords, DocumentedMorphReadsBothEnds)
{
    std::vector<std::string> warnings;
    const MorphShape morph = readMorphShape(documentedMorph(), 1, warnings);
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    EXPECT_EQ(morph.startBounds, (Rect { 0, 2000, 0, 1000 }));
    EXPECT_EQ(morph.endBounds, (Rect { 1000, 3000, 0, 1000 }));
    ASSERT_EQ(morph.fills.size(), 1u);
    EXPECT_EQ(morph.fills[0].startColor, (Rgba { 255, 0, 0, 255 }));
    EXPECT_EQ(morph.fills[0].endColor, (Rgba { 0, 0, 255, 255 }));
    EXPECT_EQ(morph.startRecords.size(), 5u);
    EXPECT_EQ(morph.endRecords.size(), 5u);
}

TEST(MorphRecords, InterpolatesEdgesStylesAndBounds)
{
    std::vector<std::string> warnings;
    const MorphShape morph = readMorphShape(documentedMorph(), 1, warnings);
    const Shape half = morphAt(morph, 0.5);
    EXPECT_EQ(half.bounds, (Rect { 500, 2500, 0, 1000 }));
    ASSERT_EQ(half.styles.fills.size(), 1u);
    EXPECT_EQ(half.styles.fills[0].color, (Rgba { 128, 0, 128, 255 }));
    const auto& move = std::get<StyleChange>(half.records[0]);
    EXPECT_EQ(move.moveTo, (Point { 500, 0 }));
    EXPECT_EQ(std::get<StraightEdge>(half.records[1]), (StraightEdge { 1000, 0 }));
    EXPECT_EQ(morphAt(morph, 1.0).styles.fills[0].color, (Rgba { 0, 0, 255, 255 }));
}

TEST(MorphRecords, StraightPairedWithCurveBecomesACurve)
{
    MorphShape morph;
    morph.fills.push_back({});
    StyleChange move;
    move.moveTo = Point { 0, 0 };
    move.fill1 = 1;
    morph.startRecords = { move, StraightEdge { 1000, 0 } };
    morph.endRecords = { move, CurvedEdge { 500, 500, 500, -500 } };
    const Shape half = morphAt(morph, 0.5);
    ASSERT_EQ(half.records.size(), 2u);
    const auto* curve = std::get_if<CurvedEdge>(&half.records[1]);
    ASSERT_TRUE(curve);
    EXPECT_EQ(*curve, (CurvedEdge { 500, 250, 500, -250 }));
}

TEST(MorphRecords, CutMorphKeepsWhatItRead)
{
    const std::vector<uint8_t> whole = documentedMorph();
    for (std::size_t size :
        { std::size_t(0), std::size_t(3), std::size_t(12), whole.size() / 2, whole.size() - 3 }) {
        std::vector<std::string> warnings;
        const MorphShape morph = readMorphShape(std::span(whole).first(size), 1, warnings);
        EXPECT_FALSE(warnings.empty()) << size;
        (void)morphAt(morph, 0.3);
    }
}

TEST(MorphRecords, RoundTripThroughTheEncoder)
{
    std::vector<std::string> warnings;
    MorphShape morph = readMorphShape(documentedMorph(), 1, warnings);
    morph.version = 2;
    MorphLine line;
    line.startWidth = 20;
    line.endWidth = 100;
    line.style.join = LineStyle::Join::Miter;
    line.style.miterLimit = 2.5;
    line.style.endCap = LineStyle::Cap::Square;
    line.startColor = { 1, 2, 3, 4 };
    line.endColor = { 5, 6, 7, 8 };
    morph.lines.push_back(line);
    MorphFill gradient;
    gradient.kind = FillStyle::Kind::FocalRadialGradient;
    gradient.stops = { { 0, { 1, 1, 1, 255 }, 10, { 2, 2, 2, 255 } } };
    gradient.startFocal = 0.5;
    gradient.endFocal = -0.25;
    morph.fills.push_back(gradient);
    const MorphShape back = readMorphShape(encodeMorphShape(morph), 2, warnings);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(back.fills, morph.fills);
    EXPECT_EQ(back.lines, morph.lines);
    EXPECT_EQ(back.startRecords.size(), morph.startRecords.size());
}

// ---- Buttons ---------------------------------------------------------------------------------

TEST(ButtonRecords, DocumentedButtonTwo)
{
    // TrackAsMenu set, ActionOffset 0; one record in all four states: character 5 at
    // depth 2, an empty MATRIX and an empty CXFORMWITHALPHA; CharacterEndFlag.
    const std::vector<uint8_t> body
        = Fields().u8(0x01).u16(0).u8(0x0F).u16(5).u16(2).u8(0x00).u8(0x00).u8(0x00).bytes();
    std::vector<std::string> warnings;
    const ButtonDefinition button = readButton(body, 2, warnings);
    EXPECT_TRUE(warnings.empty());
    EXPECT_TRUE(button.trackAsMenu);
    ASSERT_EQ(button.records.size(), 1u);
    const ButtonRecord& r = button.records[0];
    EXPECT_TRUE(r.up && r.over && r.down && r.hitTest);
    EXPECT_EQ(r.characterId, 5);
    EXPECT_EQ(r.depth, 2);
}

TEST(ButtonRecords, FiltersAndBlendModeAreSteppedOver)
{
    // A record with a blur filter (id 1, nine bytes) and a blend mode, then a second record.
    Fields f;
    f.u8(0).u16(0);
    f.u8(0x30 | 0x01).u16(7).u16(1).u8(0).u8(0).u8(1).u8(1).raw(std::vector<uint8_t>(9, 0)).u8(3);
    f.u8(0x08).u16(8).u16(2).u8(0).u8(0).u8(0);
    std::vector<std::string> warnings;
    const ButtonDefinition button = readButton(f.bytes(), 2, warnings);
    ASSERT_EQ(button.records.size(), 2u) << (warnings.empty() ? "" : warnings.front());
    EXPECT_EQ(button.records[0].filters.size(), 11u);
    EXPECT_EQ(button.records[0].blendMode, 3);
    EXPECT_EQ(button.records[1].characterId, 8);
    EXPECT_TRUE(button.records[1].hitTest);
}

TEST(ButtonRecords, CutRecordsAreLeftOut)
{
    const std::vector<uint8_t> body = Fields().u8(0x0F).u16(5).u16(2).u8(0x00).u8(0x0F).u16(6).bytes();
    std::vector<std::string> warnings;
    const ButtonDefinition button = readButton(body, 1, warnings);
    EXPECT_EQ(button.records.size(), 1u);
    EXPECT_FALSE(warnings.empty());
    EXPECT_EQ(readButtonCxform(std::vector<uint8_t> { 1 }), std::nullopt);
}

TEST(ButtonRecords, RoundTripThroughTheEncoder)
{
    ButtonDefinition button;
    button.trackAsMenu = true;
    ButtonRecord r;
    r.up = r.hitTest = true;
    r.characterId = 3;
    r.depth = 4;
    r.matrix.tx = 100;
    r.colorTransform.rMul = 128;
    button.records.push_back(r);
    std::vector<std::string> warnings;
    EXPECT_EQ(readButton(encodeButton(button), 2, warnings), button);
    button.version = 1;
    button.trackAsMenu = false;
    button.records[0].colorTransform = {};
    EXPECT_EQ(readButton(encodeButton(button), 1, warnings), button);
    EXPECT_TRUE(warnings.empty());
}

// ---- Fonts and text --------------------------------------------------------------------------

// A glyph SHAPE: NumFillBits 1, NumLineBits 0, a style change with MoveTo (0,0) and
// FillStyle1 1, a square of 512 units, the end record.
std::vector<uint8_t> squareGlyph()
{
    Fields g;
    g.bits(1, 4).bits(0, 4);
    g.bits(0, 1).bits(0b00101, 5).bits(1, 5).bits(0, 1).bits(0, 1).bits(1, 1);
    const auto line = [&](bool vertical, int d) {
        g.bits(1, 1)
            .bits(1, 1)
            .bits(9, 4)
            .bits(0, 1)
            .bits(vertical ? 1 : 0, 1)
            .bits(static_cast<uint32_t>(d) & 0x7FF, 11);
    };
    line(false, 512);
    line(true, -512);
    line(false, -512);
    line(true, 512);
    g.bits(0, 6).align();
    return g.bytes();
}

TEST(FontRecords, DocumentedDefineFont2)
{
    // No layout, ANSI, 8-bit codes, 16-bit offsets; name "Sq"; one glyph for 'A'.
    const std::vector<uint8_t> glyph = squareGlyph();
    Fields f;
    f.u8(0x10).u8(0).u8(2).raw({ 'S', 'q' }).u16(1);
    f.u16(4).u16(static_cast<uint16_t>(4 + glyph.size())); // OffsetTable, CodeTableOffset
    f.raw(glyph).u8('A');
    std::vector<std::string> warnings;
    const FontDefinition font = readFont(toCode(TagCode::DefineFont2), f.bytes(), warnings);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(font.name, "Sq");
    EXPECT_TRUE(font.ansi);
    ASSERT_EQ(font.glyphs.size(), 1u);
    EXPECT_EQ(font.glyphs[0].code, 'A');
    EXPECT_EQ(font.glyphs[0].records.size(), 5u);
    EXPECT_EQ(font.glyphOf('A'), 0u);
}

TEST(FontRecords, DefineFont3CodesFollowTheWideCodesFlag)
{
    // Layout, 8-bit codes (the wide codes flag clear), 16-bit offsets; two glyphs for 'A'
    // and 'B'; ascent 800, descent 200, leading 0, advances 500 and 600, two empty
    // bounds, no kerning.
    const std::vector<uint8_t> glyph = squareGlyph();
    Fields f;
    f.u8(0x80).u8(0).u8(2).raw({ 'S', 'q' }).u16(2);
    f.u16(6).u16(static_cast<uint16_t>(6 + glyph.size())).u16(static_cast<uint16_t>(6 + 2 * glyph.size()));
    f.raw(glyph).raw(glyph).u8('A').u8('B');
    f.u16(800).u16(200).u16(0).u16(500).u16(600).u8(0).u8(0).u16(0);
    std::vector<std::string> warnings;
    const FontDefinition font = readFont(toCode(TagCode::DefineFont3), f.bytes(), warnings);
    EXPECT_TRUE(warnings.empty());
    ASSERT_EQ(font.glyphs.size(), 2u);
    EXPECT_EQ(font.glyphOf('A'), 0u);
    EXPECT_EQ(font.glyphOf('B'), 1u);
    EXPECT_EQ(font.glyphs[1].advance, 600);
    EXPECT_EQ(font.ascent, 800);
}

TEST(FontRecords, DefineFontWithFontInfo)
{
    // DefineFont: the offset table of one glyph, then the glyph; DefineFontInfo names it
    // "Ab", bold, with the 8-bit code 'x'.
    const std::vector<uint8_t> glyph = squareGlyph();
    const std::vector<uint8_t> body = Fields().u16(2).raw(glyph).bytes();
    std::vector<std::string> warnings;
    FontDefinition font = readFont(toCode(TagCode::DefineFont), body, warnings);
    ASSERT_EQ(font.glyphs.size(), 1u);
    const std::vector<uint8_t> info = Fields().u16(1).u8(2).raw({ 'A', 'b' }).u8(0x02).u8('x').bytes();
    applyFontInfo(font, toCode(TagCode::DefineFontInfo), info);
    EXPECT_EQ(font.name, "Ab");
    EXPECT_TRUE(font.bold);
    EXPECT_EQ(font.glyphs[0].code, 'x');
}

TEST(FontRecords, RoundTripWithLayoutAndKerning)
{
    FontDefinition font;
    font.version = 3;
    font.name = "Round";
    font.hasLayout = true;
    font.ascent = 800;
    font.descent = 200;
    font.leading = 40;
    std::vector<std::string> warnings;
    FontGlyph a;
    a.records = readFont(toCode(TagCode::DefineFont), Fields().u16(2).raw(squareGlyph()).bytes(), warnings)
                    .glyphs[0]
                    .records;
    a.code = 0x4E2D; // a Chinese character: codes are 16 bits
    a.advance = 600;
    font.glyphs = { a, a };
    font.glyphs[1].code = 'b';
    font.kerning.push_back({ 0x4E2D, 'b', -30 });
    EXPECT_EQ(readFont(toCode(TagCode::DefineFont3), encodeFont(font), warnings), font);
    EXPECT_TRUE(warnings.empty());
}

TEST(FontRecords, CutFontKeepsTheGlyphsBeforeTheCut)
{
    FontDefinition font;
    font.version = 2;
    std::vector<std::string> warnings;
    FontGlyph g;
    g.records = readFont(toCode(TagCode::DefineFont), Fields().u16(2).raw(squareGlyph()).bytes(), warnings)
                    .glyphs[0]
                    .records;
    font.glyphs.assign(3, g);
    const std::vector<uint8_t> whole = encodeFont(font);
    for (std::size_t size = 0; size < whole.size(); size += 3) {
        warnings.clear();
        const FontDefinition cut
            = readFont(toCode(TagCode::DefineFont2), std::span(whole).first(size), warnings);
        EXPECT_LE(cut.glyphs.size(), 3u);
    }
}

TEST(TextRecords, DocumentedDefineText)
{
    // TextBounds, an empty MATRIX, GlyphBits 1, AdvanceBits 10; one record with font 2,
    // colour, offsets and height, and two glyphs; EndOfRecordsFlag.
    Fields f;
    f.bits(12, 5).bits(0, 12).bits(1000, 12).bits(0, 12).bits(500, 12).align();
    f.u8(0x00).u8(1).u8(10);
    f.u8(0x8F).u16(2).raw({ 10, 20, 30 }).u16(40).u16(400).u16(240).u8(2);
    f.bits(1, 1).bits(300, 10).bits(0, 1).bits(static_cast<uint32_t>(-20) & 0x3FF, 10).align();
    f.u8(0);
    std::vector<std::string> warnings;
    const StaticText text = readStaticText(f.bytes(), 1, warnings);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(text.bounds, (Rect { 0, 1000, 0, 500 }));
    ASSERT_EQ(text.records.size(), 1u);
    const TextRecord& r = text.records[0];
    EXPECT_EQ(r.fontId, 2);
    EXPECT_EQ(r.color, (Rgba { 10, 20, 30, 255 }));
    EXPECT_EQ(r.xOffset, 40);
    EXPECT_EQ(r.yOffset, 400);
    EXPECT_EQ(r.height, 240);
    ASSERT_EQ(r.glyphs.size(), 2u);
    EXPECT_EQ(r.glyphs[0], (TextGlyph { 1, 300 }));
    EXPECT_EQ(r.glyphs[1], (TextGlyph { 0, -20 }));

    // Cut inside the glyphs: the record keeps the glyph it has.
    warnings.clear();
    const StaticText cut = readStaticText(std::span(f.bytes()).first(f.bytes().size() - 2), 1, warnings);
    EXPECT_FALSE(warnings.empty());
    ASSERT_EQ(cut.records.size(), 1u);
    EXPECT_EQ(cut.records[0].glyphs.size(), 1u);
}

TEST(TextRecords, DocumentedDefineEditText)
{
    // Bounds; HasText, WordWrap, Multiline, HasTextColor, HasMaxLength, HasFont; HasLayout,
    // Border, HTML, UseOutlines; font 3 at 240 twips; colour; 10 characters; centred,
    // margins 20 and 40, indent 60, leading -2; variable "v"; text "hi".
    Fields f;
    f.bits(12, 5).bits(0, 12).bits(2000, 12).bits(0, 12).bits(400, 12).align();
    f.u8(0x80 | 0x40 | 0x20 | 0x04 | 0x02 | 0x01).u8(0x20 | 0x08 | 0x02 | 0x01);
    f.u16(3).u16(240).raw({ 1, 2, 3, 4 }).u16(10);
    f.u8(2).u16(20).u16(40).u16(60).u16(static_cast<uint16_t>(-2));
    f.raw({ 'v', 0, 'h', 'i', 0 });
    std::vector<std::string> warnings;
    const EditTextDefinition t = readEditText(f.bytes(), warnings);
    EXPECT_TRUE(warnings.empty());
    EXPECT_TRUE(t.wordWrap && t.multiline && t.border && t.html && t.useOutlines && t.hasLayout);
    EXPECT_FALSE(t.password || t.readOnly || t.autoSize || t.noSelect);
    EXPECT_EQ(t.fontId, 3);
    EXPECT_EQ(t.fontHeight, 240);
    EXPECT_EQ(t.color, (Rgba { 1, 2, 3, 4 }));
    EXPECT_EQ(t.maxLength, 10);
    EXPECT_EQ(t.align, 2);
    EXPECT_EQ(t.leftMargin, 20);
    EXPECT_EQ(t.rightMargin, 40);
    EXPECT_EQ(t.indent, 60);
    EXPECT_EQ(t.leading, -2);
    EXPECT_EQ(t.variableName, "v");
    EXPECT_EQ(t.initialText, "hi");
    EXPECT_EQ(readEditText(encodeEditText(t), warnings), t);

    warnings.clear();
    const EditTextDefinition cut = readEditText(std::span(f.bytes()).first(6), warnings);
    EXPECT_FALSE(warnings.empty());
}

TEST(TextRecords, StaticTextRoundTrip)
{
    StaticText text;
    text.version = 2;
    text.bounds = { -100, 900, -50, 300 };
    text.matrix.tx = 20;
    TextRecord r;
    r.fontId = 1;
    r.height = 480;
    r.color = Rgba { 1, 2, 3, 128 };
    r.xOffset = -5;
    r.glyphs = { { 0, 100 }, { 3, -7 } };
    text.records = { r, TextRecord { {}, {}, {}, int16_t(200), {}, { { 2, 0 } } } };
    std::vector<std::string> warnings;
    EXPECT_EQ(readStaticText(encodeStaticText(text), 2, warnings), text);
    EXPECT_TRUE(warnings.empty());
}

} // namespace
} // namespace swf
