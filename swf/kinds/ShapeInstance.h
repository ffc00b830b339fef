#pragma once

#include "Registry.h"

#include "swf/display/DisplayObject.h"

namespace swf {

class ShapeDrawing;
struct Shape;

// An instance of a DefineShape (1 to 4): the shape's fills and lines, decoded once per
// character into paths and shared by every instance.
class ShapeInstance final : public DisplayObject {
public:
    static std::unique_ptr<DisplayObject> make(const InstanceContext& context);

    ShapeInstance(Stage& stage, const Character& character, const Shape& shape, int depth);

    void draw(DrawContext& context) const override;
    QRectF ownBounds() const override;
    bool hitsOwn(QPointF local) const override;
    QPainterPath ownOutline(double& work) const override;

private:
    const ShapeDrawing& drawing() const;

    const Shape& shape_;
};

} // namespace swf
