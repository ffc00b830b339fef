#include "ShapeDrawing.h"

#include "DrawContext.h"
#include "EdgeLoops.h"

#include <QPainterPathStroker>

#include <algorithm>
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
    drawing.rule_ = shape.nonZeroWinding ? FillRule::NonZero : FillRule::EvenOdd;
    int number = 0;
    for (StyleGroup& group : walker.groups()) {
        ++number;
        for (std::size_t i = 0; i < group.fillEdges.size(); ++i) {
            if (group.fillEdges[i].empty())
                continue;
            const FillStyle& fill = group.styles->fills[i];
            Layer layer { joinIntoLoops(group.fillEdges[i], rule), fill, number, nullptr };
            if (fill.kind == FillStyle::Kind::LinearGradient || fill.kind == FillStyle::Kind::RadialGradient
                || fill.kind == FillStyle::Kind::FocalRadialGradient)
                layer.plainTable = std::make_shared<const GradientPaint::Table>(
                    GradientPaint::tableOf(fill, ColorXform {}));
            drawing.layers_.push_back(std::move(layer));
        }
        for (std::size_t i = 0; i < group.lineEdges.size(); ++i) {
            if (group.lineEdges[i].empty())
                continue;
            const LineStyle& style = group.styles->lines[i];
            drawing.layers_.push_back(
                { strokeOutline(group.lineEdges[i], !style.noClose), style, number, nullptr });
        }
    }
    return drawing;
}

void ShapeDrawing::paint(DrawContext& context) const
{
    std::vector<std::unique_ptr<PaintSource>> paints;
    std::vector<DrawContext::Layer> fills;
    for (std::size_t i = 0; i < layers_.size();) {
        if (std::holds_alternative<FillStyle>(layers_[i].style)) {
            // The fills of one style table, painted together.
            paints.clear();
            fills.clear();
            const int group = layers_[i].group;
            for (; i < layers_.size() && std::holds_alternative<FillStyle>(layers_[i].style)
                 && layers_[i].group == group;
                 ++i) {
                paints.push_back(context.paintOf(std::get<FillStyle>(layers_[i].style), layers_[i].plainTable));
                fills.push_back({ &layers_[i].path, paints.back().get(), rule_ });
            }
            if (!context.fill(fills))
                return;
            continue;
        }
        const Layer& layer = layers_[i++];
        // A mask is the area the fills cover; its lines do not count.
        if (context.makingMask())
            continue;
        const auto& line = std::get<LineStyle>(layer.style);
        std::unique_ptr<PaintSource> paint = line.fill
            ? context.paintOf(*line.fill)
            : std::make_unique<SolidPaint>(context.colorTransform().applyRgba(line.color));
        if (paint && !context.stroke(layer.path, line, *paint))
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

std::vector<QPainterPath> ShapeDrawing::hitAreas() const
{
    std::vector<QPainterPath> areas;
    for (const Layer& layer : layers_) {
        if (std::holds_alternative<FillStyle>(layer.style)) {
            areas.push_back(layer.path);
            continue;
        }
        // A line takes the pointer as wide as it is drawn, and a hairline a twip wide.
        QPainterPathStroker stroker;
        stroker.setWidth(std::max<double>(1, std::get<LineStyle>(layer.style).width));
        stroker.setCapStyle(Qt::RoundCap);
        stroker.setJoinStyle(Qt::RoundJoin);
        areas.push_back(stroker.createStroke(layer.path));
    }
    return areas;
}

} // namespace swf
