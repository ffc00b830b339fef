#include "Vm.h"

#include "Array.h"
#include "Builtins.h"
#include "ClipObject.h"
#include "Numbers.h"

#include <cmath>
#include <limits>

namespace swf::script {

Vm::Vm(int swfVersion, ScriptEngine* engine)
    : version_(swfVersion)
    , engine_(engine)
{
    installBuiltins();
}

Vm::~Vm()
{
    // The roots go first; the heap then breaks what cycles are left.
    factories_.clear();
    stack_.clear();
    protos_ = Prototypes {};
    global_ = nullptr;
}

void Vm::installBuiltins()
{
    // Object.prototype and Function.prototype come first: every other object hangs from them.
    protos_.object = Ref<Object>(new Object(*this, nullptr));
    protos_.function = Ref<Object>(new Object(*this, protos_.object.get()));
    // The global object has no prototype: it is not an Object to scripts.
    global_ = Ref<Object>(new Object(*this, nullptr));
    installAll(*this);
}

QString Vm::key(const QString& name) const
{
    if (caseSensitive())
        return name;
    const char16_t* p = reinterpret_cast<const char16_t*>(name.constData());
    const qsizetype n = name.size();
    qsizetype i = 0;
    while (i < n && !(p[i] >= 'A' && p[i] <= 'Z'))
        ++i;
    if (i == n)
        return name;
    QString folded = name;
    char16_t* q = reinterpret_cast<char16_t*>(folded.data());
    for (; i < n; ++i) {
        if (q[i] >= 'A' && q[i] <= 'Z')
            q[i] = char16_t(q[i] + 32);
    }
    return folded;
}

bool Vm::sameName(const QString& a, const QString& b) const
{
    return caseSensitive() ? a == b : a.compare(b, Qt::CaseInsensitive) == 0;
}

// ---- Making objects ----------------------------------------------------------------------

Ref<Object> Vm::newObject()
{
    return Ref<Object>(new Object(*this, protos_.object.get()));
}

Ref<ArrayObject> Vm::newArray()
{
    return Ref<ArrayObject>(new ArrayObject(*this, protos_.array.get()));
}

Ref<ArrayObject> Vm::newArray(std::vector<Value> items)
{
    Ref<ArrayObject> array = newArray();
    array->assign(std::move(items));
    return array;
}

Ref<NativeFunction> Vm::newNative(NativeFn fn, bool makesOwnObject)
{
    return Ref<NativeFunction>(new NativeFunction(*this, protos_.function.get(), fn, makesOwnObject));
}

Ref<NativeFunction> Vm::method(Object* target, const QString& name, NativeFn fn, uint16_t flags)
{
    Ref<NativeFunction> f = newNative(fn);
    target->define(name, f, flags);
    return f;
}

Ref<NativeFunction> Vm::makeClass(
    const QString& name, NativeFn ctor, Object* prototype, bool makesOwnObject, uint16_t flags)
{
    Ref<NativeFunction> f = newNative(ctor, makesOwnObject);
    f->define(QStringLiteral("prototype"), prototype, kBuiltin);
    prototype->define(QStringLiteral("constructor"), f, kBuiltin);
    if (!name.isEmpty())
        global_->define(name, f, flags);
    return f;
}

void Vm::setInstanceFactory(Object* proto, InstanceFactory factory)
{
    factories_[proto] = factory;
}

Ref<Object> Vm::instantiate(Object* proto)
{
    int guard = 0;
    for (Object* p = proto; p && guard < 256; p = p->proto(), ++guard) {
        auto it = factories_.find(p);
        if (it != factories_.end())
            return it->second(*this, proto);
    }
    return Ref<Object>(new Object(*this, proto));
}

void Vm::accessor(Object* target, const QString& name, NativeFn getter, NativeFn setter, uint16_t flags)
{
    const QString k = key(name);
    Property* p = target->properties().find(k);
    if (!p)
        p = &target->properties().add(k, name);
    p->accessor = true;
    p->value = Value();
    p->getter = getter ? Ref<Object>(newNative(getter)) : Ref<Object>();
    p->setter = setter ? Ref<Object>(newNative(setter)) : Ref<Object>();
    p->flags = flags;
}

// ---- Conversions -------------------------------------------------------------------------

Value Vm::convert(Object* o, const Value& v, Hint hint)
{
    // A clip stands for its path, unless its class says otherwise.
    if (ClipObject* clip = o->asClip()) {
        Value fn = get(o, QStringLiteral("toString"), nullptr, false);
        if (fn.object() && dynamic_cast<ScriptFunction*>(fn.object())) {
            Value result = call(fn, v, {});
            if (!result.isObject())
                return result;
        }
        return Value(clipPath(*clip));
    }
    if (hint == Hint::None)
        hint = o->isDate() ? Hint::String : Hint::Number;
    // One method is asked, valueOf for a number and toString for a string: without it
    // the primitive is undefined, and an object it gives leaves the object itself
    // (whose text, where text is needed, its toString then makes).
    const Value fn = get(
        o, hint == Hint::String ? QStringLiteral("toString") : QStringLiteral("valueOf"), nullptr, false);
    if (!fn.object() || !fn.object()->asFunction())
        return Value();
    const Value result = call(fn, v, {});
    return result.isObject() ? Value(o) : result;
}

Value Vm::toPrimitive(const Value& v, Hint hint)
{
    Object* o = v.object();
    if (!o)
        return v;
    return convert(o, v, hint);
}

double Vm::toNumber(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Undefined:
        return version_ >= 7 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
    case Value::Type::Null:
        return version_ >= 7 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
    case Value::Type::Boolean:
        return v.boolean() ? 1.0 : 0.0;
    case Value::Type::Number:
        return v.number();
    case Value::Type::String:
        return stringToNumber(v.string());
    case Value::Type::Object: {
        Value p = toPrimitive(v, Hint::Number);
        if (p.isObject())
            return std::numeric_limits<double>::quiet_NaN();
        return toNumber(p);
    }
    }
    return 0;
}

