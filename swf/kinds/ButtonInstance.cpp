#include "ButtonInstance.h"

#include "swf/display/MovieClip.h"
#include "swf/display/Stage.h"
#include "swf/format/Tags.h"

#include <vector>

namespace swf {
namespace {

bool inState(const ButtonRecord& r, ButtonInstance::Shown state)
{
    switch (state) {
    case ButtonInstance::Shown::Up:
        return r.up;
    case ButtonInstance::Shown::Over:
        return r.over;
    case ButtonInstance::Shown::Down:
        return r.down;
    }
    return false;
}

ButtonInstance::Shown shownFor(ButtonInstance::PointerState state, bool menu)
{
    switch (state) {
    case ButtonInstance::PointerState::OverUp:
        return ButtonInstance::Shown::Over;
    case ButtonInstance::PointerState::OverDown:
        return ButtonInstance::Shown::Down;
    case ButtonInstance::PointerState::OutDown:
        // A push button dragged off while pressed shows its over state; a menu item lets go.
        return menu ? ButtonInstance::Shown::Up : ButtonInstance::Shown::Over;
    case ButtonInstance::PointerState::Idle:
        break;
    }
    return ButtonInstance::Shown::Up;
}

constexpr int kNestingPerLevel = 8;

bool isButton(const Movie& movie, uint16_t characterId)
{
    const Character* character = movie.character(characterId);
    return character
        && (character->tagCode == toCode(TagCode::DefineButton)
            || character->tagCode == toCode(TagCode::DefineButton2));
}

} // namespace

std::unique_ptr<DisplayObject> ButtonInstance::make(const InstanceContext& c)
{
    if (c.nesting > Stage::kMaxNesting)
        return makeInert(c);
    const ButtonDefinition& definition = c.stage.decoded().get<ButtonDefinition>(c.character, [&] {
        std::vector<std::string> warnings;
        const uint8_t version = c.character.tagCode == toCode(TagCode::DefineButton2) ? 2 : 1;
        return readButton(c.character.body, version, warnings);
    });
    return std::make_unique<ButtonInstance>(c, definition);
}

ButtonInstance::ButtonInstance(const InstanceContext& c, const ButtonDefinition& definition)
    : DisplayObject(c.stage, &c.character, c.depth)
    , movie_(c.movie)
    , nesting_(c.nesting)
    , definition_(definition)
{
    if (definition.version < 2) {
        if (auto it = movie_.characterTags.find(c.character.id); it != movie_.characterTags.end()) {
            for (const TagRecord& tag : it->second) {
                if (tag.code == toCode(TagCode::DefineButtonCxform))
                    cxform_ = readButtonCxform(tag.body);
            }
        }
    }
    for (const ButtonRecord& record : definition_.records) {
        if (isButton(movie_, record.characterId))
            ++buttonRecords_;
    }
    for (const ButtonRecord& record : definition_.records) {
        if (!record.hitTest)
            continue;
        if (auto object = instantiate(record))
            hitArea_[record.depth] = std::move(object);
    }
    show(Shown::Up);
}

ButtonInstance::~ButtonInstance()
{
    discard(shown_);
    hitArea_.clear();
}

std::unique_ptr<DisplayObject> ButtonInstance::instantiate(const ButtonRecord& record)
{
    // A button makes each of its characters twice (shown and hit area), so buttons made of
    // buttons multiply the tree at every level, by twice the number of buttons among their
    // characters: a level of buttons counts as several levels of nesting, as many more as
    // that number, so that the stage's nesting limit stops them after a few hundred objects.
    const int step = isButton(movie_, record.characterId) ? kNestingPerLevel * std::max(1, buttonRecords_)
                                                          : kNestingPerLevel;
    std::unique_ptr<DisplayObject> object
        = stage_.instantiate(movie_, record.characterId, record.depth, nesting_ + step);
    if (!object)
        return nullptr;
    object->setHolder(this);
    Placement placement;
    placement.characterId = record.characterId;
    placement.matrix = record.matrix;
    placement.colorTransform
        = definition_.version >= 2 ? record.colorTransform : cxform_.value_or(ColorTransform {});
    object->applyTimelinePlacement(placement);
    return object;
}

void ButtonInstance::discard(DisplayList& list)
{
    for (auto& [depth, object] : list)
        stage_.notifyRemoved(*object);
    list.clear();
}

void ButtonInstance::show(Shown state)
{
    shownState_ = state;
    // Characters that stand in both states at the same depth stay, so that a clip shown
    // in both goes on playing.
    DisplayList next;
    for (const ButtonRecord& record : definition_.records) {
        if (!inState(record, state))
            continue;
        auto kept = shown_.find(record.depth);
        if (kept != shown_.end() && kept->second->characterId() == record.characterId) {
            next[record.depth] = std::move(kept->second);
            shown_.erase(kept);
            continue;
        }
        std::unique_ptr<DisplayObject> object = instantiate(record);
        if (!object)
            continue;
        DisplayObject* made = object.get();
        // Scripts reach the clips, buttons and text fields of a state by name.
        if (made->takesInstanceName())
            made->setName(stage_.nextInstanceName());
        next[record.depth] = std::move(object);
        stage_.notifyAdded(*made);
        if (MovieClip* clip = made->asMovieClip())
            clip->gotoFrame(0);
    }
    discard(shown_);
    shown_ = std::move(next);
}

bool ButtonInstance::hitsOwn(QPointF local) const
{
    for (const auto& [depth, object] : hitArea_) {
        if (object->hitTest(toQTransform(object->matrix()).inverted().map(local)))
            return true;
    }
    return false;
}

void ButtonInstance::tick()
{
    std::vector<ObjectId> clips;
    for (const auto& [depth, object] : shown_) {
        if (object->asMovieClip() && object->bornTick() != stage_.tick())
            clips.push_back(object->id());
    }
    for (ObjectId id : clips) {
        if (DisplayObject* object = stage_.find(id))
            object->asMovieClip()->advance();
    }
}

void ButtonInstance::moveTo(PointerState next, ButtonTransition transition)
{
    state_ = next;
    const Shown shown = shownFor(next, definition_.trackAsMenu);
    if (shown != shownState_)
        show(shown);
    stage_.notifyButtonTransition(*this, transition);
}

void ButtonInstance::pointerEvent(PointerEventKind kind)
{
    const bool menu = definition_.trackAsMenu;
    switch (kind) {
    case PointerEventKind::RollOver:
        if (state_ == PointerState::Idle)
            moveTo(PointerState::OverUp, ButtonTransition::IdleToOverUp);
        break;
    case PointerEventKind::RollOut:
        if (state_ == PointerState::OverUp)
            moveTo(PointerState::Idle, ButtonTransition::OverUpToIdle);
        break;
    case PointerEventKind::Press:
        if (state_ == PointerState::OverUp)
            moveTo(PointerState::OverDown, ButtonTransition::OverUpToOverDown);
        else if (state_ == PointerState::Idle)
            moveTo(PointerState::OverDown, ButtonTransition::IdleToOverDown);
        break;
    case PointerEventKind::Release:
        if (state_ == PointerState::OverDown)
            moveTo(PointerState::OverUp, ButtonTransition::OverDownToOverUp);
        break;
    case PointerEventKind::DragOut:
        if (state_ == PointerState::OverDown) {
            if (menu)
                moveTo(PointerState::Idle, ButtonTransition::OverDownToIdle);
            else
                moveTo(PointerState::OutDown, ButtonTransition::OverDownToOutDown);
        }
        break;
    case PointerEventKind::DragOver:
        if (state_ == PointerState::OutDown)
            moveTo(PointerState::OverDown, ButtonTransition::OutDownToOverDown);
        else if (state_ == PointerState::Idle)
            moveTo(PointerState::OverDown, ButtonTransition::IdleToOverDown);
        break;
    case PointerEventKind::ReleaseOutside:
        if (state_ == PointerState::OutDown)
            moveTo(PointerState::Idle, ButtonTransition::OutDownToIdle);
        break;
    }
}

} // namespace swf
