#include "Registry.h"

#include "BitmapInstance.h"
#include "ButtonInstance.h"
#include "EditTextInstance.h"
#include "MorphShapeInstance.h"
#include "ShapeInstance.h"
#include "StaticTextInstance.h"
#include "VideoInstance.h"

#include "swf/display/MovieClip.h"
#include "swf/display/Stage.h"
#include "swf/format/Tags.h"

#include <array>

namespace swf {
namespace {

// A sprite's instance: a clip playing its timeline. Nested too deep, it only holds its
// depth, so that a sprite that places itself ends.
std::unique_ptr<DisplayObject> makeSprite(const InstanceContext& c)
{
    const auto* sprite = std::get_if<SpriteDefinition>(&c.character.data);
    if (!sprite || c.nesting > Stage::kMaxNesting)
        return makeInert(c);
    return std::make_unique<MovieClip>(c.stage, c.movie, &c.character, sprite->timeline, c.depth, c.nesting);
}

// The tags of one kind; the unused places hold End, which defines nothing.
struct Kind {
    std::array<TagCode, 4> tags;
    MakeInstance make;
};

// Every kind of character the engine shows: the tags that define it, and its maker.
// A new kind is one class and one line here.
const Kind kKinds[] = {
    { { TagCode::DefineShape, TagCode::DefineShape2, TagCode::DefineShape3, TagCode::DefineShape4 },
        &ShapeInstance::make },
    { { TagCode::DefineSprite }, &makeSprite },
    { { TagCode::DefineBits, TagCode::DefineBitsJPEG2, TagCode::DefineBitsJPEG3, TagCode::DefineBitsJPEG4 },
        &BitmapInstance::make },
    { { TagCode::DefineBitsLossless, TagCode::DefineBitsLossless2 }, &BitmapInstance::make },
    { { TagCode::DefineMorphShape, TagCode::DefineMorphShape2 }, &MorphShapeInstance::make },
    { { TagCode::DefineButton, TagCode::DefineButton2 }, &ButtonInstance::make },
    { { TagCode::DefineText, TagCode::DefineText2 }, &StaticTextInstance::make },
    { { TagCode::DefineEditText }, &EditTextInstance::make },
    { { TagCode::DefineVideoStream }, &VideoInstance::make },
};

} // namespace

MakeInstance kindFactory(uint16_t tagCode)
{
    for (const Kind& kind : kKinds) {
        for (TagCode tag : kind.tags) {
            if (tag != TagCode::End && toCode(tag) == tagCode)
                return kind.make;
        }
    }
    return nullptr;
}

std::unique_ptr<DisplayObject> makeInert(const InstanceContext& c)
{
    return std::make_unique<DisplayObject>(c.stage, &c.character, c.depth);
}

} // namespace swf
