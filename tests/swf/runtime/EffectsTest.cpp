// Blend modes and filters, pixel by pixel. Every expected value is worked out by hand in
// the comment above it; filter lists are written byte by byte from the format's tables.
#include "Fixtures.h"

#include "swf/display/Stage.h"
#include "swf/render/DrawBudget.h"
#include "swf/render/Renderer.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace swf::test {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);

struct Drawn {
    QImage image;
    double work;
};

// The first frame at the stage's own size, one pixel to twenty twips.
Drawn draw(const Writer& writer, QSize size)
{
    Stage stage(readBack(writer));
    stage.start();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    Renderer renderer;
    renderer.render(painter, stage, QRectF(image.rect()));
    return { image, renderer.lastFrameWork() };
}

PlaceObject withBlend(PlaceObject place, uint8_t mode)
{
    place.tagVersion = 3;
    place.blendMode = mode;
    return place;
}

PlaceObject withFilters(PlaceObject place, std::vector<uint8_t> filters)
{
    place.tagVersion = 3;
    place.filters = std::move(filters);
    return place;
}

// ---- Blend modes ----------------------------------------------------------------------

// A backdrop of (204, 102, 51) = (0.8, 0.4, 0.2) under a source of (51, 102, 153) =
// (0.2, 0.4, 0.6), both opaque, so each channel is the mode's own mix B(b, s), times 255
// and rounded:
//   multiply   b*s                    0.16 0.16 0.12   ->  41  41  31
//   screen     b+s-b*s                0.84 0.64 0.68   -> 214 163 173
//   lighten    max                    0.8  0.4  0.6    -> 204 102 153
//   darken     min                    0.2  0.4  0.2    ->  51 102  51
//   difference |b-s|                  0.6  0    0.4    -> 153   0 102
//   add        min(1, b+s)            1    0.8  0.8    -> 255 204 204
//   subtract   max(0, b-s)            0.6  0    0      -> 153   0   0
//   invert     1-b                    0.2  0.6  0.8    ->  51 153 204
//   overlay    b<=.5: 2bs, else 1-2(1-b)(1-s):  0.68 0.32 0.24 -> 173  82  61
//   hardlight  s<=.5: 2bs, else 1-2(1-b)(1-s):  0.32 0.32 0.36 ->  82  82  92
//   layer      the source as it is                           ->  51 102 153
TEST(Blend, EachModeMixesSourceAndBackdropAsWorkedOutByHand)
{
    const struct {
        uint8_t mode;
        QColor expected;
    } cases[] = {
        { 2, QColor(51, 102, 153) },
        { 3, QColor(41, 41, 31) },
        { 4, QColor(214, 163, 173) },
        { 5, QColor(204, 102, 153) },
        { 6, QColor(51, 102, 51) },
        { 7, QColor(153, 0, 102) },
        { 8, QColor(255, 204, 204) },
        { 9, QColor(153, 0, 0) },
        { 10, QColor(51, 153, 204) },
        { 13, QColor(173, 82, 61) },
        { 14, QColor(82, 82, 92) },
        { 0, QColor(51, 102, 153) },
    };
    for (const auto& c : cases) {
        Writer w(stageHeader(40, 20));
        w.setBackground({ 255, 255, 255 });
        w.defineShape(1, filledRect(0, 0, 25, 20, { 204, 102, 51 }));
        w.defineShape(2, filledRect(0, 0, 20, 20, { 51, 102, 153 }));
        w.place(placeAt(1, 1));
        w.place(withBlend(placeAt(2, 2, 10, 0), c.mode));
        w.showFrame();
        const QImage image = draw(w, { 40, 20 }).image;
        EXPECT_EQ(pixel(image, 20, 10), c.expected) << "mode " << int(c.mode);
        EXPECT_EQ(pixel(image, 5, 10), QColor(204, 102, 51)) << "backdrop alone, mode " << int(c.mode);
        // Where the source lies over the white background (25..29), white is the backdrop.
        if (c.mode == 3) {
            EXPECT_EQ(pixel(image, 27, 10), QColor(51, 102, 153)) << "multiply over white";
        }
    }
}

