#include "Stage.h"

#include <type_traits>
#include <variant>

namespace swf {

Stage::Stage(std::shared_ptr<const Movie> movie, FrameActions* actions)
    : movie_(std::move(movie))
    , actions_(actions ? actions : &noActions_)
    , background_(movie_->background)
{
    root_ = std::make_unique<MovieClip>(*this, nullptr, movie_->timeline, 0, 0);
}

Stage::~Stage()
{
    root_.reset();
}

void Stage::start()
{
    if (root_->currentFrame() < 0)
        root_->gotoFrame(0);
}

void Stage::advance()
{
    ++tick_;
    root_->advance();
}

std::unique_ptr<DisplayObject> Stage::instantiate(uint16_t characterId, int depth, int nesting)
{
    const Character* character = movie_->character(characterId);
    if (!character || instances_ >= kMaxInstances)
        return nullptr;
    return std::visit(
        [&](const auto& data) -> std::unique_ptr<DisplayObject> {
            using T = std::decay_t<decltype(data)>;
            if constexpr (std::is_same_v<T, Shape>) {
                return std::make_unique<DisplayObject>(*this, DisplayObject::Kind::Shape, character, depth);
            } else if constexpr (std::is_same_v<T, SpriteDefinition>) {
                // Too deep: the depth is still taken, so the timeline's moves find it.
                if (nesting > kMaxNesting)
                    return std::make_unique<DisplayObject>(
                        *this, DisplayObject::Kind::Inert, character, depth);
                return std::make_unique<MovieClip>(*this, character, data.timeline, depth, nesting);
            } else {
                return std::make_unique<DisplayObject>(*this, DisplayObject::Kind::Inert, character, depth);
            }
        },
        character->data);
}

} // namespace swf
