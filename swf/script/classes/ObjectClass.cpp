// Object and Function.

#include "Classes.h"
#include "Native.h"

#include "swf/script/Builtins.h"
#include "swf/script/ScriptEngine.h"

namespace swf::script {
namespace {

Value objectConstructor(Vm& vm, CallArgs& c)
{
    const Value& v = c[0];
    if (v.isObject())
        return v;
    if (!v.isNullish() && c.size() > 0)
        return Value(boxPrimitive(vm, v));
    // Object() called as a function makes an object with no prototype at all.
    if (!c.constructing)
        return Value(Ref<Object>(new Object(vm, nullptr)));
    return Value(vm.newObject());
}

Value objectToString(Vm&, CallArgs& c)
{
    if (Object* o = c.thisObject(); o && o->asFunction())
        return QStringLiteral("[type Function]");
    return QStringLiteral("[object Object]");
}

Value objectValueOf(Vm&, CallArgs& c)
{
    return c.thisValue;
}

Value hasOwnProperty(Vm& vm, CallArgs& c)
{
    Object* o = c.thisObject();
    if (!o || c.size() == 0)
        return false;
    return vm.hasOwn(o, vm.toString(c[0]));
}

Value isPropertyEnumerable(Vm& vm, CallArgs& c)
{
    Object* o = c.thisObject();
    if (!o || c.size() == 0)
        return false;
    const Property* p = o->findOwn(vm.toString(c[0]));
    return p && !(p->flags & DontEnum) && vm.visible(*p);
}

Value isPrototypeOf(Vm&, CallArgs& c)
{
    Object* o = c.thisObject();
    Object* other = c[0].object();
    if (!o || !other)
        return false;
    int guard = 0;
    for (Object* p = other->proto(); p && guard < 256; p = p->proto(), ++guard) {
        if (p == o)
            return true;
    }
    return false;
}

Value addProperty(Vm& vm, CallArgs& c)
{
    Object* o = c.thisObject();
    if (!o || c.size() < 2)
        return false;
    const QString name = vm.toString(c[0]);
    Object* getter = c[1].object();
    Object* setter = c[2].object();
    if (name.isEmpty() || !getter || !getter->asFunction())
        return false;
    if (setter && !setter->asFunction())
        return false;
    if (!setter && !c[2].isNull())
        return false;
    const QString key = vm.key(name);
    Property* p = o->properties().find(key);
    if (!p)
        p = &o->properties().add(key, name);
    p->accessor = true;
    p->value = Value();
    p->getter = Ref<Object>(getter);
    p->setter = setter ? Ref<Object>(setter) : Ref<Object>();
    return true;
}

Value watch(Vm& vm, CallArgs& c)
{
    Object* o = c.thisObject();
    if (!o || c.size() < 2)
        return false;
    Object* callback = c[1].object();
    if (!callback || !callback->asFunction())
        return false;
    const QString key = vm.key(vm.toString(c[0]));
    for (Watch& w : o->watches()) {
        if (w.key == key) {
            w.callback = Ref<Object>(callback);
            w.userData = c[2];
            return true;
        }
    }
    o->watches().push_back(Watch { key, Ref<Object>(callback), c[2] });
    return true;
}

Value unwatch(Vm& vm, CallArgs& c)
{
    Object* o = c.thisObject();
    if (!o || c.size() < 1 || !o->hasWatches())
        return false;
    const QString key = vm.key(vm.toString(c[0]));
    auto& list = o->watches();
    const auto before = list.size();
    std::erase_if(list, [&](const Watch& w) { return w.key == key; });
    return list.size() != before;
}

Value registerClass(Vm& vm, CallArgs& c)
{
    if (c.size() < 2 || !vm.engine())
        return false;
    // Only a function is a class; null or undefined takes the registration away.
    Object* ctor = c[1].object();
    if (ctor ? !ctor->asFunction() : !c[1].isNullish())
        return false;
    vm.engine()->registerClass(vm.toString(c[0]), ctor);
    return true;
}

// ---- Function ----------------------------------------------------------------------------

// Function(x) gives x back; Function() a bare object.
Value functionConstructor(Vm& vm, CallArgs& c)
{
    if (c.size() > 0)
        return c[0];
    return Value(Ref<Object>(new Object(vm, nullptr)));
}

Value functionCall(Vm& vm, CallArgs& c)
{
    Object* f = c.thisObject();
    if (!f || !f->asFunction())
        return Value();
    Value self = c[0];
    if (self.isNullish())
        self = Value(vm.global());
    const std::span<const Value> rest = c.args.size() > 1 ? c.args.subspan(1) : std::span<const Value> {};
    return vm.call(Value(f), self, rest);
}

Value functionApply(Vm& vm, CallArgs& c)
{
    Object* f = c.thisObject();
    if (!f || !f->asFunction())
        return Value();
    Value self = c[0];
    if (self.isNullish())
        self = Value(vm.global());
    std::vector<Value> args;
    if (Object* list = c[1].object()) {
        const double n = vm.toNumber(vm.get(list, QStringLiteral("length")));
        const size_t count = std::isfinite(n) && n > 0 ? size_t(std::min(n, double(Vm::kMaxArrayLength))) : 0;
        for (size_t i = 0; i < count; ++i)
            args.push_back(vm.get(list, QString::number(i)));
    }
    return vm.call(Value(f), self, args);
}

} // namespace

void installObject(Vm& vm)
{
    Object* proto = vm.protos().object.get();
    Ref<NativeFunction> ctor = vm.makeClass(QStringLiteral("Object"), objectConstructor, proto, true);
    defineMethods(vm, proto,
        { { "toString", objectToString }, { "toLocaleString", objectToString },
            { "valueOf", objectValueOf } });
    defineMethods(vm, proto,
        { { "hasOwnProperty", hasOwnProperty }, { "isPropertyEnumerable", isPropertyEnumerable },
            { "isPrototypeOf", isPrototypeOf }, { "addProperty", addProperty }, { "watch", watch },
            { "unwatch", unwatch } },
        kBuiltin | OnlySwf6);
    vm.method(ctor.get(), QStringLiteral("registerClass"), registerClass);
}

void installFunction(Vm& vm)
{
    Object* proto = vm.protos().function.get();
    vm.makeClass(QStringLiteral("Function"), functionConstructor, proto, true);
    defineMethods(vm, proto, { { "call", functionCall }, { "apply", functionApply } }, kBuiltin | OnlySwf6);
    // Function.prototype.__proto__ is Object.prototype; Object itself is a function.
}

} // namespace swf::script