double Vm::stringToNumber(const QString& s) const
{
    return script::stringToNumber(s, version_);
}

QString Vm::toString(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Undefined:
        return version_ >= 7 ? QStringLiteral("undefined") : QString();
    case Value::Type::Null:
        return QStringLiteral("null");
    case Value::Type::Boolean:
        return v.boolean() ? QStringLiteral("true") : QStringLiteral("false");
    case Value::Type::Number:
        return numberToString(v.number());
    case Value::Type::String:
        return v.string();
    case Value::Type::Object: {
        Object* o = v.object();
        if (ClipObject* clip = o->asClip())
            return clipPath(*clip);
        // What toString gives is taken only when it is a string: any other value (a
        // number included) leaves the object with no text of its own.
        // Without a toString of its own kind valueOf is not asked either.
        const Value fn = get(o, QStringLiteral("toString"), nullptr, false);
        if (fn.object() && fn.object()->asFunction()) {
            const Value text = call(fn, v, {});
            if (text.isString())
                return text.string();
        }
        return o->asFunction() ? QStringLiteral("[type Function]") : QStringLiteral("[type Object]");
    }
    }
    return {};
}

bool Vm::toBoolean(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return false;
    case Value::Type::Boolean:
        return v.boolean();
    case Value::Type::Number:
        return !std::isnan(v.number()) && v.number() != 0;
    case Value::Type::String:
        if (version_ >= 7)
            return !v.string().isEmpty();
        {
            const double n = stringToNumber(v.string());
            return !std::isnan(n) && n != 0;
        }
    case Value::Type::Object:
        return true;
    }
    return false;
}

double Vm::toInteger(const Value& v)
{
    const double n = toNumber(v);
    if (std::isnan(n))
        return 0;
    if (std::isinf(n))
        return n;
    return std::trunc(n);
}

