// What the engine draws, pixel by pixel, for each kind of content: shapes by the fill
// model (no seams), lines, colour transforms, quality, masks, bitmaps of each format and
// morph shapes. Every movie is made with the writer and states exactly what it holds.
#include "Fixtures.h"

#include "swf/display/Stage.h"
#include "swf/format/Bitmaps.h"
#include "swf/format/MorphShape.h"
#include "swf/format/Tags.h"
#include "swf/render/Renderer.h"

#include <QBuffer>
#include <QPainter>

#include <gtest/gtest.h>

#include <zlib.h>

#include <cmath>
#include <numbers>
#include <set>

namespace swf::test {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);

QImage draw(const Writer& writer, QSize size, bool antialias = true, int frames = 1)
{
    Stage stage(readBack(writer));
    stage.start();
    for (int f = 1; f < frames; ++f)
        stage.advance();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    Renderer renderer;
    renderer.setAntialiased(antialias);
    renderer.render(painter, stage, QRectF(image.rect()));
    return image;
}

uint16_t code(TagCode tag)
{
    return toCode(tag);
}

// The rows of a column (or columns of a row) darker than mid grey.
int darkAcross(const QImage& image, int x0, int y0, int dx, int dy, int count)
{
    int dark = 0;
    for (int i = 0; i < count; ++i)
        dark += qGray(image.pixel(x0 + dx * i, y0 + dy * i)) < 128;
    return dark;
}

Matrix scaled(double sx, double sy, int txPx = 0, int tyPx = 0)
{
    Matrix m;
    m.a = sx;
    m.d = sy;
    m.tx = txPx * kTwips;
    m.ty = tyPx * kTwips;
    return m;
}

SpriteDefinition spriteOf(std::vector<ControlTag> tags)
{
    SpriteDefinition sprite;
    Frame frame;
    frame.tags = std::move(tags);
    sprite.timeline.frames.push_back(frame);
    return sprite;
}

// ---- Shapes by the fill model -----------------------------------------------------------

// Two fills meeting along x = 1000: the shared edge is one edge with a fill on each side.
Shape twoFillsSharingAnEdge(Rgba left, Rgba right)
{
    ShapeBuilder b;
    const uint32_t l = b.addSolidFill(left);
    const uint32_t r = b.addSolidFill(right);
    b.fill0(0).fill1(l).moveTo(0, 0).lineTo(1000, 0);
    b.fill0(r).fill1(l).lineTo(1000, 1200);
    b.fill0(0).fill1(l).lineTo(0, 1200).lineTo(0, 0);
    b.fill0(0).fill1(r).moveTo(1000, 0).lineTo(2000, 0).lineTo(2000, 1200).lineTo(1000, 1200);
    return b.build();
}

TEST(Drawing, FillsSharingAnEdgeLeaveNoLighterLineAtAnyScaleOrAngle)
{
    for (double scale : { 0.37, 1.0, 2.5 }) {
        for (double degrees : { 0.0, 17.0, 45.0, 103.0 }) {
            const double t = degrees * std::numbers::pi / 180;
            Matrix m;
            m.a = scale * std::cos(t);
            m.b = scale * std::sin(t);
            m.c = -scale * std::sin(t);
            m.d = scale * std::cos(t);
            m.tx = static_cast<int32_t>(std::lround(2000 - (m.a * 1000 + m.c * 600)));
            m.ty = static_cast<int32_t>(std::lround(2000 - (m.b * 1000 + m.d * 600)));
            Writer w(stageHeader(200, 200));
            w.setBackground({ 255, 255, 255 });
            w.defineShape(1, twoFillsSharingAnEdge({ 0, 0, 0 }, { 0, 0, 0 }));
            PlaceObject place = placeAt(1, 1);
            place.matrix = m;
            w.place(place);
            w.showFrame();
            const QImage image = draw(w, { 200, 200 });

            // Every pixel whose centre lies more than two pixels inside the outline is
            // exactly black, the pixels the shared edge crosses included.
            const QTransform toShape = toQTransform(m).inverted();
            const double margin = 2 * kTwips / scale;
            int checked = 0;
            for (int y = 0; y < 200; ++y) {
                for (int x = 0; x < 200; ++x) {
                    const QPointF p = toShape.map(QPointF((x + 0.5) * kTwips, (y + 0.5) * kTwips));
                    if (p.x() < margin || p.x() > 2000 - margin || p.y() < margin || p.y() > 1200 - margin)
                        continue;
                    ++checked;
                    ASSERT_EQ(pixel(image, x, y), kBlack)
                        << "scale " << scale << " angle " << degrees << " at " << x << "," << y;
                }
            }
            EXPECT_GT(checked, 20);
        }
    }
}

