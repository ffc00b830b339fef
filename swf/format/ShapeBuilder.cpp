#include "ShapeBuilder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace swf {

uint32_t ShapeBuilder::addFill(const FillStyle& fill)
{
    m_styles.fills.push_back(fill);
    return uint32_t(m_styles.fills.size());
}

uint32_t ShapeBuilder::addSolidFill(Rgba color)
{
    FillStyle fill;
    fill.color = color;
    return addFill(fill);
}

uint32_t ShapeBuilder::addLine(const LineStyle& line)
{
    m_styles.lines.push_back(line);
    return uint32_t(m_styles.lines.size());
}

uint32_t ShapeBuilder::addLine(uint16_t width, Rgba color)
{
    LineStyle line;
    line.width = width;
    line.color = color;
    return addLine(line);
}

StyleChange& ShapeBuilder::pending()
{
    if (!m_pending)
        m_pending.emplace();
    return *m_pending;
}

void ShapeBuilder::flushPending()
{
    if (m_pending) {
        m_records.push_back(std::move(*m_pending));
        m_pending.reset();
    }
}

ShapeBuilder& ShapeBuilder::fill0(uint32_t index)
{
    pending().fill0 = index;
    return *this;
}

ShapeBuilder& ShapeBuilder::fill1(uint32_t index)
{
    pending().fill1 = index;
    return *this;
}

ShapeBuilder& ShapeBuilder::line(uint32_t index)
{
    pending().line = index;
    return *this;
}

void ShapeBuilder::touch(int32_t x, int32_t y)
{
    if (!m_extent) {
        m_extent = Rect { x, x, y, y };
        return;
    }
    m_extent->xMin = std::min(m_extent->xMin, x);
    m_extent->xMax = std::max(m_extent->xMax, x);
    m_extent->yMin = std::min(m_extent->yMin, y);
    m_extent->yMax = std::max(m_extent->yMax, y);
}

ShapeBuilder& ShapeBuilder::moveTo(int32_t x, int32_t y)
{
    pending().moveTo = Point { x, y };
    flushPending();
    m_pen = { x, y };
    touch(x, y);
    return *this;
}

ShapeBuilder& ShapeBuilder::lineTo(int32_t x, int32_t y)
{
    flushPending();
    m_records.push_back(StraightEdge { x - m_pen.x, y - m_pen.y });
    m_pen = { x, y };
    touch(x, y);
    return *this;
}

ShapeBuilder& ShapeBuilder::curveTo(int32_t controlX, int32_t controlY, int32_t x, int32_t y)
{
    flushPending();
    m_records.push_back(CurvedEdge { controlX - m_pen.x, controlY - m_pen.y, x - controlX, y - controlY });
    m_pen = { x, y };
    // The control point bounds the curve; the bounds may be a little generous.
    touch(controlX, controlY);
    touch(x, y);
    return *this;
}

ShapeBuilder& ShapeBuilder::rectangle(const Rect& r)
{
    moveTo(r.xMin, r.yMin);
    lineTo(r.xMax, r.yMin);
    lineTo(r.xMax, r.yMax);
    lineTo(r.xMin, r.yMax);
    lineTo(r.xMin, r.yMin);
    return *this;
}

ShapeBuilder& ShapeBuilder::ellipse(Point c, int32_t rx, int32_t ry)
{
    // Eight 45-degree arcs; the control point of each lies where the tangents at its
    // ends meet, at radius / cos(22.5 degrees) on the bisecting angle.
    constexpr double step = std::numbers::pi / 4;
    const double reach = 1.0 / std::cos(step / 2);
    auto at = [&](double angle, double scale) {
        return Point { c.x + int32_t(std::lround(rx * scale * std::cos(angle))),
            c.y + int32_t(std::lround(ry * scale * std::sin(angle))) };
    };
    moveTo(c.x + rx, c.y);
    for (int i = 1; i <= 8; ++i) {
        Point control = at((i - 0.5) * step, reach);
        Point anchor = i == 8 ? Point { c.x + rx, c.y } : at(i * step, 1.0);
        curveTo(control.x, control.y, anchor.x, anchor.y);
    }
    return *this;
}

Shape ShapeBuilder::build() const
{
    Shape shape;
    shape.version = m_version;
    shape.styles = m_styles;
    shape.records = m_records;
    if (m_pending)
        shape.records.push_back(*m_pending);
    Rect edges = m_extent.value_or(Rect {});
    int32_t halfLine = 0;
    for (const LineStyle& line : m_styles.lines)
        halfLine = std::max(halfLine, int32_t(line.width / 2));
    shape.bounds
        = Rect { edges.xMin - halfLine, edges.xMax + halfLine, edges.yMin - halfLine, edges.yMax + halfLine };
    if (m_version >= 4)
        shape.edgeBounds = edges;
    return shape;
}

} // namespace swf
