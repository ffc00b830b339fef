#pragma once

#include "PaintSource.h"
#include "PathUnion.h"
#include "Rasterizer.h"

#include "swf/format/Shape.h"

#include <QPainterPath>
#include <QRectF>

#include <optional>
#include <variant>
#include <vector>

namespace swf {

class DrawContext;

// A shape decoded once into what is replayed for every instance: one filled path per fill
// style, one stroked path per line style, in paint order. Paths are in the shape's own
// twips; styles keep their file colours, the instance's colour transform is applied when
// painting. The fills of one style table are painted in one pass, so that fills that
// share an edge meet with no seam; lines are stroked on the device above them.
class ShapeDrawing {
public:
    struct Layer {
        QPainterPath path;
        std::variant<FillStyle, LineStyle> style;
        int group = 0; // the style table it belongs to: fills of one table are painted together
        // A gradient fill's colours with no colour transform, worked out once.
        std::shared_ptr<const GradientPaint::Table> plainTable;
    };

    static ShapeDrawing decode(const Shape& shape);

    // Paints the layers in order through `context` (its transform and colour transform);
    // stops where the frame's budget runs out.
    void paint(DrawContext& context) const;

    const std::vector<Layer>& layers() const { return layers_; }
    FillRule fillRule() const { return rule_; }
    // The area the fills cover, for using the shape as a mask.
    PathUnion fillOutline() const;
    // The areas a pointer hits: each fill, and each line as wide as it is drawn.
    std::vector<QPainterPath> hitAreas() const;

private:
    std::vector<Layer> layers_;
    FillRule rule_ = FillRule::EvenOdd;
};

} // namespace swf