int32_t Vm::toInt32(const Value& v)
{
    const double n = v.isNumber() ? v.number() : toNumber(v);
    if (!std::isfinite(n))
        return 0;
    if (n >= -2147483648.0 && n <= 2147483647.0)
        return static_cast<int32_t>(n);
    double m = std::fmod(std::trunc(n), 4294967296.0);
    if (m < 0)
        m += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(m));
}

Ref<Object> Vm::toObject(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return nullptr;
    case Value::Type::Object:
        return Ref<Object>(v.object());
    default:
        return boxPrimitive(*this, v);
    }
}

QString Vm::typeOf(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Undefined:
        return QStringLiteral("undefined");
    case Value::Type::Null:
        return QStringLiteral("null");
    case Value::Type::Boolean:
        return QStringLiteral("boolean");
    case Value::Type::Number:
        return QStringLiteral("number");
    case Value::Type::String:
        return QStringLiteral("string");
    case Value::Type::Object:
        return v.object()->typeOf();
    }
    return {};
}

// ---- Properties --------------------------------------------------------------------------

bool Vm::visible(const Property& p) const
{
    if ((p.flags & OnlySwf6) && version_ < 6)
        return false;
    if ((p.flags & HiddenSwf6) && version_ == 6)
        return false;
    if ((p.flags & OnlySwf10) && version_ < 10)
        return false;
    if ((p.flags & OnlySwf7) && version_ < 7)
        return false;
    if ((p.flags & OnlySwf8) && version_ < 8)
        return false;
    if ((p.flags & OnlySwf9) && version_ < 9)
        return false;
    return true;
}

Property* Vm::findProperty(Object* o, const QString& k, Object** owner)
{
    int guard = 0;
    for (Object* cur = o; cur && guard < 256; cur = cur->proto(), ++guard) {
        Property* p = cur->properties().find(k);
        if (p && visible(*p)) {
            if (owner)
                *owner = cur;
            return p;
        }
    }
    return nullptr;
}

namespace {
bool isProtoName(const QString& name)
{
    return name == QLatin1String("__proto__");
}
} // namespace

Value Vm::get(Object* o, const QString& name, Object** home, bool resolve)
{
    if (ClipObject* clip = o->asClip())
        o = liveClip(*clip);
    if (isProtoName(name)) {
        if (Property* p = o->properties().find(key(name)); p && visible(*p))
            return p->value;
        // `super` stands for the prototype above the method's: its __proto__ is that one's.
        if (o->isSuper())
            return o->proto() ? Value(o->proto()->proto()) : Value();
        return Value(o->proto());
    }
    const QString k = key(name);
    constexpr int kMaxProtoChain = 256;
    int guard = 0;
    Object* cur = o;
    for (; cur && guard < kMaxProtoChain; cur = cur->proto(), ++guard) {
        Value out;
        if (cur->getHost(name, out)) {
            if (home)
                *home = cur;
            return out;
        }
        Property* p = cur->properties().find(k);
        if (!p || !visible(*p))
            continue;
        if (home)
            *home = cur;
        if (p->accessor) {
            // Inside a watcher past the bound of nesting, accessors are not run: the
            // property reads as the value kept in it.
            if (o->hasWatches() && watchNesting(o, k) > kMaxWatchNesting)
                return p->value;
            if (accessorNesting(cur, k) > kMaxWatchNesting)
                return p->value;
            if (!p->getter)
                return Value();
            Ref<Object> getter = p->getter;
            return callAccessor(cur, k, getter.get(), o, {});
        }
        return p->value;
    }
    // A chain this long loops back on itself: the read recurses without end.
    if (cur)
        throw ScriptAbort { QStringLiteral("原型链循环") };
    if (Value late; lateLookup(*this, o, name, late))
        return late;
    if (resolve && name != QLatin1String("__resolve")) {
        const Value handler = resolveHandler(o);
        if (handler.object() && handler.object()->asFunction()) {
            const Value args[] = { Value(name) };
            return call(handler, Value(o), args);
        }
    }
    return Value();
}