TEST(Drawing, SharedEdgeMixesItsTwoColoursByCoverage)
{
    // The edge at x = 1000 twips through the middle of a pixel column: half red, half blue.
    Writer w(stageHeader(100, 60));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, twoFillsSharingAnEdge({ 255, 0, 0 }, { 0, 0, 255 }));
    PlaceObject place = placeAt(1, 1);
    place.matrix->tx = 10; // half a pixel
    w.place(place);
    w.showFrame();
    const QImage image = draw(w, { 100, 60 });
    const QColor mixed = pixel(image, 50, 30);
    EXPECT_TRUE(near(mixed, QColor(128, 0, 128), 2)) << mixed.name().toStdString();
}

TEST(Drawing, ColourTransformsClampAtEveryLevel)
{
    // The child adds 255 to red (clamped to 255), the clip around it halves red: 127, not
    // the (200 + 255) / 2 of one combined transform.
    Writer w(stageHeader(40, 40));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 40, 40, { 200, 0, 0 }));
    PlaceObject child = placeAt(1, 1);
    child.colorTransform = ColorTransform { 256, 256, 256, 256, 255, 0, 0, 0 };
    w.defineSprite(2, spriteOf({ child }));
    PlaceObject outer = placeAt(1, 2);
    outer.colorTransform = ColorTransform { 128, 256, 256, 256, 0, 0, 0, 0 };
    w.place(outer);
    w.showFrame();
    EXPECT_EQ(pixel(draw(w, { 40, 40 }), 20, 20), QColor(127, 0, 0));
}

TEST(Drawing, LowQualityLeavesNoPartlyCoveredPixels)
{
    ShapeBuilder b;
    b.fill1(b.addSolidFill({ 0, 0, 255 })).circle({ 1000, 1000 }, 733);
    Writer w(stageHeader(100, 100));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, b.build());
    w.place(placeAt(1, 1));
    w.showFrame();
    const auto colours = [](const QImage& image) {
        std::set<QRgb> seen;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                seen.insert(image.pixel(x, y));
        return seen.size();
    };
    EXPECT_EQ(colours(draw(w, { 100, 100 }, false)), 2u);
    EXPECT_GT(colours(draw(w, { 100, 100 }, true)), 2u);
}

// Without anti-aliasing a pixel is in where its centre is. A square from 12.5 to 22.5
// pixels both ways has its edges through pixel centres: the left and bottom edges leave
// theirs out, the right and top edges take theirs in, so the square covers columns
// 13..22 and rows 12..21, ten of each like the square itself (counting half-covered
// pixels in, as the last rule did, made it eleven). A line one pixel wide along y = 30
// (29.5 to 30.5) covers row 29 only, and one along x = 40 column 40 only, not two.
TEST(Drawing, LowQualityCoversThePixelsWhoseCentresAreInside)
{
    ShapeBuilder b(4);
    b.fill1(b.addSolidFill({ 0, 0, 255 })).rectangle({ 250, 450, 250, 450 });
    LineStyle pen;
    pen.color = { 0, 0, 0 };
    pen.startCap = pen.endCap = LineStyle::Cap::None;
    b.fill1(0).line(b.addLine(pen)).moveTo(0, 30 * kTwips).lineTo(30 * kTwips, 30 * kTwips);
    b.moveTo(40 * kTwips, 0).lineTo(40 * kTwips, 30 * kTwips);
    Writer w(stageHeader(50, 40));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, b.build());
    w.place(placeAt(1, 1));
    w.showFrame();
    const QImage image = draw(w, { 50, 40 }, false);
    const QColor blue(0, 0, 255);
    const QColor white(255, 255, 255);
    const QColor black(0, 0, 0);
    EXPECT_EQ(pixel(image, 12, 15), white);
    EXPECT_EQ(pixel(image, 13, 15), blue);
    EXPECT_EQ(pixel(image, 22, 15), blue);
    EXPECT_EQ(pixel(image, 23, 15), white);
    EXPECT_EQ(pixel(image, 15, 11), white);
    EXPECT_EQ(pixel(image, 15, 12), blue);
    EXPECT_EQ(pixel(image, 15, 21), blue);
    EXPECT_EQ(pixel(image, 15, 22), white);
    EXPECT_EQ(pixel(image, 10, 28), white);
    EXPECT_EQ(pixel(image, 10, 29), black);
    EXPECT_EQ(pixel(image, 10, 30), white);
    EXPECT_EQ(pixel(image, 39, 10), white);
    EXPECT_EQ(pixel(image, 40, 10), black);
    EXPECT_EQ(pixel(image, 41, 10), white);
}

