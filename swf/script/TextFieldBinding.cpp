#include "TextFieldBinding.h"

#include "ClipObject.h"
#include "Interpreter.h"
#include "ScriptEngine.h"

#include "swf/display/Stage.h"
#include "swf/kinds/EditTextInstance.h"

#include <algorithm>

namespace swf::script {
namespace {

// The script context a field's variable name is read in: the timeline the field is on.
ExecContext contextOf(ScriptEngine& engine, EditTextInstance& field)
{
    Vm& vm = engine.vm();
    DisplayObject* owner
        = field.parent() ? static_cast<DisplayObject*>(field.parent()) : &engine.stage().root();
    Object* clip = engine.objectFor(*owner);
    ExecContext ctx { vm, engine, nullptr, nullptr, {}, nullptr, Value(clip), Ref<Object>(clip),
        Ref<Object>(clip), {}, nullptr, nullptr, vm.version() };
    ctx.scopes.push_back(Ref<Object>(clip));
    return ctx;
}

// Runs work that may call scripts (a getter, a watch) from outside any script: what it
// throws ends it there.
template <class F> void guarded(ScriptEngine& engine, F&& work)
{
    Vm& vm = engine.vm();
    const bool outermost = !vm.inScript();
    vm.beginScript();
    try {
        work();
    } catch (ScriptThrow& thrown) {
        engine.uncaught(thrown.value);
    } catch (ScriptAbort& abort) {
        vm.endScript();
        if (!outermost)
            throw;
        engine.scriptStopped(abort.message);
        return;
    }
    vm.endScript();
}

} // namespace

EditTextInstance* textFieldOf(ScriptEngine& engine, const Value& v)
{
    return dynamic_cast<EditTextInstance*>(engine.displayOf(v));
}

TextFields::TextFields(ScriptEngine& engine)
    : engine_(engine)
{
}

void TextFields::added(DisplayObject& object)
{
    auto* field = dynamic_cast<EditTextInstance*>(&object);
    if (!field)
        return;
    bound_.push_back(field->id());
    if (!field->variable().isEmpty())
        guarded(engine_, [&] { bind(*field); });
}

void TextFields::removed(DisplayObject& object)
{
    if (object.id() == focus_) {
        focus_ = 0;
        begin_ = end_ = caret_ = -1;
    }
    std::erase(bound_, object.id());
    seen_.erase(object.id());
}

void TextFields::refresh()
{
    const std::vector<ObjectId> ids = bound_;
    for (ObjectId id : ids) {
        auto* field = dynamic_cast<EditTextInstance*>(engine_.stage().find(id));
        if (field && !field->variable().isEmpty())
            guarded(engine_, [&] { pull(*field); });
    }
}

Value TextFields::variable(EditTextInstance& field, bool& found)
{
    ExecContext ctx = contextOf(engine_, field);
    const Value v = engine_.getVariable(ctx, field.variable());
    found = !v.isUndefined();
    return v;
}

bool TextFields::followsVariable(EditTextInstance& field)
{
    // A variable of a plain object is read when the field binds to it, not after: only
    // timelines tell their fields when a variable changes.
    const QString& name = field.variable();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || name.contains(u':') || name.contains(u'/'))
        return true;
    ExecContext ctx = contextOf(engine_, field);
    const Value owner = engine_.getVariable(ctx, name.left(dot));
    return owner.object() && owner.object()->asClip();
}

void TextFields::pull(EditTextInstance& field)
{
    if (field.variable().isEmpty() || !followsVariable(field))
        return;
    show(field);
}

void TextFields::show(EditTextInstance& field)
{
    bool found = false;
    const Value v = variable(field, found);
    if (!found)
        return;
    // The field follows changes of the variable, not every value it holds: a text given
    // to a field whose variable would not take it stays, and an object the field already
    // shows is not converted again.
    Seen& seen = seen_[field.id()];
    if (v.object() && seen.object.get() == static_cast<GcObject*>(v.object()))
        return;
    const QString text = engine_.vm().toString(v);
    seen.object = Ref<GcObject>(v.object());
    if (seen.text == text && !seen.text.isNull())
        return;
    seen.text = text;
    if (field.html()) {
        if (field.htmlText() != text)
            field.setHtmlText(text);
    } else if (field.text() != text) {
        field.setText(text);
    }
}

void TextFields::push(EditTextInstance& field)
{
    if (field.variable().isEmpty())
        return;
    ExecContext ctx = contextOf(engine_, field);
    engine_.setVariable(ctx, field.variable(), field.html() ? field.htmlText() : field.text());
    bool found = false;
    const Value now = variable(field, found);
    seen_[field.id()] = Seen { found ? engine_.vm().toString(now) : QString(), Ref<GcObject>(now.object()) };
}

void TextFields::bind(EditTextInstance& field)
{
    seen_.erase(field.id());
    bool found = false;
    variable(field, found);
    if (found) {
        show(field);
        return;
    }
    const QString initial = field.initialText();
    if (field.html())
        field.setHtmlText(initial);
    else
        field.setText(initial);
    if (!initial.isEmpty())
        push(field);
}

// ---- Focus ---------------------------------------------------------------------------------------

DisplayObject* TextFields::focus() const
{
    return focus_ ? engine_.stage().find(focus_) : nullptr;
}

bool TextFields::canFocus(DisplayObject& object)
{
    if (dynamic_cast<EditTextInstance*>(&object))
        return true;
    // A clip takes it when it says so, or when it acts as a button.
    if (object.asMovieClip())
        return object.isMouseTarget()
            || engine_.vm().toBoolean(
                engine_.vm().get(engine_.objectFor(object), QStringLiteral("focusEnabled")));
    return object.character() != nullptr; // a button
}

bool TextFields::setFocus(DisplayObject* object)
{
    DisplayObject* old = focus();
    if (object == old)
        return true;
    if (object && !canFocus(*object))
        return false;
    focus_ = object ? object->id() : 0;
    // The selection is the new field's whole text once the news is out.
    begin_ = end_ = caret_ = -1;
    const Value oldValue = old ? Value(engine_.objectFor(*old)) : Value::null();
    const Value newValue = object ? Value(engine_.objectFor(*object)) : Value::null();
    if (old) {
        const Value args[] = { newValue };
        engine_.callEvent(engine_.objectFor(*old), QStringLiteral("onKillFocus"), args);
    }
    if (object) {
        const Value args[] = { oldValue };
        engine_.callEvent(engine_.objectFor(*object), QStringLiteral("onSetFocus"), args);
    }
    if (Object* selection = engine_.vm().protos().selection.get()) {
        const Value args[] = { QStringLiteral("onSetFocus"), oldValue, newValue };
        guarded(engine_,
            [&] { engine_.vm().callMethod(Value(selection), QStringLiteral("broadcastMessage"), args); });
    }
    if (auto* field = dynamic_cast<EditTextInstance*>(focus());
        field && focus_ == (object ? object->id() : 0)) {
        begin_ = 0;
        end_ = caret_ = field->length();
    }
    return true;
}

void TextFields::setSelection(std::optional<int> begin, std::optional<int> end)
{
    auto* field = dynamic_cast<EditTextInstance*>(focus());
    if (!field)
        return;
    const int length = field->length();
    const int from = std::clamp(begin.value_or(begin_), 0, length);
    const int to = std::clamp(end.value_or(caret_), 0, length);
    begin_ = std::min(from, to);
    end_ = std::max(from, to);
    caret_ = to;
}

} // namespace swf::script
