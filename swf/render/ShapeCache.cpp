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

const QPainterPath& ShapeCache::outline(const Shape& shape)
{
    Entry& e = entry(shape);
    if (!e.outline)
        e.outline = e.drawing.fillOutline();
    return *e.outline;
}

} // namespace swf