// ---- Lines ------------------------------------------------------------------------------------

Shape line(const LineStyle& style, std::vector<QPoint> points)
{
    ShapeBuilder b(4);
    b.line(b.addLine(style)).moveTo(points[0].x() * kTwips, points[0].y() * kTwips);
    for (std::size_t i = 1; i < points.size(); ++i)
        b.lineTo(points[i].x() * kTwips, points[i].y() * kTwips);
    return b.build();
}

QImage drawShape(const Shape& shape, QSize size, const Matrix& matrix = {})
{
    Writer w(stageHeader(size.width(), size.height()));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, shape);
    PlaceObject place = placeAt(1, 1);
    place.matrix = matrix;
    w.place(place);
    w.showFrame();
    return draw(w, size);
}

TEST(Drawing, EachEndOfALineHasItsOwnCap)
{
    LineStyle style;
    style.width = 10 * kTwips;
    style.color = { 0, 0, 0, 255 };
    style.startCap = LineStyle::Cap::None;
    style.endCap = LineStyle::Cap::Square;
    const QImage image = drawShape(line(style, { { 50, 50 }, { 150, 50 } }), { 200, 100 });
    EXPECT_EQ(pixel(image, 100, 50), kBlack);
    EXPECT_EQ(pixel(image, 48, 50), kWhite) << "no cap at the start";
    EXPECT_EQ(pixel(image, 153, 52), kBlack) << "a square half a width past the end";
    EXPECT_EQ(pixel(image, 157, 50), kWhite);

    style.startCap = LineStyle::Cap::Round;
    style.endCap = LineStyle::Cap::None;
    const QImage round = drawShape(line(style, { { 50, 50 }, { 150, 50 } }), { 200, 100 });
    EXPECT_EQ(pixel(round, 47, 50), kBlack) << "a round cap at the start";
    EXPECT_EQ(pixel(round, 45, 45), kWhite) << "rounded off at its corner";
    EXPECT_EQ(pixel(round, 152, 50), kWhite);
}

TEST(Drawing, MiterJoinsReachTheirTipAndBevelsCutIt)
{
    LineStyle style;
    style.width = 20 * kTwips;
    style.color = { 0, 0, 0, 255 };
    style.join = LineStyle::Join::Miter;
    style.miterLimit = 3;
    const std::vector<QPoint> vee { { 50, 100 }, { 100, 50 }, { 150, 100 } };
    // The miter's tip lies 10 * sqrt(2) pixels above the corner; a bevel stops 7 above it.
    EXPECT_EQ(pixel(drawShape(line(style, vee), { 200, 150 }), 100, 39), kBlack);
    style.join = LineStyle::Join::Bevel;
    EXPECT_EQ(pixel(drawShape(line(style, vee), { 200, 150 }), 100, 39), kWhite);
}

TEST(Drawing, HairlinesStayOnePixelAtAnyScale)
{
    LineStyle hairline;
    hairline.width = 0;
    hairline.color = { 0, 0, 0, 255 };
    // At 5x the line's y of 10.1 pixels lands on the centre of row 50.
    ShapeBuilder b(4);
    b.line(b.addLine(hairline)).moveTo(0, 202).lineTo(600, 202);
    const QImage image = drawShape(b.build(), { 100, 100 }, scaled(5, 5));
    EXPECT_EQ(darkAcross(image, 50, 40, 0, 1, 20), 1);

    LineStyle thin = hairline;
    thin.width = 20; // one pixel, scaled to five
    ShapeBuilder c(4);
    c.line(c.addLine(thin)).moveTo(0, 202).lineTo(600, 202);
    EXPECT_EQ(darkAcross(drawShape(c.build(), { 100, 100 }, scaled(5, 5)), 50, 40, 0, 1, 20), 5);
}