// The __resolve that answers for a missing property: the nearest one up the prototype
// chain that holds an object. One that holds a primitive or a clip is passed over; one
// made with addProperty answers nothing.
Value Vm::resolveHandler(Object* o)
{
    const QString k = key(QStringLiteral("__resolve"));
    int guard = 0;
    for (Object* cur = o; cur && guard < 256; cur = cur->proto(), ++guard) {
        Property* p = cur->properties().find(k);
        if (!p || !visible(*p))
            continue;
        if (p->accessor)
            return Value();
        if (p->value.object() && !p->value.object()->asClip())
            return p->value;
    }
    return Value();
}

Value Vm::getMember(const Value& target, const QString& name, Object** home)
{
    switch (target.type()) {
    case Value::Type::Object:
        return get(target.object(), name, home);
    case Value::Type::String:
        if (name == QLatin1String("length"))
            return double(target.string().size());
        return get(protos_.string.get(), name, home);
    case Value::Type::Number:
        return get(protos_.number.get(), name, home);
    case Value::Type::Boolean:
        return get(protos_.boolean.get(), name, home);
    default:
        return Value();
    }
}

void Vm::set(Object* o, const QString& name, const Value& value)
{
    // A property without a name cannot be made.
    if (name.isEmpty())
        return;
    if (ClipObject* clip = o->asClip())
        o = liveClip(*clip);
    if (o->setHost(name, value))
        return;
    const QString k = key(name);
    Property* own = o->properties().find(k);
    if (isProtoName(name) && !own) {
        // Only an object continues the chain: a primitive ends it as null does. A chain
        // may loop back: every walk along it is bounded, and a read through it stops the
        // script (see get).
        o->setProto(value.object());
        return;
    }
    if (own && !visible(*own))
        own = nullptr;
    if (own && own->accessor && o->hasWatches() && watchNesting(o, k) > kMaxWatchNesting) {
        own->value = value;
        return;
    }
    if (own && own->accessor) {
        // A watch sees the write before the setter (the old value is not asked of the
        // getter); the setter takes what the watcher gives.
        Value given = value;
        if (o->hasWatches())
            watched(o, k, name, Value(), given);
        own = o->properties().find(k);
        if (own && own->accessor && own->setter && accessorNesting(o, k) <= kMaxWatchNesting) {
            Ref<Object> setter = own->setter;
            const Value args[] = { given };
            callAccessor(o, k, setter.get(), o, args);
            own = o->properties().find(k);
        }
        // The property keeps what was written, once its setter is done: a read nested
        // too deep for its getter answers it.
        if (own && own->accessor)
            own->value = given;
        return;
    }
    if (own && (own->flags & ReadOnly))
        return;
    if (!own) {
        // An accessor up the prototype chain handles the write for this object.
        Object* owner = nullptr;
        if (Property* inherited = findProperty(o->proto(), k, &owner); inherited && inherited->accessor) {
            // A watch on the object sees the write first (a text field's text).
            Value given = value;
            if (o->hasWatches())
                watched(o, k, name, Value(), given);
            Ref<Object> keep(owner);
            if (inherited->setter && accessorNesting(owner, k) <= kMaxWatchNesting) {
                Ref<Object> setter = inherited->setter;
                const Value args[] = { given };
                callAccessor(owner, k, setter.get(), o, args);
                inherited = owner->properties().find(k);
            }
            if (inherited && inherited->accessor)
                inherited->value = given;
            return;
        }
    }
    Value stored = value;
    if (o->hasWatches() && watched(o, k, name, own ? own->value : Value(), stored)) {
        own = o->properties().find(k);
        if (own && (own->accessor || (own->flags & ReadOnly)))
            return;
    }
    if (!own)
        own = &o->properties().add(k, name);
    own->value = std::move(stored);
}

