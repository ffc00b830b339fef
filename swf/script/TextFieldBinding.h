#pragma once

#include "Value.h"

#include "swf/display/DisplayObject.h"

#include <optional>
#include <unordered_map>
#include <vector>

namespace swf {
class EditTextInstance;
}

namespace swf::script {

class ClipObject;
class ScriptEngine;

// The properties of a text field as scripts see them (text, htmlText, textColor ...).
bool textFieldGet(ClipObject& field, const QString& name, Value& out);
bool textFieldSet(ClipObject& field, const QString& name, const Value& value);
bool textFieldHas(ClipObject& field, const QString& name);

// What the engine keeps of the text fields of a stage: the variables they show and which
// object has the keyboard focus.
//
// A field with a variable shows the variable's value: its text follows the variable when
// a script reads the field and after every frame's scripts, and the variable follows the
// text when a script or typing changes the field. A field whose variable does not exist
// yet gives it its own text, when it has any.
class TextFields {
public:
    explicit TextFields(ScriptEngine& engine);

    // The stage's news, passed on by the engine.
    void added(DisplayObject& object);
    void removed(DisplayObject& object);
    // After a frame's scripts: each field shows its variable.
    void refresh();

    // ---- Variables ---------------------------------------------------------------------------
    // The field takes its variable's value, when the variable has one.
    void pull(EditTextInstance& field);
    // The variable takes the field's text.
    void push(EditTextInstance& field);
    // The field's variable was set or changed: it shows the variable, or gives it its text.
    void bind(EditTextInstance& field);

    // ---- Focus -----------------------------------------------------------------------------
    DisplayObject* focus() const;
    // Moves the focus (null: none), telling the objects and Selection's listeners. False
    // when `object` cannot take it.
    bool setFocus(DisplayObject* object);
    // The selection in the focused field, -1 when no field has the focus; the caret is
    // at the end the selection was made towards.
    int selectionBegin() const { return begin_; }
    int selectionEnd() const { return end_; }
    int caret() const { return caret_; }
    // An index not given stays as it is.
    void setSelection(std::optional<int> begin, std::optional<int> end);

private:
    Value variable(EditTextInstance& field, bool& found);
    bool followsVariable(EditTextInstance& field);
    bool canFocus(DisplayObject& object);
    // The field takes the variable's value, wherever it lives.
    void show(EditTextInstance& field);
    ScriptEngine& engine_;
    std::vector<ObjectId> bound_;
    // The variable's value each field last showed or gave: its text, and the object when
    // it was one (the same object again is no change, whatever its text says now).
    struct Seen {
        QString text;
        Ref<GcObject> object;
    };
    std::unordered_map<ObjectId, Seen> seen_;
    ObjectId focus_ = 0;
    int begin_ = -1;
    int end_ = -1;
    int caret_ = -1;
};

// The text field behind a value, if it is a live one.
EditTextInstance* textFieldOf(ScriptEngine& engine, const Value& v);

} // namespace swf::script
