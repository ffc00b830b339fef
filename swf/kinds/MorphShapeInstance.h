#pragma once

#include "Registry.h"

#include "swf/display/DisplayObject.h"

#include <memory>

namespace swf {

class ShapeDrawing;
struct MorphShape;

// An instance of a DefineMorphShape or DefineMorphShape2, shown at the ratio its
// placement gives (0..65535 from start to end). The morph is read once per character,
// and the drawing at each ratio made once and kept while the tween plays, so that a
// tween repeated by many instances or frames does not rebuild its paths.
class MorphShapeInstance final : public DisplayObject {
public:
    static std::unique_ptr<DisplayObject> make(const InstanceContext& context);

    MorphShapeInstance(Stage& stage, const Character& character, int depth);

    void draw(DrawContext& context) const override;
    QRectF ownBounds() const override;
    bool hitsOwn(QPointF local) const override;

private:
    const MorphShape& morph() const;
    std::shared_ptr<const ShapeDrawing> drawing() const;
};

} // namespace swf