int Vm::watchNesting(const Object* o, const QString& k) const
{
    int n = 0;
    for (const auto& [object, key] : runningWatches_)
        n += object == o && key == k;
    return n;
}

int Vm::accessorNesting(const Object* owner, const QString& k) const
{
    int n = 0;
    for (const auto& [object, key] : runningAccessors_)
        n += object == owner && key == k;
    return n;
}

Value Vm::callAccessor(const Object* owner, const QString& k, Object* fn, Object* self, std::span<const Value> args)
{
    runningAccessors_.emplace_back(owner, k);
    struct Leave {
        std::vector<std::pair<const Object*, QString>>& running;
        ~Leave() { running.pop_back(); }
    } leave { runningAccessors_ };
    return call(Value(fn), Value(self), args);
}

bool Vm::watched(Object* o, const QString& k, const QString& name, const Value& old, Value& value)
{
    // A watcher that sets what it watches calls itself, up to a bound of nesting for
    // that property; past it the value is stored as it is.
    if (watchNesting(o, k) > kMaxWatchNesting)
        return false;
    for (Watch& w : o->watches()) {
        if (w.key != k || !w.callback)
            continue;
        Ref<Object> callback = w.callback;
        Ref<Object> keep(o);
        const Value args[] = { Value(name), old, value, w.userData };
        runningWatches_.emplace_back(o, k);
        struct Leave {
            std::vector<std::pair<const Object*, QString>>& running;
            ~Leave() { running.pop_back(); }
        } leave { runningWatches_ };
        value = call(Value(callback), Value(o), args);
        return true;
    }
    return false;
}

void Vm::setMember(const Value& target, const QString& name, const Value& value)
{
    if (Object* o = target.object())
        set(o, name, value);
}

bool Vm::hasOwn(Object* o, const QString& name)
{
    if (ClipObject* clip = o->asClip())
        o = liveClip(*clip);
    if (o->hasHost(name))
        return true;
    Property* p = o->properties().find(key(name));
    if (!p && isProtoName(name))
        return o->proto() != nullptr;
    return p && visible(*p);
}

bool Vm::has(Object* o, const QString& name)
{
    int guard = 0;
    for (Object* cur = o; cur && guard < 256; cur = cur->proto(), ++guard) {
        if (hasOwn(cur, name))
            return true;
    }
    return false;
}

bool Vm::remove(Object* o, const QString& name)
{
    if (ClipObject* clip = o->asClip())
        o = liveClip(*clip);
    const QString k = key(name);
    Property* p = o->properties().find(k);
    if (!p) {
        if (isProtoName(name) && o->proto()) {
            o->setProto(nullptr);
            return true;
        }
        return false;
    }
    if ((p->flags & DontDelete) || !visible(*p))
        return false;
    o->properties().erase(k);
    return true;
}

std::vector<QString> Vm::enumerate(Object* o)
{
    if (ClipObject* clip = o->asClip())
        o = liveClip(*clip);
    // Each object of the chain lists its names newest first; the chain is walked from the
    // object (whose names hide its prototypes' ones) but listed from the farthest
    // prototype, as the names come off the stack in the reverse of the walk.
    std::vector<std::vector<QString>> levels;
    QHash<QString, bool> known;
    int guard = 0;
    for (Object* cur = o; cur && guard < 256; cur = cur->proto(), ++guard) {
        std::vector<QString>& names = levels.emplace_back();
        std::vector<QString> level;
        std::vector<QString> hostNames;
        cur->hostKeys(hostNames);
        cur->properties().forEach([&](const QString& k, const Property& p) {
            if (known.contains(k))
                return;
            known.insert(k, true);
            // A name the movie's version hides from reads is still listed.
            if (!(p.flags & DontEnum))
                level.push_back(p.name);
        });
        for (auto it = level.rbegin(); it != level.rend(); ++it)
            names.push_back(*it);
        for (const QString& h : hostNames) {
            const QString k = key(h);
            if (known.contains(k))
                continue;
            known.insert(k, true);
            names.push_back(h);
        }
    }
    std::vector<QString> names;
    for (auto it = levels.rbegin(); it != levels.rend(); ++it)
        names.insert(names.end(), it->begin(), it->end());
    return names;
}