// A sprite in Layer mode at x = 10 holds a red square (stage columns 10..29) and, above
// it, a black rectangle in Alpha or Erase mode over columns 10..21 in three strips:
// opaque (10..13), alpha 128 (14..17) and clear (18..21). Alpha multiplies the layer by
// the rectangle's alpha, Erase by one minus it, where the rectangle draws: its clear
// strip and the columns past it (22..29) stay red under both. Half red over white:
//   Alpha, 128/255: the layer pixel becomes (128, 0, 0, 128); over white 128 + 255 * 127/255
//     = 255 red, 255 * 127/255 = 127 green and blue: (255, 127, 127).
//   Erase, 1 - 128/255 = 127/255: (127, 0, 0, 127); over white (255, 128, 128).
// The same rectangle in a sprite that is no layer acts on nothing and shows nothing.
TEST(Blend, AlphaAndEraseCutIntoTheirParentsLayerWhereTheyDraw)
{
    const QColor halfAlpha(255, 127, 127);
    const QColor halfErase(255, 128, 128);
    const struct {
        uint8_t spriteMode;
        uint8_t childMode;
        QColor opaque, half, clear;
    } cases[] = {
        { 2, 11, kRed, halfAlpha, kRed },
        { 2, 12, kWhite, halfErase, kRed },
        { 0, 11, kRed, kRed, kRed },
        { 0, 12, kRed, kRed, kRed },
    };
    for (const auto& c : cases) {
        ShapeBuilder strips;
        const int step = 4 * kTwips;
        strips.fill1(strips.addSolidFill({ 0, 0, 0, 255 })).rectangle({ 0, step, 0, 20 * kTwips });
        strips.fill1(strips.addSolidFill({ 0, 0, 0, 128 })).rectangle({ step, 2 * step, 0, 20 * kTwips });
        strips.fill1(strips.addSolidFill({ 0, 0, 0, 0 })).rectangle({ 2 * step, 3 * step, 0, 20 * kTwips });
        Writer w(stageHeader(40, 20));
        w.setBackground({ 255, 255, 255 });
        w.defineShape(1, filledRect(0, 0, 20, 20, { 255, 0, 0 }));
        w.defineShape(2, strips.build());
        SpriteDefinition sprite;
        Frame frame;
        frame.tags.emplace_back(placeAt(1, 1));
        frame.tags.emplace_back(withBlend(placeAt(2, 2), c.childMode));
        sprite.timeline.frames.push_back(frame);
        w.defineSprite(3, sprite);
        w.place(withBlend(placeAt(1, 3, 10, 0), c.spriteMode));
        w.showFrame();
        const QImage image = draw(w, { 40, 20 }).image;
        const std::string what
            = "sprite " + std::to_string(c.spriteMode) + ", child " + std::to_string(c.childMode);
        EXPECT_EQ(pixel(image, 11, 10), c.opaque) << what;
        EXPECT_EQ(pixel(image, 15, 10), c.half) << what;
        EXPECT_EQ(pixel(image, 20, 10), c.clear) << what;
        EXPECT_EQ(pixel(image, 25, 10), kRed) << what << ": outside the rectangle";
        EXPECT_EQ(pixel(image, 35, 10), kWhite) << what;
    }
}

// ---- Cached bitmaps ---------------------------------------------------------------------

// A red square 10 pixels wide placed at (5.5, 5.5) and at (5.45, 5.45). Cached as a
// bitmap it lies on whole pixels: 5.5 rounds to 6 (columns and rows 6..15), 5.45 to 5
// (5..14), every pixel of it whole red. Drawn directly at 5.5, the anti-aliased edge
// pixel 5 is half covered: (255, 128, 128) within rounding.
TEST(CachedBitmap, CachedObjectsLieOnWholePixels)
{
    const auto drawAt = [](int twips, bool cached) {
        Writer w(stageHeader(30, 30));
        w.setBackground({ 255, 255, 255 });
        w.defineShape(1, filledRect(0, 0, 10, 10, { 255, 0, 0 }));
        PlaceObject place = placeAt(1, 1);
        place.matrix = Matrix {};
        place.matrix->tx = twips;
        place.matrix->ty = twips;
        if (cached) {
            place.tagVersion = 3;
            place.cacheAsBitmap = true;
        }
        w.place(place);
        w.showFrame();
        return draw(w, { 30, 30 }).image;
    };
    for (const int twips : { 110, 109 }) {
        const int first = twips == 110 ? 6 : 5;
        const QImage image = drawAt(twips, true);
        const std::string what = "at " + std::to_string(twips) + " twips";
        EXPECT_EQ(pixel(image, first - 1, 10), kWhite) << what;
        EXPECT_EQ(pixel(image, first, 10), kRed) << what;
        EXPECT_EQ(pixel(image, first + 9, 10), kRed) << what;
        EXPECT_EQ(pixel(image, first + 10, 10), kWhite) << what;
        EXPECT_EQ(pixel(image, 10, first - 1), kWhite) << what;
        EXPECT_EQ(pixel(image, 10, first), kRed) << what;
        EXPECT_EQ(pixel(image, 10, first + 10), kWhite) << what;
    }
    EXPECT_TRUE(near(pixel(drawAt(110, false), 5, 10), QColor(255, 128, 128), 2));
}

