#pragma once

#include "DisplayObject.h"

#include <QPointF>

namespace swf {

class Stage;

// Hears what the pointer and the keys do on the stage, beside the mouse targets' own
// events: the script layer's listeners and clip events, and tests.
class InputListener {
public:
    virtual ~InputListener() = default;
    // A mouse target got one of its events (after its own pointerEvent()).
    virtual void pointerEvent(DisplayObject&, PointerEventKind) { }
    virtual void mouseMoved(QPointF /*stagePoint*/) { }
    virtual void mouseButton(bool /*down*/) { }
    virtual void wheel(int /*delta*/) { }
    // `keyCode` is the movie's key code (Key.getCode), `character` the text typed, if any.
    virtual void key(bool /*down*/, int /*keyCode*/, char32_t /*character*/) { }
};

enum class Cursor : uint8_t { Arrow, Hand };

// The pointer over one stage: where it is, which mouse target it is over, and which one it
// pressed. It turns moves, presses and releases into the events a target gets, in the
// order the reference player gives them:
//   - over nothing pressed: RollOut of the old target, then RollOver of the new one;
//   - pressing: Press of the target under it, which keeps the pointer until release;
//   - moving while pressed: DragOut when leaving the pressed target, DragOver on return;
//     from a menu button onto another menu button, the press moves: DragOut of the old,
//     DragOver of the new, which is the pressed target from then on;
//   - releasing: Release when over the pressed target, else ReleaseOutside, then
//     RollOver of whatever is under the pointer then.
// Targets are kept by id, so one that goes away in between is simply forgotten.
class PointerInput {
public:
    explicit PointerInput(Stage& stage)
        : stage_(stage)
    {
    }

    void setListener(InputListener* listener) { listener_ = listener; }

    void move(QPointF stagePoint); // stage twips
    void press();
    void release();
    void wheel(int delta);
    void keyDown(int keyCode, char32_t character = 0);
    void keyUp(int keyCode, char32_t character = 0);
    // Looks again at what is under a still pointer, after the tree has changed.
    void refresh();

    QPointF position() const { return position_; }
    bool buttonDown() const { return down_; }
    DisplayObject* over() const;
    DisplayObject* pressed() const;
    // The cursor the movie wants: a hand over an enabled target that asks for one.
    Cursor cursor() const;

private:
    void update(DisplayObject* now);
    void deliver(ObjectId id, PointerEventKind kind);

    Stage& stage_;
    InputListener* listener_ = nullptr;
    QPointF position_ { -1e9, -1e9 }; // off the stage until the pointer first moves
    bool down_ = false;
    ObjectId over_ = 0; // the target under the pointer (while pressed: if it is the pressed one)
    ObjectId pressed_ = 0;
};

} // namespace swf