TEST(Drawing, LinesThatDoNotScaleKeepTheirWidth)
{
    LineStyle style;
    style.width = 2 * kTwips;
    style.color = { 0, 0, 0, 255 };
    style.noHScale = style.noVScale = true;
    ShapeBuilder b(4);
    b.line(b.addLine(style)).moveTo(0, 250).lineTo(500, 250);
    EXPECT_EQ(darkAcross(drawShape(b.build(), { 100, 100 }, scaled(4, 4)), 50, 40, 0, 1, 20), 2);
    // Only the vertical scale counts for a line that does not scale horizontally.
    style.noVScale = false;
    ShapeBuilder c(4);
    c.line(c.addLine(style)).moveTo(0, 250).lineTo(500, 250);
    EXPECT_EQ(darkAcross(drawShape(c.build(), { 100, 100 }, scaled(1, 4)), 10, 40, 0, 1, 20), 8);
}

TEST(Drawing, StretchedLinesKeepAnEvenWidth)
{
    // Stretched 4x across and not at all down: the line is stroked on the screen at the
    // mean scale, as wide along its length as across its ends.
    LineStyle style;
    style.width = 2 * kTwips;
    style.color = { 0, 0, 0, 255 };
    ShapeBuilder b(4);
    b.line(b.addLine(style)).moveTo(100, 100).lineTo(100, 1800).lineTo(400, 1800);
    const QImage image = drawShape(b.build(), { 100, 100 }, scaled(4, 1));
    const int across = darkAcross(image, 10, 50, 1, 0, 20); // the upright part
    const int down = darkAcross(image, 50, 80, 0, 1, 20); // the flat part
    EXPECT_EQ(across, down);
}

TEST(Drawing, PixelHintingSnapsLinesToWholePixels)
{
    LineStyle style;
    style.width = 1 * kTwips;
    style.color = { 0, 0, 0, 255 };
    style.pixelHinting = true;
    ShapeBuilder b(4);
    b.line(b.addLine(style)).moveTo(0, 1000).lineTo(2000, 1000); // y 50: on the line between rows
    const QImage image = drawShape(b.build(), { 100, 100 });
    EXPECT_EQ(pixel(image, 50, 50), kBlack);
    EXPECT_EQ(pixel(image, 50, 49), kWhite);
}

// ---- Masks -----------------------------------------------------------------------------------

TEST(Drawing, OverlappingMaskPartsLeaveNoHoles)
{
    Writer w(stageHeader(100, 100));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 60, 60, { 0, 0, 0 }));
    w.defineShape(2, filledRect(0, 0, 100, 100, { 255, 0, 0 }));
    // Two squares laid over each other make the mask.
    w.defineSprite(3, spriteOf({ placeAt(1, 1, 0, 0), placeAt(2, 1, 30, 30) }));
    PlaceObject mask = placeAt(1, 3);
    mask.clipDepth = 2;
    w.place(mask);
    w.place(placeAt(2, 2));
    w.showFrame();
    const QImage image = draw(w, { 100, 100 });
    EXPECT_EQ(pixel(image, 45, 45), kRed) << "where the parts overlap";
    EXPECT_EQ(pixel(image, 10, 10), kRed);
    EXPECT_EQ(pixel(image, 80, 80), kRed);
    EXPECT_EQ(pixel(image, 80, 10), kWhite);
}

TEST(Drawing, NestedMasksShowOnlyWhereBothLetThrough)
{
    Writer w(stageHeader(100, 100));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 50, 100, { 0, 0, 0 })); // left half
    w.defineShape(2, filledRect(0, 0, 100, 50, { 0, 0, 0 })); // top half
    w.defineShape(3, filledRect(0, 0, 100, 100, { 255, 0, 0 }));
    PlaceObject inner = placeAt(1, 2);
    inner.clipDepth = 2;
    w.defineSprite(4, spriteOf({ inner, placeAt(2, 3) }));
    PlaceObject outer = placeAt(1, 1);
    outer.clipDepth = 2;
    w.place(outer);
    w.place(placeAt(2, 4));
    w.showFrame();
    const QImage image = draw(w, { 100, 100 });
    EXPECT_EQ(pixel(image, 25, 25), kRed);
    EXPECT_EQ(pixel(image, 75, 25), kWhite);
    EXPECT_EQ(pixel(image, 25, 75), kWhite);
}

