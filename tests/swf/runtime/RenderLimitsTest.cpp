// Hostile movies that would keep the renderer busy for minutes a frame: each test would
// hang (or run past ctest's timeout) without the frame's drawing budget, and checks what
// the cut frame shows.
#include "Fixtures.h"

#include "swf/display/Stage.h"
#include "swf/render/DrawBudget.h"
#include "swf/render/PathUnion.h"
#include "swf/render/Renderer.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace swf::test {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);

// A closed zigzag of `edges` edges in a box of the stage (pixels): tall teeth when
// `upright`, flat ones otherwise. Thousands of slanted edges on every row are what Qt's
// anti-aliasing rasteriser is slowest at.
Shape zigzag(int edges, const QRect& box, bool upright, Rgba color, uint16_t lineWidth = 0)
{
    ShapeBuilder b(3);
    b.fill1(b.addSolidFill(color));
    if (lineWidth > 0)
        b.line(b.addLine(lineWidth, { 0, 0, 0 }));
    const auto x = [&](double f) { return static_cast<int32_t>((box.x() + f * box.width()) * kTwips); };
    const auto y = [&](double f) { return static_cast<int32_t>((box.y() + f * box.height()) * kTwips); };
    b.moveTo(x(0), y(0));
    for (int i = 1; i <= edges; ++i) {
        const double along = double(i) / edges;
        const double across = i % 2 ? 1.0 : 0.0;
        if (upright)
            b.lineTo(x(along), y(across));
        else
            b.lineTo(x(across), y(along));
    }
    b.lineTo(x(0), y(0));
    return b.build();
}

struct Drawn {
    QImage image;
    bool cut;
    double work;
};

Drawn draw(const Writer& writer, QSize size)
{
    Stage stage(readBack(writer));
    stage.start();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    Renderer renderer;
    renderer.render(painter, stage, QRectF(image.rect()));
    return { image, renderer.lastFrameCut(), renderer.lastFrameWork() };
}

TEST(RenderLimits, SpriteThatDoublesItselfIsDrawnUntilTheBudgetIsSpent)
{
    // Twenty thousand copies of a stroked zigzag of two thousand edges: a frame of about
    // twenty seconds at this size without a budget.
    Writer w(stageHeader(64, 48));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 20, 20, { 255, 0, 0 }));
    w.defineShape(2, zigzag(2000, QRect(30, 0, 30, 40), false, { 0, 0, 255 }, 20));
    w.defineShape(3, filledRect(0, 30, 20, 18, { 0, 255, 0 }));
    SpriteDefinition twice;
    Frame frame;
    frame.tags.emplace_back(placeAt(1, 10));
    frame.tags.emplace_back(placeAt(2, 10));
    frame.tags.emplace_back(placeAt(3, 2));
    twice.timeline.frames = { frame };
    w.defineSprite(10, twice);
    w.place(placeAt(1, 1));
    w.place(placeAt(2, 10));
    w.place(placeAt(3, 3));
    w.showFrame();
    const Drawn drawn = draw(w, { 64, 48 });

    EXPECT_TRUE(drawn.cut);
    EXPECT_LE(drawn.work, DrawBudget::kUnitsPerFrame);
    EXPECT_EQ(pixel(drawn.image, 10, 10), kRed) << "drawn before the budget ran out";
    EXPECT_EQ(pixel(drawn.image, 10, 40), kWhite) << "the object above all the copies is left out";
}

TEST(RenderLimits, ShapeTooCostlyForTheFrameIsLeftOutWhole)
{
    // Two hundred thousand tall slanted edges across an 800x600 picture cross its rows a
    // hundred million times. The shape is not drawn at all, rather than in part.
    Writer w(stageHeader(800, 600));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, filledRect(0, 0, 100, 100, { 255, 0, 0 }));
    w.defineShape(2, zigzag(200000, QRect(200, 0, 600, 600), true, { 0, 0, 255 }));
    w.place(placeAt(1, 1));
    w.place(placeAt(2, 2));
    w.showFrame();
    const Drawn drawn = draw(w, { 800, 600 });

    EXPECT_TRUE(drawn.cut);
    EXPECT_EQ(pixel(drawn.image, 50, 50), kRed);
    for (int x = 300; x < 800; x += 37)
        EXPECT_EQ(pixel(drawn.image, x, 300), kWhite) << "x " << x;
}

