#include "Fixtures.h"

#include "swf/display/Stage.h"
#include "swf/render/EdgeLoops.h"
#include "swf/render/PaintSource.h"
#include "swf/render/Renderer.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace swf::test {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);

// The stage after its first frame, drawn into an image of `size` the way the player does.
QImage draw(const Writer& writer, QSize size, int frames = 1)
{
    Stage stage(readBack(writer));
    stage.start();
    for (int f = 1; f < frames; ++f)
        stage.advance();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    Renderer renderer;
    renderer.render(painter, stage, QRectF(image.rect()));
    return image;
}

// A stage of `size` px in `background` with `shape` placed at its origin, drawn.
QImage drawShape(const Shape& shape, QSize size, Rgba background)
{
    Writer w(stageHeader(size.width(), size.height()));
    w.setBackground(background);
    w.defineShape(1, shape);
    w.place(placeAt(1, 1));
    w.showFrame();
    return draw(w, size);
}

TEST(Render, SquareIsDrawnWhereItIsPlaced)
{
    Writer w(stageHeader(100, 100));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 20, 20, { 255, 0, 0 }));
    w.place(placeAt(1, 1, 20, 30));
    w.showFrame();
    const QImage image = draw(w, { 100, 100 });

    EXPECT_EQ(pixel(image, 30, 40), kRed);
    EXPECT_EQ(pixel(image, 20, 30), kRed) << "top left corner, pixel-aligned";
    EXPECT_EQ(pixel(image, 39, 49), kRed) << "bottom right corner";
    EXPECT_EQ(pixel(image, 19, 40), kWhite);
    EXPECT_EQ(pixel(image, 40, 40), kWhite);
    EXPECT_EQ(pixel(image, 30, 50), kWhite);
    EXPECT_EQ(pixel(image, 5, 5), kWhite);
}

TEST(Render, ShowAllKeepsTheAspectAndLetterboxesWithTheBackground)
{
    Writer w(stageHeader(100, 50));
    w.setBackground({ 0, 0, 255 });
    w.defineShape(1, filledRect(0, 0, 100, 50, { 255, 0, 0 }));
    w.place(placeAt(1, 1));
    w.showFrame();

    // Twice as tall as the stage's aspect: bands above and below.
    const QImage tall = draw(w, { 200, 200 });
    EXPECT_EQ(pixel(tall, 100, 100), kRed);
    EXPECT_EQ(pixel(tall, 1, 51), kRed);
    EXPECT_EQ(pixel(tall, 198, 148), kRed);
    EXPECT_EQ(pixel(tall, 100, 20), kBlue);
    EXPECT_EQ(pixel(tall, 100, 180), kBlue);

    // Wider than the stage: bands left and right.
    const QImage wide = draw(w, { 300, 50 });
    EXPECT_EQ(pixel(wide, 150, 25), kRed);
    EXPECT_EQ(pixel(wide, 101, 25), kRed);
    EXPECT_EQ(pixel(wide, 90, 25), kBlue);
    EXPECT_EQ(pixel(wide, 210, 25), kBlue);
}

TEST(Render, MaskClipsTheObjectsUpToItsClipDepth)
{
    Writer w(stageHeader(100, 100));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 50, 100, { 0, 0, 0 })); // the mask: left half
    w.defineShape(2, filledRect(0, 0, 100, 100, { 255, 0, 0 })); // masked
    w.defineShape(3, filledRect(60, 0, 40, 20, { 0, 255, 0 })); // above the mask's reach
    PlaceObject mask = placeAt(1, 1);
    mask.clipDepth = 2;
    w.place(mask);
    w.place(placeAt(2, 2));
    w.place(placeAt(3, 3));
    w.showFrame();
    const QImage image = draw(w, { 100, 100 });

    EXPECT_EQ(pixel(image, 25, 50), kRed) << "inside the mask";
    EXPECT_EQ(pixel(image, 75, 50), kWhite) << "outside the mask: clipped away";
    EXPECT_EQ(pixel(image, 80, 10), kGreen) << "depth 3 is past the clip depth";
    EXPECT_NE(pixel(image, 25, 50), QColor(0, 0, 0)) << "the mask itself is not drawn";
}

