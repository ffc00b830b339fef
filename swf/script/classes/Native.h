#pragma once

// What the built-in classes share: argument access, the wrapper objects of primitives,
// and a table form for defining many methods at once.

#include "swf/script/Array.h"
#include "swf/script/Function.h"
#include "swf/script/Numbers.h"
#include "swf/script/Vm.h"

#include <cmath>
#include <initializer_list>
#include <utility>

namespace swf::script {

// A Number, String or Boolean object: an object with the primitive it wraps.
class PrimitiveObject final : public Object {
public:
    PrimitiveObject(Vm& vm, Object* proto, const Value& value)
        : Object(vm, proto)
    {
        setPrimitive(value);
    }
};

struct MethodSpec {
    const char* name;
    NativeFn fn;
};

inline void defineMethods(Vm& vm, Object* target, std::initializer_list<MethodSpec> methods, uint16_t flags = kBuiltin)
{
    for (const MethodSpec& m : methods)
        vm.method(target, QString::fromLatin1(m.name), m.fn, flags);
}

inline double argNumber(Vm& vm, CallArgs& c, size_t i, double fallback = std::nan(""))
{
    return i < c.size() ? vm.toNumber(c[i]) : fallback;
}

inline QString argString(Vm& vm, CallArgs& c, size_t i)
{
    return i < c.size() ? vm.toString(c[i]) : QString();
}

// The primitive a method's receiver holds, for methods of Number, String and Boolean;
// undefined for an object that holds none.
inline Value thisPrimitive(CallArgs& c)
{
    if (!c.thisValue.isObject())
        return c.thisValue;
    Value p;
    if (c.thisObject()->primitive(p))
        return p;
    return Value();
}

inline Value undefinedValue()
{
    return Value();
}

} // namespace swf::script