// ---- Operators ---------------------------------------------------------------------------

Value Vm::add(const Value& a, const Value& b)
{
    const Value pa = toPrimitive(a);
    const Value pb = toPrimitive(b);
    if (pa.isString() || pb.isString()) {
        QString s = toString(pa);
        const QString t = toString(pb);
        if (s.size() + t.size() > kMaxStringLength)
            throw ScriptAbort { QStringLiteral("字符串过长") };
        s += t;
        return s;
    }
    return toNumber(pa) + toNumber(pb);
}

bool Vm::strictEquals(const Value& a, const Value& b)
{
    if (a.type() != b.type())
        return false;
    switch (a.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return true;
    case Value::Type::Boolean:
        return a.boolean() == b.boolean();
    case Value::Type::Number:
        // Players of SWF 6 and older found NaN equal to itself.
        if (version_ <= 6 && std::isnan(a.number()) && std::isnan(b.number()))
            return true;
        return a.number() == b.number();
    case Value::Type::String:
        return a.string() == b.string();
    case Value::Type::Object:
        return sameObject(*this, a.object(), b.object());
    }
    return false;
}

// Equality asks an object only its valueOf: one whose valueOf gives an object (as
// Object.prototype.valueOf does) equals no primitive, whatever its toString says.
Value Vm::equalityPrimitive(const Value& v)
{
    Object* o = v.object();
    if (o->asClip())
        return toPrimitive(v);
    const Value fn = get(o, QStringLiteral("valueOf"), nullptr, false);
    if (fn.object() && fn.object()->asFunction())
        return call(fn, v, {});
    return toPrimitive(v);
}

bool Vm::equals(const Value& a, const Value& b)
{
    using T = Value::Type;
    const T ta = a.type();
    const T tb = b.type();
    if (ta == tb)
        return strictEquals(a, b);
    // An object meets a primitive as its own primitive (undefined when it has none).
    if (ta == T::Object) {
        const Value p = equalityPrimitive(a);
        return p.isObject() ? false : equals(p, b);
    }
    if (tb == T::Object) {
        const Value p = equalityPrimitive(b);
        return p.isObject() ? false : equals(a, p);
    }
    if (a.isNullish() && b.isNullish())
        return true;
    if (a.isNullish() || b.isNullish())
        return false;
    if (ta == T::Boolean)
        return equals(Value(a.boolean() ? 1.0 : 0.0), b);
    if (tb == T::Boolean)
        return equals(a, Value(b.boolean() ? 1.0 : 0.0));
    return toNumber(a) == toNumber(b);
}

Value Vm::less(const Value& a, const Value& b)
{
    // An operand whose valueOf gives an object makes the comparison false at once
    // (the right one is then not converted); a clip compares as no number at all.
    const auto primitive = [this](const Value& v) {
        Object* o = v.object();
        return o && o->asClip() ? Value() : toPrimitive(v, Hint::Number);
    };
    const Value pa = primitive(a);
    if (pa.isObject())
        return false;
    const Value pb = primitive(b);
    if (pb.isObject())
        return false;
    if (pa.isString() && pb.isString())
        return pa.string() < pb.string();
    const double x = toNumber(pa);
    const double y = toNumber(pb);
    if (std::isnan(x) || std::isnan(y))
        return Value();
    return x < y;
}