TEST(RenderLimits, ThousandsOfMasksStopAtTheBudget)
{
    // Each object lies under every mask placed before it: the clips of one frame grow with
    // the square of the masks.
    Writer w(stageHeader(200, 150));
    w.setBackground({ 255, 255, 255 });
    w.defineShape(1, zigzag(8, QRect(0, 0, 50, 40), false, { 0, 0, 0 }));
    w.defineShape(2, filledRect(0, 0, 200, 150, { 0, 255, 0 }));
    w.defineShape(3, filledRect(0, 0, 200, 150, { 255, 0, 0 }));
    w.place(placeAt(1, 3));
    for (uint16_t i = 0; i < 3000; ++i) {
        PlaceObject mask = placeAt(static_cast<uint16_t>(2 * i + 2), 1);
        mask.clipDepth = 65535;
        w.place(mask);
        w.place(placeAt(static_cast<uint16_t>(2 * i + 3), 2));
    }
    w.showFrame();
    const Drawn drawn = draw(w, { 200, 150 });

    EXPECT_TRUE(drawn.cut);
    EXPECT_EQ(pixel(drawn.image, 150, 120), kRed) << "the bottom object, where no mask lets others show";
}

TEST(RenderLimits, OrdinaryCrowdedFrameIsDrawnWhole)
{
    // Five hundred outlined ellipses and gradients over an 800x600 stage: a heavy frame
    // of the era, which must not come near the budget.
    Writer w(stageHeader(800, 600));
    w.setBackground({ 255, 255, 255 });
    ShapeBuilder ellipse;
    ellipse.fill1(ellipse.addSolidFill({ 255, 0, 0, 200 }))
        .line(ellipse.addLine(40, { 0, 0, 0 }))
        .ellipse({ 0, 0 }, 60 * kTwips, 35 * kTwips);
    w.defineShape(1, ellipse.build());
    ShapeBuilder disc;
    FillStyle gradient;
    gradient.kind = FillStyle::Kind::RadialGradient;
    gradient.gradient.stops = { { 0, { 255, 255, 0 } }, { 255, { 0, 0, 255 } } };
    gradient.gradient.matrix = Matrix { 0.1, 0, 0, 0.1, 0, 0 };
    disc.fill1(disc.addFill(gradient)).circle({ 0, 0 }, 50 * kTwips);
    w.defineShape(2, disc.build());
    w.defineShape(3, filledRect(390, 290, 20, 20, { 0, 255, 0 }));
    for (uint16_t i = 0; i < 500; ++i)
        w.place(placeAt(
            static_cast<uint16_t>(i + 1), static_cast<uint16_t>(i % 2 + 1), i * 97 % 800, i * 61 % 600));
    w.place(placeAt(600, 3));
    w.showFrame();
    const Drawn drawn = draw(w, { 800, 600 });

    EXPECT_FALSE(drawn.cut);
    EXPECT_LT(drawn.work, DrawBudget::kUnitsPerFrame / 4);
    EXPECT_EQ(pixel(drawn.image, 400, 300), kGreen) << "the last object is drawn";
}

// A sprite of four lines through its origin and a copy of `inner` turned and made
// thirty thousand times larger.
SpriteDefinition linesAround(uint16_t inner)
{
    SpriteDefinition sprite;
    Frame frame;
    for (uint16_t depth = 1; depth <= 4; ++depth)
        frame.tags.emplace_back(placeAt(depth, 1));
    if (inner) {
        PlaceObject copy = placeAt(5, inner);
        copy.matrix = Matrix { 27000, 9000, -6000, 27000, 0, 0 };
        frame.tags.emplace_back(copy);
    }
    sprite.timeline.frames = { frame };
    return sprite;
}

