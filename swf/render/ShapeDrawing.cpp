#include "ShapeDrawing.h"

#include "DrawContext.h"
#include "EdgeLoops.h"
#include "StylePaint.h"

#include <type_traits>

namespace swf {
namespace {

// The edges of one style group (the styles of the shape, or of one later NewStyles
// record), sorted by style as they are read.
struct StyleGroup {
    const StyleTable* styles = nullptr;
    std::vector<std::vector<ShapeEdge>> fillEdges; // [fill index - 1]
    std::vector<std::vector<ShapeEdge>> lineEdges; // [line index - 1]

    explicit StyleGroup(const StyleTable& table)
        : styles(&table)
        , fillEdges(table.fills.size())
        , lineEdges(table.lines.size())
    {
    }
};

// Walks the shape records keeping the pen position and the current styles.
class RecordWalker {
public:
    explicit RecordWalker(const Shape& shape) { groups_.emplace_back(shape.styles); }

    void walk(const std::vector<ShapeRecord>& records)
    {
        for (const ShapeRecord& record : records) {
            std::visit(
                [this](const auto& r) {
                    using T = std::decay_t<decltype(r)>;
                    if constexpr (std::is_same_v<T, StyleChange>)
                        change(r);
                    else if constexpr (std::is_same_v<T, StraightEdge>)
                        straight(r);
                    else
                        curved(r);
                },
                record);
        }
    }

    std::vector<StyleGroup>& groups() { return groups_; }

private:
    void change(const StyleChange& c)
    {
        if (c.moveTo)
            pos_ = { c.moveTo->x, c.moveTo->y };
        // The indices of a record with new styles point into the new table.
        if (c.newStyles) {
            groups_.emplace_back(*c.newStyles);
            fill0_ = fill1_ = line_ = 0;
        }
        if (c.fill0)
            fill0_ = *c.fill0;
        if (c.fill1)
            fill1_ = *c.fill1;
        if (c.line)
            line_ = *c.line;
    }

    void straight(const StraightEdge& e)
    {
        ShapeEdge edge;
        edge.from = pos_;
        edge.to = { pos_.x + e.dx, pos_.y + e.dy };
        add(edge);
    }

    void curved(const CurvedEdge& e)
    {
        ShapeEdge edge;
        edge.from = pos_;
        edge.control = { pos_.x + e.controlDx, pos_.y + e.controlDy };
        edge.to = { edge.control.x + e.anchorDx, edge.control.y + e.anchorDy };
        edge.curved = true;
        add(edge);
    }

    // fill1 lies on the edge's right as drawn, fill0 on its left: reversing the fill0 edges
    // makes every loop of one style run the same way round, so they chain end to start.
    void add(const ShapeEdge& edge)
    {
        StyleGroup& group = groups_.back();
        if (fill0_ != fill1_) {
            if (fill0_ >= 1 && fill0_ <= group.fillEdges.size())
                group.fillEdges[fill0_ - 1].push_back(edge.reversed());
            if (fill1_ >= 1 && fill1_ <= group.fillEdges.size())
                group.fillEdges[fill1_ - 1].push_back(edge);
        }
        if (line_ >= 1 && line_ <= group.lineEdges.size())
            group.lineEdges[line_ - 1].push_back(edge);
        pos_ = edge.to;
    }

    std::vector<StyleGroup> groups_;
    ShapeEdge::P pos_;
    uint32_t fill0_ = 0;
    uint32_t fill1_ = 0;
    uint32_t line_ = 0;
};

} // namespace

ShapeDrawing ShapeDrawing::decode(const Shape& shape)
{
    RecordWalker walker(shape);
    walker.walk(shape.records);

    // Each group paints its fills, then its lines, above the groups before it.
    ShapeDrawing drawing;
    const Qt::FillRule rule = shape.nonZeroWinding ? Qt::WindingFill : Qt::OddEvenFill;
    for (StyleGroup& group : walker.groups()) {
        for (std::size_t i = 0; i < group.fillEdges.size(); ++i) {
            if (!group.fillEdges[i].empty())
                drawing.layers_.push_back(
                    { joinIntoLoops(group.fillEdges[i], rule), group.styles->fills[i] });
        }
        for (std::size_t i = 0; i < group.lineEdges.size(); ++i) {
            if (group.lineEdges[i].empty())
                continue;
            const LineStyle& style = group.styles->lines[i];
            drawing.layers_.push_back({ strokeOutline(group.lineEdges[i], !style.noClose), style });
        }
    }
    return drawing;
}

void ShapeDrawing::paint(DrawContext& context) const
{
    const ColorXform& cx = context.colorTransform();
    for (const Layer& layer : layers_) {
        if (const auto* fill = std::get_if<FillStyle>(&layer.style)) {
            const QBrush brush = fillBrush(*fill, cx);
            if (brush.style() != Qt::NoBrush && !context.fill(layer.path, brush))
                return;
            continue;
        }
        const auto& line = std::get<LineStyle>(layer.style);
        const QPen pen = linePen(line, cx, context.pixelsPerTwip());
        bool drawn;
        if (line.width > kMaxPenWidth && !pen.isCosmetic())
            drawn = context.fill(strokeArea(layer.path, pen, line.width), pen.brush());
        else
            drawn = context.stroke(
                layer.path, pen, pen.isCosmetic() ? 0 : line.width * context.pixelsPerTwip());
        if (!drawn)
            return;
    }
}

PathUnion ShapeDrawing::fillOutline() const
{
    PathUnion outline;
    for (const Layer& layer : layers_) {
        if (std::holds_alternative<FillStyle>(layer.style))
            outline.add(layer.path);
    }
    return outline;
}

} // namespace swf