TEST(Drawing, MaskEdgesAreSharp)
{
    ShapeBuilder circle;
    circle.fill1(circle.addSolidFill({ 0, 0, 0 })).circle({ 1000, 1000 }, 711);
    Writer w(stageHeader(100, 100));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, circle.build());
    w.defineShape(2, filledRect(0, 0, 100, 100, { 0, 0, 255 }));
    PlaceObject mask = placeAt(1, 1);
    mask.clipDepth = 2;
    w.place(mask);
    w.place(placeAt(2, 2));
    w.showFrame();
    const QImage image = draw(w, { 100, 100 });
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_TRUE(pixel(image, x, y) == kBlue || pixel(image, x, y) == kWhite) << x << "," << y;
}

// ---- Bitmaps ---------------------------------------------------------------------------------

std::vector<uint8_t> zlibbed(const std::vector<uint8_t>& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> out(size);
    compress(out.data(), &size, data.data(), static_cast<uLong>(data.size()));
    out.resize(size);
    return out;
}

// A DefineBitsLossless2 body of 2x2 opaque pixels: red, green / blue, black.
std::vector<uint8_t> quadBitmap()
{
    const std::vector<uint8_t> argb { 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 0, 0, 0 };
    std::vector<uint8_t> body { 5, 2, 0, 2, 0 };
    const std::vector<uint8_t> z = zlibbed(argb);
    body.insert(body.end(), z.begin(), z.end());
    return body;
}

TEST(Drawing, BitmapPlacedByItselfShowsItsPixels)
{
    Writer w(stageHeader(100, 100));
    w.setBackground({ 255, 255, 255 });
    w.define(code(TagCode::DefineBitsLossless2), 1, quadBitmap());
    PlaceObject place = placeAt(1, 1);
    place.matrix = scaled(20, 20, 10, 10); // 20 screen pixels a texel
    w.place(place);
    PlaceObject tinted = placeAt(2, 1);
    tinted.matrix = scaled(10, 10, 60, 60);
    tinted.colorTransform = ColorTransform { 0, 256, 256, 256, 0, 0, 255, 0 }; // red out, blue in
    w.place(tinted);
    w.showFrame();
    const QImage image = draw(w, { 100, 100 });
    EXPECT_EQ(pixel(image, 15, 15), kRed);
    EXPECT_EQ(pixel(image, 45, 15), kGreen);
    EXPECT_EQ(pixel(image, 15, 45), kBlue);
    EXPECT_EQ(pixel(image, 45, 45), kBlack);
    EXPECT_EQ(pixel(image, 55, 55), kWhite);
    EXPECT_EQ(pixel(image, 62, 62), kBlue) << "the red texel through the colour transform";
    EXPECT_EQ(pixel(image, 72, 62), QColor(0, 255, 255));
}

Shape bitmapFilledRect(FillStyle::Kind kind, int widthPx)
{
    FillStyle fill;
    fill.kind = kind;
    fill.bitmapId = 1;
    fill.bitmapMatrix = scaled(100, 100); // 5 screen pixels a texel
    ShapeBuilder b;
    b.fill1(b.addFill(fill)).rectangle(Rect { 0, widthPx * kTwips, 0, 20 * kTwips });
    return b.build();
}

QImage drawBitmapFill(FillStyle::Kind kind)
{
    Writer w(stageHeader(40, 20));
    w.setBackground({ 255, 255, 255 });
    w.define(code(TagCode::DefineBitsLossless2), 1, quadBitmap());
    w.defineShape(2, bitmapFilledRect(kind, 40));
    w.place(placeAt(1, 2));
    w.showFrame();
    return draw(w, { 40, 20 });
}

TEST(Drawing, BitmapFillsRepeatOrStretchTheirEdge)
{
    const QImage repeating = drawBitmapFill(FillStyle::Kind::NonSmoothedRepeatingBitmap);
    EXPECT_EQ(pixel(repeating, 2, 2), kRed);
    EXPECT_EQ(pixel(repeating, 7, 2), kGreen);
    EXPECT_EQ(pixel(repeating, 12, 2), kRed) << "the second tile";
    EXPECT_EQ(pixel(repeating, 17, 7), kBlack);
    EXPECT_EQ(pixel(repeating, 2, 12), kRed) << "the tile below";

    const QImage clipped = drawBitmapFill(FillStyle::Kind::NonSmoothedClippedBitmap);
    EXPECT_EQ(pixel(clipped, 2, 2), kRed);
    EXPECT_EQ(pixel(clipped, 12, 2), kGreen) << "the right column stretched on";
    EXPECT_EQ(pixel(clipped, 30, 15), kBlack);

    // Smoothed fills blend neighbouring texels where they meet.
    const QImage smooth = drawBitmapFill(FillStyle::Kind::ClippedBitmap);
    const QColor between = pixel(smooth, 5, 2);
    EXPECT_GT(between.red(), 40);
    EXPECT_GT(between.green(), 40);
}

