#include "PointerInput.h"

#include "Stage.h"

namespace swf {

DisplayObject* PointerInput::over() const
{
    return over_ ? stage_.find(over_) : nullptr;
}

DisplayObject* PointerInput::pressed() const
{
    return pressed_ ? stage_.find(pressed_) : nullptr;
}

void PointerInput::deliver(ObjectId id, PointerEventKind kind)
{
    DisplayObject* target = id ? stage_.find(id) : nullptr;
    if (!target)
        return;
    target->pointerEvent(kind);
    // The target's own handling may have removed it.
    if (listener_ && (target = stage_.find(id)))
        listener_->pointerEvent(*target, kind);
}

void PointerInput::update(DisplayObject* now)
{
    const ObjectId nowId = now ? now->id() : 0;
    if (pressed_ && stage_.find(pressed_)) {
        // A press on a menu button moves with the pointer onto another menu button.
        DisplayObject* held = stage_.find(pressed_);
        if (now && nowId != pressed_ && held->tracksAsMenu() && now->tracksAsMenu() && now->enabled()) {
            if (over_ == pressed_)
                deliver(pressed_, PointerEventKind::DragOut);
            pressed_ = over_ = nowId;
            deliver(nowId, PointerEventKind::DragOver);
            return;
        }
        // While pressed only the pressed target hears the pointer come and go.
        const bool wasOver = over_ == pressed_;
        const bool isOver = nowId == pressed_;
        over_ = isOver ? pressed_ : 0;
        if (wasOver && !isOver)
            deliver(pressed_, PointerEventKind::DragOut);
        else if (!wasOver && isOver)
            deliver(pressed_, PointerEventKind::DragOver);
        return;
    }
    if (nowId == over_)
        return;
    const ObjectId old = over_;
    over_ = nowId;
    deliver(old, PointerEventKind::RollOut);
    deliver(nowId, PointerEventKind::RollOver);
}

void PointerInput::move(QPointF stagePoint)
{
    position_ = stagePoint;
    update(stage_.mouseTargetAt(stagePoint));
    if (listener_)
        listener_->mouseMoved(stagePoint);
}

void PointerInput::refresh()
{
    update(stage_.mouseTargetAt(position_));
}

void PointerInput::press()
{
    if (down_)
        return;
    down_ = true;
    DisplayObject* target = stage_.mouseTargetAt(position_);
    if (target && target->enabled()) {
        over_ = pressed_ = target->id();
        deliver(pressed_, PointerEventKind::Press);
    }
    if (listener_)
        listener_->mouseButton(true);
}

void PointerInput::release()
{
    if (!down_)
        return;
    down_ = false;
    const ObjectId pressed = pressed_;
    pressed_ = 0;
    if (pressed && stage_.find(pressed)) {
        DisplayObject* now = stage_.mouseTargetAt(position_);
        if (now && now->id() == pressed) {
            over_ = pressed;
            deliver(pressed, PointerEventKind::Release);
        } else {
            over_ = 0;
            deliver(pressed, PointerEventKind::ReleaseOutside);
            update(stage_.mouseTargetAt(position_));
        }
    } else {
        update(stage_.mouseTargetAt(position_));
    }
    if (listener_)
        listener_->mouseButton(false);
}

void PointerInput::wheel(int delta)
{
    if (listener_)
        listener_->wheel(delta);
}

void PointerInput::keyDown(int keyCode, char32_t character)
{
    if (listener_)
        listener_->key(true, keyCode, character);
}

void PointerInput::keyUp(int keyCode, char32_t character)
{
    if (listener_)
        listener_->key(false, keyCode, character);
}

Cursor PointerInput::cursor() const
{
    DisplayObject* target = pressed_ ? pressed() : over();
    if (target && target->enabled() && target->useHandCursor() && (!pressed_ || over_ == pressed_))
        return Cursor::Hand;
    return Cursor::Arrow;
}

} // namespace swf
