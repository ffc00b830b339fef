#pragma once

#include "Object.h"

#include <span>

namespace swf {
class DisplayObject;
}

namespace swf::script {

class ScriptEngine;
class Vm;

// The classes of the language (Object, Function, Array, String, Number, Boolean, Math,
// Date, Error, AsBroadcaster, the global functions): what every script has.
void installAll(Vm& vm);
// The classes of the player (MovieClip, Button, TextField, Key, Mouse, Stage, Sound,
// Color, XML, LoadVars, SharedObject, System ...), which reach the engine.
void installEngineClasses(Vm& vm, ScriptEngine& engine);

// A Number, String or Boolean object around a primitive.
Ref<Object> boxPrimitive(Vm& vm, const Value& v);
// Whether the class prototype `proto` implements `constructor` as an interface.
bool implementsInterface(Vm& vm, Object* proto, Object* constructor);
// What an object answers after its prototype chain: a clip's children by name.
bool lateLookup(Vm& vm, Object* o, const QString& name, Value& out);
// Whether two references are the same object (clip references that stand for the same
// path are).
bool sameObject(Vm& vm, Object* a, Object* b);

// `super`: the object a method's super calls go through.
Ref<Object> makeSuper(Vm& vm, const Value& thisValue, Object* home);
Value superConstruct(Vm& vm, Object& super, std::span<const Value> args);
Value superCall(Vm& vm, Object& super, const QString& method, std::span<const Value> args);

} // namespace swf::script