// ---- Filters --------------------------------------------------------------------------

// A black square, columns 10..19, blurred across by a box 3 pixels wide (BlurX 3.0: one
// pixel each side). One pass: column 9 is the mean of 8, 9, 10 = 1/3 black, so white
// times 2/3 = 170; column 10 has 2/3 black: 85; column 11 is whole. Two passes make the
// kernel (1 2 3 2 1) / 9: column 8 gets 1/9 black (alpha 28 of 255, 255 - 28 = 227),
// column 9 (2 + 1) / 9 = 1/3 (170), column 11 8/9 (alpha 227: 28). BlurY 0 leaves rows.
TEST(Filters, BlurIsABoxBlurRepeatedOncePerPass)
{
    for (const int passes : { 1, 2 }) {
        Writer w(stageHeader(40, 20));
        w.setBackground({ 255, 255, 255 });
        w.defineShape(1, filledRect(10, 0, 10, 20, { 0, 0, 0 }));
        // FILTERLIST: one filter, id 1 (blur), BlurX 3.0 and BlurY 0.0 as 16.16, then passes
        // in the top five bits of the last byte.
        const uint8_t flags = static_cast<uint8_t>(passes << 3);
        w.place(withFilters(
            placeAt(1, 1), { 0x01, 0x01, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, flags }));
        w.showFrame();
        const QImage image = draw(w, { 40, 20 }).image;
        if (passes == 1) {
            EXPECT_EQ(pixel(image, 8, 10), kWhite);
            EXPECT_EQ(pixel(image, 9, 10), QColor(170, 170, 170));
            EXPECT_EQ(pixel(image, 10, 10), QColor(85, 85, 85));
            EXPECT_EQ(pixel(image, 11, 10), QColor(0, 0, 0));
            EXPECT_EQ(pixel(image, 20, 10), QColor(170, 170, 170)) << "the right edge alike";
        } else {
            EXPECT_EQ(pixel(image, 7, 10), kWhite);
            EXPECT_EQ(pixel(image, 8, 10), QColor(227, 227, 227));
            EXPECT_EQ(pixel(image, 9, 10), QColor(170, 170, 170));
            EXPECT_EQ(pixel(image, 11, 10), QColor(28, 28, 28));
        }
        EXPECT_EQ(pixel(image, 15, 0), QColor(0, 0, 0)) << "no blur down the rows";
    }
}

// A red square, 5..14 across and down, with a blue drop shadow 4 pixels to the right
// (angle 0, distance 4.0, no blur): the shadow covers columns 9..18 under the square.
// Knockout takes the square out of the shadow; hide-object (composite source clear)
// shows the shadow alone; an inner shadow is the outside moved 4 right, over the
// square's left four columns 5..8.
TEST(Filters, DropShadowWithItsKnockoutInnerAndHideObjectFlags)
{
    const struct {
        uint8_t flags; // inner, knockout, composite source, five bits of passes
        QColor at6, at12, at17;
    } cases[] = {
        { 0x21, kRed, kRed, kBlue }, // 0 0 1 00001
        { 0x61, kWhite, kWhite, kBlue }, // knockout: 0 1 1 00001
        { 0x01, kWhite, kBlue, kBlue }, // hide object: 0 0 0 00001
        { 0xA1, kBlue, kRed, kWhite }, // inner: 1 0 1 00001
    };
    for (const auto& c : cases) {
        Writer w(stageHeader(30, 20));
        w.setBackground({ 255, 255, 255 });
        w.defineShape(1, filledRect(5, 5, 10, 10, { 255, 0, 0 }));
        // id 0, colour RGBA, BlurX, BlurY, Angle, Distance (16.16), Strength (8.8), flags.
        w.place(withFilters(placeAt(1, 1),
            { 0x01, 0x00, 0x00, 0x00, 0xff, 0xff, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x01, c.flags }));
        w.showFrame();
        const QImage image = draw(w, { 30, 20 }).image;
        EXPECT_EQ(pixel(image, 6, 10), c.at6) << int(c.flags);
        EXPECT_EQ(pixel(image, 12, 10), c.at12) << int(c.flags);
        EXPECT_EQ(pixel(image, 17, 10), c.at17) << int(c.flags);
        EXPECT_EQ(pixel(image, 2, 10), kWhite) << int(c.flags);
        EXPECT_EQ(pixel(image, 20, 10), kWhite) << int(c.flags);
    }
}

