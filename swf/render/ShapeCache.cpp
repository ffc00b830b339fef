#include "ShapeCache.h"

namespace swf {

ShapeCache::Entry& ShapeCache::entry(const Shape& shape)
{
    auto& slot = entries_[&shape];
    if (!slot)
        slot = std::make_unique<Entry>(Entry { ShapeDrawing::decode(shape), std::nullopt });
    return *slot;
}

const ShapeDrawing& ShapeCache::drawing(const Shape& shape)
{
    return entry(shape).drawing;
}

const QPainterPath& ShapeCache::outline(const Shape& shape, DrawBudget& budget)
{
    Entry& e = entry(shape);
    if (!e.outline) {
        PathUnion fills = e.drawing.fillOutline();
        budget.chargeUnion(fills.work());
        e.outline = fills.take();
    }
    return *e.outline;
}

} // namespace swf
