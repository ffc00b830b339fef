#pragma once

#include "PathUnion.h"

#include "swf/format/Shape.h"

#include <QPainterPath>
#include <QRectF>

#include <variant>
#include <vector>

namespace swf {

class DrawContext;

// A shape decoded once into what the painter replays for every instance: one filled path
// per fill style, one stroked path per line style, in paint order. Paths are in the
// shape's own twips; styles keep their file colours, the instance's colour transform is
// applied when painting.
class ShapeDrawing {
public:
    struct Layer {
        QPainterPath path;
        std::variant<FillStyle, LineStyle> style;
    };

    static ShapeDrawing decode(const Shape& shape);

    // Paints the layers in order through `context` (its transform and colour transform);
    // stops where the frame's budget runs out.
    void paint(DrawContext& context) const;

    const std::vector<Layer>& layers() const { return layers_; }
    // The area the fills cover, for using the shape as a mask.
    PathUnion fillOutline() const;

private:
    std::vector<Layer> layers_;
};

} // namespace swf
