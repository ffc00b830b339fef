#pragma once

#include "Registry.h"

#include "swf/display/DisplayObject.h"
#include "swf/display/StageObserver.h"
#include "swf/format/Buttons.h"

namespace swf {

// An instance of a DefineButton or DefineButton2: the characters of its up, over or down
// state, and a hit area the pointer is tested against. The pointer's events move it
// between the four pointer states (idle, over up, over down, out down); each move shows
// the state's characters and is told to the stage's observers, which run the button's
// actions and sounds. A button that tracks as a menu lets go of the press when the
// pointer leaves it and takes it when a pressed pointer comes onto it.
class ButtonInstance final : public DisplayObject {
public:
    enum class PointerState : uint8_t { Idle, OverUp, OverDown, OutDown };
    enum class Shown : uint8_t { Up, Over, Down };

    static std::unique_ptr<DisplayObject> make(const InstanceContext& context);

    ButtonInstance(const InstanceContext& context, const ButtonDefinition& definition);
    ~ButtonInstance() override;

    const DisplayList* children() const override { return &shown_; }
    const DisplayList* heldObjects() const override { return &hitArea_; }
    QRectF ownBounds() const override { return {}; }
    bool hitsOwn(QPointF local) const override;
    void pointerEvent(PointerEventKind kind) override;
    bool isMouseTarget() const override { return true; }
    bool tracksAsMenu() const override { return definition_.trackAsMenu; }
    void tick() override;

    PointerState pointerState() const { return state_; }
    Shown shown() const { return shownState_; }
    const ButtonDefinition& definition() const { return definition_; }

private:
    void moveTo(PointerState next, ButtonTransition transition);
    void show(Shown state);
    std::unique_ptr<DisplayObject> instantiate(const ButtonRecord& record);
    void discard(DisplayList& list);

    const Movie& movie_;
    int nesting_;
    int buttonRecords_ = 0; // records whose character is a button
    const ButtonDefinition& definition_;
    std::optional<ColorTransform> cxform_; // DefineButtonCxform, for DefineButton's records
    PointerState state_ = PointerState::Idle;
    Shown shownState_ = Shown::Up;
    DisplayList shown_;
    DisplayList hitArea_;
};

} // namespace swf
