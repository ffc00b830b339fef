// Error and AsBroadcaster.

#include "Classes.h"
#include "Native.h"

namespace swf::script {
namespace {

Value errorConstructor(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!c.constructing || !self) {
        Ref<Object> made(new Object(vm, vm.protos().error.get()));
        if (c.size() > 0 && !c[0].isUndefined())
            vm.set(made.get(), QStringLiteral("message"), c[0]);
        return Value(made);
    }
    if (c.size() > 0 && !c[0].isUndefined())
        vm.set(self, QStringLiteral("message"), c[0]);
    return Value();
}

Value errorToString(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!self)
        return Value();
    return vm.toString(vm.get(self, QStringLiteral("message")));
}

// ---- AsBroadcaster ---------------------------------------------------------------------

ArrayObject* listenersOf(Vm& vm, Object* o)
{
    if (!o)
        return nullptr;
    Object* list = vm.get(o, QStringLiteral("_listeners")).object();
    return list ? list->asArray() : nullptr;
}

Value addListener(Vm& vm, CallArgs& c)
{
    ArrayObject* list = listenersOf(vm, c.thisObject());
    if (!list)
        return false;
    std::vector<Value> items = list->items();
    // Listeners are compared with ==: adding null takes an undefined one's place.
    std::erase_if(items, [&](const Value& v) { return vm.equals(v, c[0]); });
    items.push_back(c[0]);
    list->assign(std::move(items));
    return true;
}

Value removeListener(Vm& vm, CallArgs& c)
{
    ArrayObject* list = listenersOf(vm, c.thisObject());
    if (!list)
        return false;
    std::vector<Value> items = list->items();
    for (auto it = items.begin(); it != items.end(); ++it) {
        if (vm.equals(*it, c[0])) {
            items.erase(it);
            list->assign(std::move(items));
            return true;
        }
    }
    return false;
}

Value broadcastMessage(Vm& vm, CallArgs& c)
{
    ArrayObject* list = listenersOf(vm, c.thisObject());
    if (!list || c.size() == 0)
        return Value();
    const QString message = vm.toString(c[0]);
    const std::vector<Value> listeners = list->items();
    const std::span<const Value> args = c.args.subspan(1);
    for (const Value& listener : listeners)
        vm.callMethod(listener, message, args);
    return listeners.empty() ? Value() : Value(true);
}

Value initialize(Vm& vm, CallArgs& c)
{
    Object* target = c[0].object();
    if (!target)
        return Value();
    Object* broadcaster = c.callee ? vm.get(vm.global(), QStringLiteral("AsBroadcaster")).object() : nullptr;
    for (const char* name : { "addListener", "removeListener", "broadcastMessage" }) {
        const QString n = QString::fromLatin1(name);
        Value fn = broadcaster ? vm.get(broadcaster, n) : Value();
        target->define(n, fn, DontEnum);
    }
    target->define(QStringLiteral("_listeners"), Value(vm.newArray()), DontEnum);
    return Value();
}

} // namespace

// Gives any object the broadcaster's methods and an empty list of listeners.
void makeBroadcaster(Vm& vm, Object* target)
{
    Object* broadcaster = vm.get(vm.global(), QStringLiteral("AsBroadcaster")).object();
    for (const char* name : { "addListener", "removeListener", "broadcastMessage" }) {
        const QString n = QString::fromLatin1(name);
        target->define(n, broadcaster ? vm.get(broadcaster, n) : Value(), DontEnum);
    }
    target->define(QStringLiteral("_listeners"), Value(vm.newArray()), DontEnum);
}

void installError(Vm& vm)
{
    vm.protos().error = vm.newObject();
    Object* proto = vm.protos().error.get();
    vm.makeClass(QStringLiteral("Error"), errorConstructor, proto);
    proto->define(QStringLiteral("name"), QStringLiteral("Error"), DontEnum);
    proto->define(QStringLiteral("message"), QStringLiteral("Error"), DontEnum);
    vm.method(proto, QStringLiteral("toString"), errorToString);
}

void installAsBroadcaster(Vm& vm)
{
    Ref<Object> proto = vm.newObject();
    Ref<NativeFunction> ctor = vm.makeClass(
        QStringLiteral("AsBroadcaster"), [](Vm&, CallArgs&) { return Value(); }, proto.get());
    defineMethods(vm, ctor.get(),
        { { "initialize", initialize }, { "addListener", addListener }, { "removeListener", removeListener },
            { "broadcastMessage", broadcastMessage } });
}

} // namespace swf::script
