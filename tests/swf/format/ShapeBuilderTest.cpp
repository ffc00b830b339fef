#include "swf/format/ShapeBuilder.h"

#include <gtest/gtest.h>

namespace swf {
namespace {

// Sums the edge deltas: a closed path sums to zero.
Point travel(const Shape& shape)
{
    Point p;
    for (const auto& record : shape.records) {
        if (auto* e = std::get_if<StraightEdge>(&record)) {
            p.x += e->dx;
            p.y += e->dy;
        } else if (auto* c = std::get_if<CurvedEdge>(&record)) {
            p.x += c->controlDx + c->anchorDx;
            p.y += c->controlDy + c->anchorDy;
        }
    }
    return p;
}

TEST(ShapeBuilder, RectangleIsOneMoveAndFourEdgesWithTheSelectedStyles)
{
    ShapeBuilder b;
    uint32_t red = b.addSolidFill({ 255, 0, 0, 255 });
    uint32_t outline = b.addLine(40, { 0, 0, 0, 255 });
    Shape s = b.fill1(red).line(outline).rectangle({ 100, 300, 200, 600 }).build();

    ASSERT_EQ(s.records.size(), 5u);
    const auto& start = std::get<StyleChange>(s.records[0]);
    EXPECT_EQ(start.moveTo, (Point { 100, 200 }));
    EXPECT_EQ(start.fill1, red);
    EXPECT_EQ(start.line, outline);
    EXPECT_FALSE(start.fill0.has_value());
    EXPECT_EQ(std::get<StraightEdge>(s.records[1]), (StraightEdge { 200, 0 }));
    EXPECT_EQ(std::get<StraightEdge>(s.records[2]), (StraightEdge { 0, 400 }));
    EXPECT_EQ(std::get<StraightEdge>(s.records[3]), (StraightEdge { -200, 0 }));
    EXPECT_EQ(std::get<StraightEdge>(s.records[4]), (StraightEdge { 0, -400 }));
    // Bounds take in half the line width; the edge bounds of DefineShape4 do not.
    EXPECT_EQ(s.bounds, (Rect { 80, 320, 180, 620 }));
    EXPECT_FALSE(s.edgeBounds.has_value());
}

TEST(ShapeBuilder, EllipseClosesExactlyWithinItsBounds)
{
    ShapeBuilder b(4);
    Shape s = b.fill0(b.addSolidFill({ 0, 0, 255, 255 })).ellipse({ 1000, 500 }, 333, 777).build();
    ASSERT_EQ(s.records.size(), 9u);
    for (size_t i = 1; i < s.records.size(); ++i)
        EXPECT_TRUE(std::holds_alternative<CurvedEdge>(s.records[i]));
    EXPECT_EQ(travel(s), (Point { 0, 0 }));
    ASSERT_TRUE(s.edgeBounds.has_value());
    // The control points reach a little beyond the curve (1/cos 22.5 degrees).
    EXPECT_GE(s.edgeBounds->xMin, 1000 - 333 * 109 / 100);
    EXPECT_LE(s.edgeBounds->xMin, 1000 - 333);
    EXPECT_LE(s.edgeBounds->yMax, 500 + 777 * 109 / 100);
    EXPECT_GE(s.edgeBounds->yMax, 500 + 777);
}

TEST(ShapeBuilder, StyleChangeBetweenEdgesIsItsOwnRecord)
{
    ShapeBuilder b;
    b.moveTo(0, 0).lineTo(10, 0).line(0).curveTo(20, 0, 20, 10);
    Shape s = b.build();
    ASSERT_EQ(s.records.size(), 4u);
    const auto& change = std::get<StyleChange>(s.records[2]);
    EXPECT_EQ(change.line, 0u);
    EXPECT_FALSE(change.moveTo.has_value());
    EXPECT_EQ(std::get<CurvedEdge>(s.records[3]), (CurvedEdge { 10, 0, 0, 10 }));
}

} // namespace
} // namespace swf