bool Vm::instanceOf(const Value& v, Object* constructor)
{
    Object* o = v.object();
    if (!o || !constructor)
        return false;
    const Value protoValue = get(constructor, QStringLiteral("prototype"));
    Object* proto = protoValue.object();
    if (!proto)
        return false;
    int guard = 0;
    for (Object* p = o->proto(); p && guard < 256; p = p->proto(), ++guard) {
        if (p == proto)
            return true;
        // Interfaces a class implements (implements) count too.
        if (implementsInterface(*this, p, constructor))
            return true;
    }
    return false;
}

// ---- Calls -------------------------------------------------------------------------------

Vm::DepthGuard::DepthGuard(Vm& vm)
    : vm_(vm)
{
    if (vm_.depth_ >= vm_.maxDepth_)
        throw ScriptAbort { QStringLiteral("脚本递归超过 %1 层，已停止。").arg(vm_.maxDepth_) };
    ++vm_.depth_;
}

Value Vm::call(const Value& function, const Value& thisValue, std::span<const Value> args, Object* home)
{
    Object* o = function.object();
    FunctionObject* f = o ? o->asFunction() : nullptr;
    if (!f)
        return Value();
    Ref<Object> keep(o);
    DepthGuard guard(*this);
    CallArgs c { thisValue, args, f, home, false };
    return f->call(c);
}

Value Vm::callMethod(const Value& target, const QString& name, std::span<const Value> args)
{
    // A blank method name calls the target itself, as the CallMethod action does.
    if (name.isEmpty())
        return call(target, Value(), args);
    const Value fn = getMember(target, name);
    return call(fn, target, args);
}

Value Vm::construct(const Value& constructor, std::span<const Value> args)
{
    Object* o = constructor.object();
    FunctionObject* f = o ? o->asFunction() : nullptr;
    if (!f)
        return Value();
    Ref<Object> keep(o);
    DepthGuard guard(*this);
    if (f->makesOwnObject()) {
        CallArgs c { Value(), args, f, nullptr, true };
        return f->call(c);
    }
    const Value protoValue = get(f, QStringLiteral("prototype"));
    Ref<Object> object = instantiate(protoValue.object() ? protoValue.object() : protos_.object.get());
    // Scripts read the class an object was made by from these two.
    object->define(QStringLiteral("__constructor__"), Value(f), DontEnum);
    if (version_ < 7)
        object->define(QStringLiteral("constructor"), Value(f), DontEnum);
    CallArgs c { Value(object), args, f, nullptr, true };
    const Value result = f->call(c);
    if (result.isObject() && f->asFunction() && dynamic_cast<NativeFunction*>(f))
        return result;
    // A built-in constructor answers null when it refuses its arguments: `new` gives undefined.
    if (result.isNull() && dynamic_cast<NativeFunction*>(f))
        return Value();
    return Value(object);
}

// ---- Limits ------------------------------------------------------------------------------

void Vm::setLimits(int maxDepth, int timeoutSeconds)
{
    maxDepth_ = std::clamp(maxDepth, 16, 1024);
    timeoutMs_ = std::clamp(timeoutSeconds, 1, 60) * 1000LL;
}

void Vm::beginScript()
{
    if (scripts_++ == 0)
        clock_.start();
}

void Vm::endScript()
{
    if (scripts_ > 0)
        --scripts_;
}

QString Vm::timeoutMessage() const
{
    return QStringLiteral("脚本运行超过 %1 秒，已停止。动画继续播放。").arg((timeoutMs_ + 999) / 1000);
}

void Vm::checkLimits()
{
    if (clock_.isValid() && clock_.elapsed() > timeoutMs_)
        throw ScriptAbort { timeoutMessage() };
    if (heap_.liveObjects() > kMaxObjects) {
        heap_.collect();
        if (heap_.liveObjects() > kMaxObjects)
            throw ScriptAbort { QStringLiteral("脚本占用内存过多，已停止。") };
    }
}

void Vm::throwError(const QString& className, const QString& message)
{
    Value ctor = get(global_.get(), className);
    const Value args[] = { Value(message) };
    Value error = construct(ctor, args);
    throw ScriptThrow { error };
}

} // namespace swf::script
