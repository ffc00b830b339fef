#pragma once

#include "Value.h"

namespace swf::script {

class ClipObject;

// The properties of a text field as scripts see them (text, htmlText, textColor ...).
bool textFieldGet(ClipObject& field, const QString& name, Value& out);
bool textFieldSet(ClipObject& field, const QString& name, const Value& value);
bool textFieldHas(ClipObject& field, const QString& name);

} // namespace swf::script
