#pragma once

#include "Shape.h"

#include <cstdint>
#include <optional>

namespace swf {

// Draws a shape in code, in twips, for tests and the demo movies.
//
//   ShapeBuilder b;
//   b.fill1(b.addSolidFill({255, 0, 0})).rectangle({0, 2000, 0, 1000});
//   Shape shape = b.build();
//
// Style selections (fill0, fill1, line) apply to the edges drawn after them; a move
// starts a new path. Coordinates are absolute: the builder turns them into the deltas
// of the edge records. build() computes the bounds, including half the widest line.
class ShapeBuilder {
public:
    explicit ShapeBuilder(uint8_t version = 3)
        : m_version(version)
    {
    }

    // Add a style to the table; the returned 1-based index selects it.
    uint32_t addFill(const FillStyle& fill);
    uint32_t addSolidFill(Rgba color);
    uint32_t addLine(const LineStyle& line);
    uint32_t addLine(uint16_t width, Rgba color);

    // 0 selects no style.
    ShapeBuilder& fill0(uint32_t index);
    ShapeBuilder& fill1(uint32_t index);
    ShapeBuilder& line(uint32_t index);

    ShapeBuilder& moveTo(int32_t x, int32_t y);
    ShapeBuilder& lineTo(int32_t x, int32_t y);
    ShapeBuilder& curveTo(int32_t controlX, int32_t controlY, int32_t x, int32_t y);

    // Closed outlines, each its own path, drawn clockwise on screen (y grows down).
    ShapeBuilder& rectangle(const Rect& rect);
    ShapeBuilder& ellipse(Point centre, int32_t radiusX, int32_t radiusY); // eight quadratic curves
    ShapeBuilder& circle(Point centre, int32_t radius) { return ellipse(centre, radius, radius); }

    Shape build() const;

private:
    StyleChange& pending();
    void flushPending();
    void touch(int32_t x, int32_t y);

    uint8_t m_version;
    StyleTable m_styles;
    std::vector<ShapeRecord> m_records;
    std::optional<StyleChange> m_pending;
    Point m_pen;
    std::optional<Rect> m_extent;
};

} // namespace swf