TEST(Render, SpriteMaskClipsWithItsChildren)
{
    Writer w(stageHeader(100, 100));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 30, 30, { 0, 0, 0 }));
    w.defineShape(2, filledRect(0, 0, 100, 100, { 255, 0, 0 }));
    SpriteDefinition maskSprite;
    Frame frame;
    frame.tags.emplace_back(placeAt(1, 1, 0, 0));
    frame.tags.emplace_back(placeAt(2, 1, 60, 60));
    maskSprite.timeline.frames.push_back(frame);
    w.defineSprite(5, maskSprite);
    PlaceObject mask = placeAt(1, 5);
    mask.clipDepth = 10;
    w.place(mask);
    w.place(placeAt(2, 2));
    w.showFrame();
    const QImage image = draw(w, { 100, 100 });

    EXPECT_EQ(pixel(image, 15, 15), kRed);
    EXPECT_EQ(pixel(image, 75, 75), kRed);
    EXPECT_EQ(pixel(image, 45, 45), kWhite);
    EXPECT_EQ(pixel(image, 75, 15), kWhite);
}

TEST(Render, ColourTransformsCombineDownTheTree)
{
    Writer w(stageHeader(100, 100));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 20, 20, { 255, 0, 0 }));
    // The child turns red into blue; the sprite around it halves the alpha.
    SpriteDefinition sprite;
    Frame frame;
    PlaceObject child = placeAt(1, 1);
    child.colorTransform = ColorTransform { 0, 256, 256, 256, 0, 0, 255, 0 };
    frame.tags.emplace_back(child);
    sprite.timeline.frames.push_back(frame);
    w.defineSprite(5, sprite);
    PlaceObject outer = placeAt(1, 5, 10, 10);
    outer.colorTransform = ColorTransform { 256, 256, 256, 128, 0, 0, 0, 0 };
    w.place(outer);
    PlaceObject plain = placeAt(2, 1, 50, 50);
    plain.colorTransform = ColorTransform { 256, 256, 256, 256, -255, 255, 0, 0 };
    w.place(plain);
    w.showFrame();
    const QImage image = draw(w, { 100, 100 });

    EXPECT_TRUE(near(pixel(image, 20, 20), QColor(127, 127, 255), 3))
        << pixel(image, 20, 20).name().toStdString();
    EXPECT_EQ(pixel(image, 60, 60), kGreen);
}

TEST(Render, FillJoinsEdgesThatCarryItOnEitherSide)
{
    // One square whose sides alternate: the fill lies right of the top and bottom edges
    // (fill1) and left of the two others (fill0), which run the other way round. Only
    // edges turned the same way chain into one loop.
    ShapeBuilder b;
    const uint32_t red = b.addSolidFill({ 255, 0, 0 });
    const auto at = [](int px) { return px * kTwips; };
    b.fill1(red).moveTo(at(10), at(10)).lineTo(at(90), at(10));
    b.fill1(0).fill0(red).moveTo(at(90), at(90)).lineTo(at(90), at(10));
    b.fill0(0).fill1(red).moveTo(at(90), at(90)).curveTo(at(50), at(70), at(10), at(90));
    b.fill1(0).fill0(red).moveTo(at(10), at(10)).lineTo(at(10), at(90));
    const QImage image = drawShape(b.build(), { 100, 100 }, { 255, 255, 255 });

    EXPECT_EQ(pixel(image, 50, 50), kRed);
    EXPECT_EQ(pixel(image, 15, 85), kRed);
    EXPECT_EQ(pixel(image, 50, 85), kWhite) << "the curved bottom bends inwards";
    EXPECT_EQ(pixel(image, 5, 50), kWhite);
}