TEST(RenderLimits, TransformsBlownUpPastAnyScreenAreNotDrawn)
{
    // Nested down to the nesting limit, the copies reach transforms of 1e40 to 1e150,
    // under which Qt takes up to a fifth of a second to stroke one such line, though
    // nothing of it can show. Only the two levels that fit a screen are drawn: the frame
    // costs what a sprite of just those two levels does.
    const auto movie = [](bool nested) {
        Writer w(stageHeader(100, 100));
        w.setBackground({ 255, 255, 255 });
        ShapeBuilder b;
        b.line(b.addLine(40, { 0, 0, 0 })).moveTo(0, 0).lineTo(300, 100).lineTo(300, 200).lineTo(-400, 120);
        w.defineShape(1, b.build());
        w.defineSprite(11, linesAround(0));
        w.defineSprite(10, linesAround(nested ? 10 : 11));
        w.place(placeAt(1, 10, 50, 50));
        w.showFrame();
        return w;
    };
    const Drawn nested = draw(movie(true), { 100, 100 });
    const Drawn twoLevels = draw(movie(false), { 100, 100 });

    EXPECT_FALSE(nested.cut);
    EXPECT_EQ(nested.work, twoLevels.work);
    EXPECT_EQ(nested.image, twoLevels.image);
    EXPECT_EQ(pixel(nested.image, 55, 51), QColor(0, 0, 0)) << "the top level's lines";
}

TEST(RenderLimits, LineWiderThanQtsPensKeepsItsWidth)
{
    // 40000 twips is past the widest pen Qt takes (it would fall back to one twip). The
    // sprite scales it down to a band a hundred pixels wide across the stage.
    Writer w(stageHeader(100, 100));
    w.setBackground({ 255, 255, 255 });
    ShapeBuilder b;
    b.line(b.addLine(40000, { 255, 0, 0 })).moveTo(0, 20 * 1000).lineTo(20 * 2000, 20 * 1000);
    w.defineShape(1, b.build());
    SpriteDefinition scaled;
    Frame frame;
    PlaceObject line = placeAt(1, 1);
    line.matrix = Matrix { 0.05, 0, 0, 0.05, 0, 0 };
    frame.tags.emplace_back(line);
    scaled.timeline.frames = { frame };
    w.defineSprite(10, scaled);
    w.place(placeAt(1, 10));
    w.showFrame();
    const Drawn drawn = draw(w, { 100, 100 });

    EXPECT_EQ(pixel(drawn.image, 50, 50), kRed);
    EXPECT_EQ(pixel(drawn.image, 50, 10), kRed) << "forty pixels off the line's middle";
}

// ---- Mask outlines --------------------------------------------------------------------------

QPainterPath rect(double x, double y, double w, double h)
{
    QPainterPath path;
    path.addRect(x, y, w, h);
    return path;
}

TEST(PathUnion, SmallPartsAreUnitedExactly)
{
    PathUnion parts;
    parts.add(rect(0, 0, 20, 20));
    parts.add(rect(10, 10, 20, 20));
    EXPECT_TRUE(parts.path().contains(QPointF(15, 15))) << "the overlap stays inside";
    EXPECT_TRUE(parts.path().contains(QPointF(5, 5)));
    EXPECT_TRUE(parts.path().contains(QPointF(25, 25)));
    EXPECT_FALSE(parts.path().contains(QPointF(25, 5)));
    EXPECT_GT(parts.work(), 0);
}

TEST(PathUnion, CrossingZigzagsAreLaidTogetherInsteadOfUnitedForHours)
{
    // Two zigzags of three hundred edges across each other: Qt's path clipper takes
    // minutes over them.
    QPainterPath across;
    QPainterPath down;
    across.moveTo(0, 0);
    down.moveTo(0, 0);
    for (int i = 1; i <= 300; ++i) {
        across.lineTo(i % 2 ? 1000 : 0, i);
        down.lineTo(i, i % 2 ? 1000 : 0);
    }
    PathUnion parts;
    parts.add(across);
    parts.add(down);
    EXPECT_EQ(parts.work(), 0);
    EXPECT_EQ(parts.path().elementCount(), across.elementCount() + down.elementCount());
}

} // namespace
} // namespace swf::test
