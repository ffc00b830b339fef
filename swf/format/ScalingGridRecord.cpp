#include "ScalingGridRecord.h"

#include "BitReader.h"
#include "Records.h"
#include "Tags.h"

namespace swf {

std::optional<Rect> scalingGridOf(const Movie& movie, uint16_t characterId)
{
    const auto tags = movie.characterTags.find(characterId);
    if (tags == movie.characterTags.end())
        return std::nullopt;
    std::optional<Rect> grid;
    for (const TagRecord& tag : tags->second) {
        if (tag.code != toCode(TagCode::DefineScalingGrid))
            continue;
        BitReader in(tag.body);
        in.u16(); // the character id
        const Rect rect = readRect(in);
        if (!in.overrun())
            grid = rect;
    }
    return grid;
}

} // namespace swf