TEST(Render, HolesStayOpen)
{
    // The inner square carries the fill on its other side: a hole in the outer one.
    ShapeBuilder b;
    const uint32_t red = b.addSolidFill({ 255, 0, 0 });
    b.fill1(red).rectangle(Rect { 10 * kTwips, 90 * kTwips, 10 * kTwips, 90 * kTwips });
    b.fill1(0).fill0(red).rectangle(Rect { 30 * kTwips, 70 * kTwips, 30 * kTwips, 70 * kTwips });
    const QImage image = drawShape(b.build(), { 100, 100 }, { 255, 255, 255 });

    EXPECT_EQ(pixel(image, 20, 50), kRed);
    EXPECT_EQ(pixel(image, 80, 50), kRed);
    EXPECT_EQ(pixel(image, 50, 50), kWhite);
    EXPECT_EQ(pixel(image, 5, 5), kWhite);
}

TEST(Render, NewStylesStartANewGroupDrawnAbove)
{
    // Group 2's fill index 1 is its own green, not group 1's red.
    ShapeBuilder first;
    first.fill1(first.addSolidFill({ 255, 0, 0 })).rectangle(Rect { 0, 60 * kTwips, 0, 60 * kTwips });
    Shape shape = first.build();
    shape.version = 2;
    StyleChange change;
    change.newStyles = StyleTable {};
    change.newStyles->fills.push_back(FillStyle {});
    change.newStyles->fills.back().color = { 0, 255, 0, 255 };
    change.fill1 = 1;
    change.moveTo = Point { 40 * kTwips, 40 * kTwips };
    shape.records.push_back(change);
    for (auto [dx, dy] : { std::pair { 40, 0 }, { 0, 40 }, { -40, 0 }, { 0, -40 } })
        shape.records.push_back(StraightEdge { dx * kTwips, dy * kTwips });
    shape.bounds = Rect { 0, 80 * kTwips, 0, 80 * kTwips };
    Writer w(stageHeader(100, 100));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, shape);
    w.place(placeAt(1, 1));
    w.showFrame();
    const QImage image = draw(w, { 100, 100 });

    EXPECT_EQ(pixel(image, 20, 20), kRed);
    EXPECT_EQ(pixel(image, 50, 50), kGreen);
    EXPECT_EQ(pixel(image, 70, 70), kGreen);
}

TEST(Render, ThinLinesStayVisibleAsHairlines)
{
    ShapeBuilder b;
    b.line(b.addLine(1, { 0, 0, 0 })).moveTo(0, 50 * kTwips).lineTo(100 * kTwips, 50 * kTwips);
    b.line(b.addLine(200, { 0, 0, 255 })).moveTo(50 * kTwips, 0).lineTo(50 * kTwips, 40 * kTwips);
    Writer w(stageHeader(100, 100));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, b.build());
    w.place(placeAt(1, 1));
    w.showFrame();
    const QImage image = draw(w, { 100, 100 });

    // One twip is a twentieth of a pixel, but the line still darkens the row it is on.
    const int darkest = std::min(pixel(image, 20, 49).red(), pixel(image, 20, 50).red());
    EXPECT_LT(darkest, 160);
    EXPECT_EQ(pixel(image, 20, 45), kWhite);
    // Ten pixels wide, and scaled with the stage.
    EXPECT_EQ(pixel(image, 46, 20), kBlue);
    EXPECT_EQ(pixel(image, 54, 20), kBlue);
    EXPECT_EQ(pixel(image, 40, 20), kWhite);
    const QImage doubled = draw(w, { 200, 200 });
    EXPECT_EQ(pixel(doubled, 91, 40), kBlue);
    EXPECT_EQ(pixel(doubled, 80, 40), kWhite);
}

// A stage `width` x `height` px filled with a linear gradient from `from` to `to` whose
// square (32768 twips) is scaled to the stage's width and centred on it.
QImage linearGradient(Rgba from, Rgba to, int width, int height)
{
    FillStyle fill;
    fill.kind = FillStyle::Kind::LinearGradient;
    fill.gradient.stops = { { 0, from }, { 255, to } };
    fill.gradient.matrix.a = fill.gradient.matrix.d = width * kTwips / 32768.0;
    fill.gradient.matrix.tx = width * kTwips / 2;
    fill.gradient.matrix.ty = height * kTwips / 2;
    ShapeBuilder b;
    b.fill1(b.addFill(fill)).rectangle(Rect { 0, width * kTwips, 0, height * kTwips });
    Writer w(stageHeader(width, height));
    w.defineShape(1, b.build());
    w.place(placeAt(1, 1));
    w.showFrame();
    return draw(w, { width, height });
}

