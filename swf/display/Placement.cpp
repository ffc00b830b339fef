#include "Placement.h"

namespace swf {

Placement Placement::fromTag(const PlaceObject& tag)
{
    Placement placement;
    placement.characterId = tag.characterId.value_or(0);
    placement.applyMove(tag);
    return placement;
}

void Placement::applyMove(const PlaceObject& tag)
{
    if (tag.matrix)
        matrix = *tag.matrix;
    if (tag.colorTransform)
        colorTransform = *tag.colorTransform;
    if (tag.ratio)
        ratio = *tag.ratio;
    if (tag.name)
        name = *tag.name;
    if (tag.clipDepth)
        clipDepth = *tag.clipDepth;
    if (tag.blendMode)
        blendMode = *tag.blendMode;
    if (!tag.filters.empty())
        filters = tag.filters;
    if (tag.cacheAsBitmap)
        cacheAsBitmap = *tag.cacheAsBitmap;
}

} // namespace swf