// A red square (10..19 both ways) with a green glow, BlurX = BlurY = 4.0: a 5-pixel box,
// two pixels each side. At row 15 the vertical box lies inside the square, so column 9
// has 2 of its 5 columns inside: alpha 0.4 (102), green over white (153, 255, 153);
// column 8 has 1 of 5: 0.2 (51): (204, 255, 204). Strength 2.0 doubles them: column 8
// then shows 0.4 and column 9 0.8 (204): (51, 255, 51).
TEST(Filters, GlowSpreadsTheBlurredOutlineTimesItsStrength)
{
    for (const uint8_t strength : { 1, 2 }) {
        Writer w(stageHeader(30, 30));
        w.setBackground({ 255, 255, 255 });
        w.defineShape(1, filledRect(10, 10, 10, 10, { 255, 0, 0 }));
        // id 2, colour, BlurX 4.0, BlurY 4.0, Strength (8.8), flags 0 0 1 00001.
        w.place(withFilters(placeAt(1, 1),
            { 0x01, 0x02, 0x00, 0xff, 0x00, 0xff, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00,
                strength, 0x21 }));
        w.showFrame();
        const QImage image = draw(w, { 30, 30 }).image;
        if (strength == 1) {
            EXPECT_EQ(pixel(image, 9, 15), QColor(153, 255, 153));
            EXPECT_EQ(pixel(image, 8, 15), QColor(204, 255, 204));
        } else {
            EXPECT_EQ(pixel(image, 9, 15), QColor(51, 255, 51));
            EXPECT_EQ(pixel(image, 8, 15), QColor(153, 255, 153));
        }
        EXPECT_EQ(pixel(image, 7, 15), kWhite);
        EXPECT_EQ(pixel(image, 15, 15), kRed);
    }
}

// An inner bevel lit along angle 0, distance 2, no blur, over a red square 10..19: the
// square moved 2 left (away from its shadow side) minus the square moved 2 right is +1
// on its left two columns (highlight, green) and -1 on its right two (shadow, blue).
// The gradient glow with a ramp from clear to opaque green, moved 4 right, shows green
// where the ramp reads 1: a shadow of the ramp's last colour.
TEST(Filters, BevelAndGradientGlow)
{
    {
        Writer w(stageHeader(30, 30));
        w.setBackground({ 255, 255, 255 });
        w.defineShape(1, filledRect(10, 10, 10, 10, { 255, 0, 0 }));
        // id 3, highlight colour (stored first, as movies do), shadow colour, BlurX, BlurY, Angle,
        // Distance 2.0, Strength 1.0, flags: inner 1, knockout 0, composite 1, on top 0, passes 0001.
        w.place(withFilters(placeAt(1, 1),
            { 0x01, 0x03, 0x00, 0xff, 0x00, 0xff, 0x00, 0x00, 0xff, 0xff, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x01, 0xA1 }));
        w.showFrame();
        const QImage image = draw(w, { 30, 30 }).image;
        EXPECT_EQ(pixel(image, 10, 15), kGreen);
        EXPECT_EQ(pixel(image, 11, 15), kGreen);
        EXPECT_EQ(pixel(image, 15, 15), kRed);
        EXPECT_EQ(pixel(image, 19, 15), kBlue);
        EXPECT_EQ(pixel(image, 8, 15), kWhite) << "an inner bevel stays inside";
    }
    {
        Writer w(stageHeader(30, 30));
        w.setBackground({ 255, 255, 255 });
        w.defineShape(1, filledRect(5, 5, 10, 10, { 255, 0, 0 }));
        // id 4, 2 colours, RGBA x2, ratios 0 and 255, BlurX, BlurY, Angle, Distance 4.0,
        // Strength 1.0, flags 0 0 1 0 0001.
        w.place(withFilters(placeAt(1, 1),
            { 0x01, 0x04, 0x02, 0x00, 0xff, 0x00, 0x00, 0x00, 0xff, 0x00, 0xff, 0x00, 0xff, 0x00, 0x00, 0x00,
                0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x01,
                0x21 }));
        w.showFrame();
        const QImage image = draw(w, { 30, 30 }).image;
        EXPECT_EQ(pixel(image, 12, 10), kRed);
        EXPECT_EQ(pixel(image, 17, 10), kGreen);
        EXPECT_EQ(pixel(image, 20, 10), kWhite);
    }
}