TEST(Render, LinearGradientRunsAcrossItsSquare)
{
    const QImage image = linearGradient({ 255, 0, 0, 255 }, { 0, 0, 255, 255 }, 100, 100);
    EXPECT_TRUE(near(pixel(image, 0, 50), kRed, 6));
    EXPECT_TRUE(near(pixel(image, 99, 50), kBlue, 6));
    EXPECT_TRUE(near(pixel(image, 50, 10), QColor(128, 0, 127), 6));
}

TEST(Render, GradientStepsThroughItsTableEntryByEntry)
{
    // Black to white over 128 px: each pixel spans two entries of the 256, and a pixel
    // takes the entry at its left edge, so pixel x shows entry 2x (whose grey is 2x).
    const QImage image = linearGradient({ 0, 0, 0, 255 }, { 255, 255, 255, 255 }, 128, 8);
    for (int x : { 0, 1, 17, 64, 100, 127 })
        EXPECT_EQ(pixel(image, x, 4).red(), 2 * x) << x;
}

TEST(Render, TranslucentFillLiesOverTheBackgroundRoundedPerChannel)
{
    // Red fading in from transparent over a 128 px gradient, on a blue-green stage: pixel
    // x shows entry 2x, red at alpha 2x (premultiplied: red 2x), over the stage's colour
    // kept by (255 - alpha) / 255, rounded. The rectangle is 126 px wide, so that whole
    // groups of pixels and a last odd few are laid down alike; transparent entries leave
    // the stage as it is, and past the rectangle the stage shows.
    FillStyle fill;
    fill.kind = FillStyle::Kind::LinearGradient;
    fill.gradient.stops = { { 0, { 255, 0, 0, 0 } }, { 255, { 255, 0, 0, 255 } } };
    fill.gradient.matrix.a = fill.gradient.matrix.d = 128 * kTwips / 32768.0;
    fill.gradient.matrix.tx = 64 * kTwips;
    fill.gradient.matrix.ty = 4 * kTwips;
    ShapeBuilder b;
    b.fill1(b.addFill(fill)).rectangle(Rect { 0, 126 * kTwips, 0, 8 * kTwips });
    const QImage image = drawShape(b.build(), { 128, 8 }, { 0, 100, 200 });
    const auto kept = [](int channel, int alpha) { return (channel * (255 - alpha) * 2 + 255) / 510; };
    for (int x = 0; x < 126; ++x) {
        const int alpha = 2 * x;
        EXPECT_EQ(pixel(image, x, 4), QColor(alpha, kept(100, alpha), kept(200, alpha))) << x;
    }
    EXPECT_EQ(pixel(image, 126, 4), QColor(0, 100, 200));
    EXPECT_EQ(pixel(image, 127, 4), QColor(0, 100, 200));
}

