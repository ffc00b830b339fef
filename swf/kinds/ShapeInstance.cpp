#include "ShapeInstance.h"

#include "swf/display/Stage.h"
#include "swf/render/DrawContext.h"
#include "swf/render/ShapeDrawing.h"

#include <algorithm>

namespace swf {
namespace {

// The areas a pointer hits (see ShapeDrawing::hitAreas).
struct HitArea {
    std::vector<QPainterPath> paths;
};

// The area the fills cover together, for the shape as a mask.
struct MaskOutline {
    QPainterPath path;
    double work = 0;
};

} // namespace

std::unique_ptr<DisplayObject> ShapeInstance::make(const InstanceContext& c)
{
    const auto* shape = std::get_if<Shape>(&c.character.data);
    if (!shape)
        return makeInert(c);
    return std::make_unique<ShapeInstance>(c.stage, c.character, *shape, c.depth);
}

ShapeInstance::ShapeInstance(Stage& stage, const Character& character, const Shape& shape, int depth)
    : DisplayObject(stage, &character, depth)
    , shape_(shape)
{
}

const ShapeDrawing& ShapeInstance::drawing() const
{
    return stage_.decoded().get<ShapeDrawing>(*character(), [this] { return ShapeDrawing::decode(shape_); });
}

void ShapeInstance::draw(DrawContext& context) const
{
    drawing().paint(context);
}

QRectF ShapeInstance::ownBounds() const
{
    const Rect& b = shape_.bounds;
    return QRectF(QPointF(b.xMin, b.yMin), QPointF(b.xMax, b.yMax)).normalized();
}

bool ShapeInstance::hitsOwn(QPointF local) const
{
    if (!ownBounds().adjusted(-1, -1, 1, 1).contains(local))
        return false;
    const HitArea& area
        = stage_.decoded().get<HitArea>(*character(), [this] { return HitArea { drawing().hitAreas() }; });
    return std::any_of(area.paths.begin(), area.paths.end(),
        [local](const QPainterPath& path) { return path.contains(local); });
}

QPainterPath ShapeInstance::ownOutline(double& work) const
{
    const bool made = stage_.decoded().has<MaskOutline>(*character());
    const MaskOutline& outline = stage_.decoded().get<MaskOutline>(*character(), [this] {
        PathUnion fills = drawing().fillOutline();
        const double done = fills.work();
        return MaskOutline { fills.take(), done };
    });
    work = made ? 0 : outline.work;
    return outline.path;
}

} // namespace swf