TEST(Drawing, MissingBitmapFillDrawsNothing)
{
    Writer w(stageHeader(40, 20));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(2, bitmapFilledRect(FillStyle::Kind::RepeatingBitmap, 40));
    w.place(placeAt(1, 2));
    w.showFrame();
    EXPECT_EQ(pixel(draw(w, { 40, 20 }), 10, 10), kWhite);
}

QByteArray jpegOf(QColor colour)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return bytes;
}

std::vector<uint8_t> toVector(const QByteArray& bytes)
{
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

QImage drawBitmapCharacter(
    uint16_t tagCode, const std::vector<uint8_t>& body, const std::vector<uint8_t>& tables = {})
{
    Writer w(stageHeader(16, 16));
    w.setBackground({ 255, 255, 255 });
    if (!tables.empty())
        w.rawTag(code(TagCode::JPEGTables), tables);
    w.define(tagCode, 1, body);
    w.place(placeAt(1, 1));
    w.showFrame();
    return draw(w, { 16, 16 });
}

TEST(Drawing, JpegBitmapsOfEachRecord)
{
    const QColor orange(240, 120, 16);
    const std::vector<uint8_t> jpeg = toVector(jpegOf(orange));
    if (jpeg.empty())
        GTEST_SKIP() << "no JPEG writer in this Qt";

    // DefineBitsJPEG2, with the extra end and start markers old movies carry in front.
    std::vector<uint8_t> old { 0xFF, 0xD9, 0xFF, 0xD8 };
    old.insert(old.end(), jpeg.begin(), jpeg.end());
    EXPECT_TRUE(near(pixel(drawBitmapCharacter(code(TagCode::DefineBitsJPEG2), old), 8, 8), orange, 6));

    // DefineBitsJPEG3: the JPEG, then a zlib alpha plane of half coverage.
    std::vector<uint8_t> withAlpha(4, 0);
    const uint32_t size = static_cast<uint32_t>(jpeg.size());
    for (int i = 0; i < 4; ++i)
        withAlpha[static_cast<std::size_t>(i)] = static_cast<uint8_t>(size >> (8 * i));
    withAlpha.insert(withAlpha.end(), jpeg.begin(), jpeg.end());
    const std::vector<uint8_t> alpha = zlibbed(std::vector<uint8_t>(256, 128));
    withAlpha.insert(withAlpha.end(), alpha.begin(), alpha.end());
    const QColor half = pixel(drawBitmapCharacter(code(TagCode::DefineBitsJPEG3), withAlpha), 8, 8);
    EXPECT_TRUE(near(half, QColor(248, 187, 135), 6)) << half.name().toStdString();

    // DefineBits: the markers before the first scan in JPEGTables (a stream of their own),
    // the scan in the tag.
    const uint8_t startOfScan[] = { 0xFF, 0xDA };
    const auto scan = std::search(jpeg.begin(), jpeg.end(), std::begin(startOfScan), std::end(startOfScan));
    ASSERT_NE(scan, jpeg.end());
    std::vector<uint8_t> tables(jpeg.begin(), scan);
    tables.insert(tables.end(), { 0xFF, 0xD9 });
    std::vector<uint8_t> picturePart { 0xFF, 0xD8 };
    picturePart.insert(picturePart.end(), scan, jpeg.end());
    EXPECT_TRUE(
        near(pixel(drawBitmapCharacter(code(TagCode::DefineBits), picturePart, tables), 8, 8), orange, 6));
}

TEST(Drawing, DamagedBitmapsDrawWhatTheyCan)
{
    // The data is cut in the middle: the last pixel is missing and shows the background.
    const std::vector<uint8_t> argb { 255, 255, 0, 0, 255, 254, 1, 2, 255, 3, 4, 5, 255, 6, 7, 8 };
    std::vector<uint8_t> z = zlibbed(argb);
    z.resize(z.size() / 2);
    std::vector<uint8_t> body { 5, 2, 0, 2, 0 };
    body.insert(body.end(), z.begin(), z.end());
    Writer w(stageHeader(20, 20));
    w.setBackground({ 255, 255, 255 });
    w.define(code(TagCode::DefineBitsLossless2), 1, body);
    PlaceObject place = placeAt(1, 1);
    place.matrix = scaled(10, 10);
    w.place(place);
    const std::vector<uint8_t> jpeg = toVector(jpegOf(Qt::blue));
    w.define(code(TagCode::DefineBitsJPEG2), 2, std::span(jpeg).first(jpeg.size() / 2));
    w.place(placeAt(2, 2));
    w.showFrame();
    const QImage image = draw(w, { 20, 20 });
    EXPECT_EQ(pixel(image, 15, 15), kWhite);
}

// ---- Morph shapes ---------------------------------------------------------------------------

MorphShape movingSquare()
{
    MorphShape morph;
    morph.startBounds = { 0, 400, 0, 400 };
    morph.endBounds = { 1200, 1600, 0, 400 };
    MorphFill fill;
    fill.startColor = { 255, 0, 0, 255 };
    fill.endColor = { 0, 0, 255, 255 };
    morph.fills.push_back(fill);
    const auto square = [](int32_t x) {
        StyleChange move;
        move.moveTo = Point { x, 0 };
        move.fill1 = 1;
        return std::vector<ShapeRecord> { move, StraightEdge { 400, 0 }, StraightEdge { 0, 400 },
            StraightEdge { -400, 0 }, StraightEdge { 0, -400 } };
    };
    morph.startRecords = square(0);
    morph.endRecords = square(1200);
    for (ShapeRecord& r : morph.endRecords) {
        if (auto* c = std::get_if<StyleChange>(&r))
            c->fill1.reset();
    }
    return morph;
}

TEST(Drawing, MorphShapesShowTheirRatio)
{
    for (auto [ratio, x, colour] : { std::tuple { 0, 10, kRed },
             std::tuple { 32768, 40, QColor(128, 0, 127) }, std::tuple { 65535, 70, kBlue } }) {
        Writer w(stageHeader(100, 20));
        w.setBackground({ 255, 255, 255 });
        w.define(code(TagCode::DefineMorphShape), 1, encodeMorphShape(movingSquare()));
        PlaceObject place = placeAt(1, 1);
        place.ratio = static_cast<uint16_t>(ratio);
        w.place(place);
        w.showFrame();
        const QImage image = draw(w, { 100, 20 });
        EXPECT_TRUE(near(pixel(image, x, 10), colour, 1))
            << ratio << " " << pixel(image, x, 10).name().toStdString();
        EXPECT_EQ(pixel(image, x + 15, 10), kWhite) << ratio;
    }
}

TEST(Drawing, MorphFollowsItsRatioFromFrameToFrame)
{
    Writer w(stageHeader(100, 20));
    w.setBackground({ 255, 255, 255 });
    w.define(code(TagCode::DefineMorphShape), 1, encodeMorphShape(movingSquare()));
    w.place(placeAt(1, 1));
    w.showFrame();
    PlaceObject later;
    later.depth = 1;
    later.move = true;
    later.ratio = 65535;
    w.place(later);
    w.showFrame();
    EXPECT_EQ(pixel(draw(w, { 100, 20 }, true, 1), 10, 10), kRed);
    EXPECT_EQ(pixel(draw(w, { 100, 20 }, true, 2), 70, 10), kBlue);
    EXPECT_EQ(pixel(draw(w, { 100, 20 }, true, 2), 10, 10), kWhite);
}

TEST(Drawing, DamagedMorphDrawsWhatItCan)
{
    const std::vector<uint8_t> whole = encodeMorphShape(movingSquare());
    for (std::size_t size = 0; size < whole.size(); size += 5) {
        Writer w(stageHeader(100, 20));
        w.define(code(TagCode::DefineMorphShape), 1, std::span(whole).first(size));
        PlaceObject place = placeAt(1, 1);
        place.ratio = 1000;
        w.place(place);
        w.showFrame();
        (void)draw(w, { 100, 20 });
    }
}

} // namespace
} // namespace swf::test
