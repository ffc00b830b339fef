#include "Builtins.h"

#include "ClipObject.h"
#include "ScriptEngine.h"
#include "Vm.h"
#include "classes/Classes.h"
#include "classes/Native.h"

namespace swf::script {

void installAll(Vm& vm)
{
    installObject(vm);
    installFunction(vm);
    installArray(vm);
    installString(vm);
    installNumberAndBoolean(vm);
    installMath(vm);
    installDate(vm);
    installError(vm);
    installAsBroadcaster(vm);
    installGlobals(vm);
    installGeometry(vm);
    installExternalInterface(vm);
    installFileReference(vm);
    installLocalConnection(vm);
    installDeviceClasses(vm);
}

void installEngineClasses(Vm& vm, ScriptEngine& engine)
{
    installMovieClip(vm, engine);
    installButtonAndTextField(vm, engine);
    installInput(vm, engine);
    installStageDisplayState(vm, engine);
    installTimers(vm, engine);
    installSystem(vm, engine);
    installColorAndSound(vm, engine);
    installXml(vm, engine);
    installLoadVars(vm, engine);
    installSharedObject(vm, engine);
    installStubs(vm, engine);
    installVideo(vm, engine);
    installBitmapData(vm);
    installFilters(vm);
}

Ref<Object> boxPrimitive(Vm& vm, const Value& v)
{
    Object* proto = nullptr;
    switch (v.type()) {
    case Value::Type::Number:
        proto = vm.protos().number.get();
        break;
    case Value::Type::String:
        proto = vm.protos().string.get();
        break;
    case Value::Type::Boolean:
        proto = vm.protos().boolean.get();
        break;
    default:
        return nullptr;
    }
    Ref<Object> box(new PrimitiveObject(vm, proto, v));
    if (v.isString())
        box->define(QStringLiteral("length"), double(v.string().size()), DontEnum | DontDelete);
    return box;
}

bool implementsInterface(Vm& vm, Object* proto, Object* constructor)
{
    if (!proto->hasInterfaces())
        return false;
    for (const Ref<Object>& i : proto->interfaces()) {
        if (i.get() == constructor)
            return true;
        // An interface that extends another implements that one too.
        if (Object* iproto = vm.get(i.get(), QStringLiteral("prototype")).object()) {
            int guard = 0;
            for (Object* p = iproto; p && guard < 64; p = p->proto(), ++guard) {
                if (vm.get(constructor, QStringLiteral("prototype")).object() == p)
                    return true;
                if (p != proto && implementsInterface(vm, p, constructor))
                    return true;
            }
        }
    }
    return false;
}

bool sameObject(Vm&, Object* a, Object* b)
{
    if (a == b)
        return true;
    ClipObject* ca = a->asClip();
    ClipObject* cb = b->asClip();
    if (ca && cb)
        return liveClip(*ca) == liveClip(*cb);
    return false;
}

namespace {

// The `super` of a method: its lookups start above a prototype, and its calls keep the
// method's `this`. That prototype is the one a call through `super` found the method on,
// or else the receiver's own prototype as it is when `super` is used (a script may change
// it in between).
class SuperObject final : public Object {
public:
    SuperObject(Vm& vm, const Value& self, Object* home)
        : Object(vm, nullptr)
        , self_(self)
        , home_(home)
    {
        if (Object* h = this->home())
            setProto(h->proto());
    }
    bool isSuper() const override { return true; }
    const Value& self() const { return self_; }
    Object* home() const
    {
        if (home_)
            return home_.get();
        return self_.object() ? self_.object()->proto() : nullptr;
    }
    bool getHost(const QString& name, Value& out) override
    {
        if (name == QLatin1String("__proto__"))
            return false;
        Object* h = home();
        Object* start = h ? h->proto() : nullptr;
        out = start ? vm().get(start, name) : Value();
        return true;
    }
    void trace(Tracer& tracer) override
    {
        Object::trace(tracer);
        traceValue(tracer, self_);
        if (home_)
            tracer.visit(home_.get());
    }
    void clearReferences() override
    {
        Object::clearReferences();
        self_ = Value();
        home_ = nullptr;
    }

private:
    Value self_;
    Ref<Object> home_;
};

} // namespace

Ref<Object> makeSuper(Vm& vm, const Value& thisValue, Object* home)
{
    return Ref<Object>(new SuperObject(vm, thisValue, home));
}

Value superConstruct(Vm& vm, Object& super, std::span<const Value> args)
{
    auto& s = static_cast<SuperObject&>(super);
    Object* home = s.home();
    // A clip in the chain is not searched by super, and __resolve is never asked.
    if (!home || home->asClip())
        return Value();
    const Value ctor = vm.get(home, QStringLiteral("__constructor__"), nullptr, false);
    Object* next = home->proto();
    return vm.call(ctor, s.self(), args, next ? next : nullptr);
}

Value superCall(Vm& vm, Object& super, const QString& method, std::span<const Value> args)
{
    auto& s = static_cast<SuperObject&>(super);
    Object* home = s.home();
    Object* start = home ? home->proto() : nullptr;
    if (!start || start->asClip() || home->asClip())
        return Value();
    Object* found = nullptr;
    const Value fn = vm.get(start, method, &found);
    return vm.call(fn, s.self(), args, found);
}

} // namespace swf::script