// The colour matrix swaps red and blue and adds 51 to green: red (255, 0, 0) becomes
// (0, 51, 255). The convolution averages three pixels across ([1 1 1] / 3, alpha kept)
// over red columns 10..19 beside blue 20..29: column 19 is (2 red + blue) / 3 =
// (170, 0, 85), column 20 (85, 0, 170).
TEST(Filters, ColorMatrixAndConvolution)
{
    const std::vector<uint8_t> one = { 0x00, 0x00, 0x80, 0x3f }; // 1.0f
    const std::vector<uint8_t> zero = { 0x00, 0x00, 0x00, 0x00 };
    {
        std::vector<uint8_t> list = { 0x01, 0x06 };
        const std::vector<std::vector<uint8_t>> matrix = {
            zero, zero, one, zero, zero, // R' = B
            zero, one, zero, zero, { 0x00, 0x00, 0x4c, 0x42 }, // G' = G + 51
            one, zero, zero, zero, zero, // B' = R
            zero, zero, zero, one, zero, // A' = A
        };
        for (const auto& cell : matrix)
            list.insert(list.end(), cell.begin(), cell.end());
        Writer w(stageHeader(30, 30));
        w.setBackground({ 255, 255, 255 });
        w.defineShape(1, filledRect(10, 10, 10, 10, { 255, 0, 0 }));
        w.place(withFilters(placeAt(1, 1), list));
        w.showFrame();
        const QImage image = draw(w, { 30, 30 }).image;
        EXPECT_EQ(pixel(image, 15, 15), QColor(0, 51, 255));
        EXPECT_EQ(pixel(image, 5, 5), kWhite);
    }
    {
        // id 5, 3 columns, 1 row, divisor 3.0f, bias 0, the matrix, default colour, flags
        // (six reserved bits, clamp, preserve alpha).
        std::vector<uint8_t> list
            = { 0x01, 0x05, 0x03, 0x01, 0x00, 0x00, 0x40, 0x40, 0x00, 0x00, 0x00, 0x00 };
        for (int i = 0; i < 3; ++i)
            list.insert(list.end(), one.begin(), one.end());
        list.insert(list.end(), { 0x00, 0x00, 0x00, 0x00, 0x03 });
        ShapeBuilder b;
        b.fill1(b.addSolidFill({ 255, 0, 0 })).rectangle({ 10 * kTwips, 20 * kTwips, 0, 10 * kTwips });
        b.fill1(b.addSolidFill({ 0, 0, 255 })).rectangle({ 20 * kTwips, 30 * kTwips, 0, 10 * kTwips });
        Writer w(stageHeader(40, 10));
        w.setBackground({ 255, 255, 255 });
        w.defineShape(1, b.build());
        w.place(withFilters(placeAt(1, 1), list));
        w.showFrame();
        const QImage image = draw(w, { 40, 10 }).image;
        EXPECT_EQ(pixel(image, 15, 5), kRed);
        EXPECT_EQ(pixel(image, 19, 5), QColor(170, 0, 85));
        EXPECT_EQ(pixel(image, 20, 5), QColor(85, 0, 170));
        EXPECT_EQ(pixel(image, 25, 5), kBlue);
    }
}

// 255 blurs of 32767 pixels with 31 passes each, on a shape three times the stage: the
// numbers are clamped and the frame stays within its budget.
TEST(Filters, HugeFilterListsStayWithinTheFrameBudget)
{
    std::vector<uint8_t> list = { 0xff };
    for (int i = 0; i < 255; ++i)
        list.insert(list.end(), { 0x01, 0x00, 0x00, 0xff, 0x7f, 0x00, 0x00, 0xff, 0x7f, 0xf8 });
    Writer w(stageHeader(200, 200));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(-200, -200, 600, 600, { 255, 0, 0 }));
    for (uint16_t depth = 1; depth <= 20; ++depth)
        w.place(withFilters(placeAt(depth, 1), list));
    w.showFrame();
    const Drawn drawn = draw(w, { 200, 200 });
    EXPECT_LE(drawn.work, DrawBudget::kUnitsPerFrame * 1.01);
}

} // namespace
} // namespace swf::test