TEST(Render, StopsSharingARatioEachTakeOneEntryPastIt)
{
    // Four stops at ratio 6, then red at 150: the first of the four holds entries 6 and
    // 7, the next two one entry each, and the last only starts the span to 150, whose
    // entry 10 is black plus four 144ths of red.
    FillStyle fill;
    fill.kind = FillStyle::Kind::LinearGradient;
    fill.gradient.stops = { { 6, { 255, 0, 0, 255 } }, { 6, { 0, 255, 0, 255 } }, { 6, { 0, 0, 255, 255 } },
        { 6, { 0, 0, 0, 255 } }, { 150, { 255, 0, 0, 255 } }, { 150, { 0, 255, 0, 255 } } };
    const GradientPaint::Table table = GradientPaint::tableOf(fill, ColorXform {});
    const auto rgb = [&](std::size_t i) { return QColor::fromRgba(table[i]); };
    EXPECT_EQ(rgb(0), kRed);
    EXPECT_EQ(rgb(6), kRed);
    EXPECT_EQ(rgb(7), kRed);
    EXPECT_EQ(rgb(8), kGreen);
    EXPECT_EQ(rgb(9), kBlue);
    EXPECT_EQ(rgb(10), QColor(7, 0, 0)); // 255 * 4 / 144 = 7.08
    EXPECT_EQ(rgb(150), kRed);
    EXPECT_EQ(rgb(151), kRed);
    // Past the last stop: its colour, although it shared its ratio.
    EXPECT_EQ(rgb(152), kGreen);
    EXPECT_EQ(rgb(255), kGreen);
}

TEST(Render, MovieWithoutStageAreaShowsOnlyItsBackground)
{
    Header header = stageHeader(0, 0);
    Writer w(header);
    w.setBackground({ 0, 255, 0 });
    w.defineShape(1, filledRect(0, 0, 20, 20, { 255, 0, 0 }));
    w.place(placeAt(1, 1));
    w.showFrame();
    const QImage image = draw(w, { 40, 40 });
    EXPECT_EQ(pixel(image, 10, 10), kGreen);
}

TEST(Render, WildGeometryDrawsWithoutTrouble)
{
    // Coordinates near the limits of the file's fields, the widest line there is, and
    // matrices that blow the shape up or squash it flat.
    ShapeBuilder b;
    b.fill1(b.addSolidFill({ 255, 0, 0 })).line(b.addLine(65535, { 0, 0, 255 }));
    b.moveTo(-(1 << 29), -(1 << 29))
        .lineTo(1 << 29, -(1 << 29))
        .curveTo(1 << 29, 1 << 29, -(1 << 29), 1 << 29);
    b.lineTo(-(1 << 29), -(1 << 29));
    Writer w(stageHeader(100, 100));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, b.build());
    PlaceObject huge = placeAt(1, 1, 50, 50);
    huge.matrix->a = huge.matrix->d = 30000.0;
    w.place(huge);
    PlaceObject flat = placeAt(2, 1, 50, 50);
    flat.matrix->a = flat.matrix->d = 0.0;
    w.place(flat);
    PlaceObject skewed = placeAt(3, 1);
    skewed.matrix->b = skewed.matrix->c = 1.0;
    w.place(skewed);
    w.showFrame();
    const QImage image = draw(w, { 100, 100 });
    // The objects past any screen are left out, and the skewed one after them still shows.
    bool drawn = false;
    for (int y = 0; y < image.height() && !drawn; ++y)
        for (int x = 0; x < image.width() && !drawn; ++x)
            drawn = pixel(image, x, y) != QColor(Qt::white);
    EXPECT_TRUE(drawn);
}

// ---- Edge joining ---------------------------------------------------------------------------

ShapeEdge line(int x0, int y0, int x1, int y1)
{
    return ShapeEdge { { x0, y0 }, {}, { x1, y1 }, false };
}

TEST(EdgeLoops, OpenChainsAreClosedByTheFill)
{
    const std::vector<ShapeEdge> edges = { line(0, 0, 10, 0), line(10, 0, 10, 10) };
    const QPainterPath path = joinIntoLoops(edges);
    EXPECT_TRUE(path.contains(QPointF(8, 2)));
    EXPECT_FALSE(path.contains(QPointF(2, 8)));
}

TEST(EdgeLoops, StrokesBreakWhereEdgesDoNotMeet)
{
    const std::vector<ShapeEdge> edges = { line(0, 0, 10, 0), line(10, 0, 10, 10), line(20, 20, 30, 20) };
    const QPainterPath path = strokeOutline(edges, true);
    int moves = 0;
    for (int i = 0; i < path.elementCount(); ++i)
        moves += path.elementAt(i).isMoveTo();
    EXPECT_EQ(moves, 2);
}

} // namespace
} // namespace swf::test
