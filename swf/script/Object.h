#pragma once

#include "Value.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace swf::script {

class Vm;
class FunctionObject;
class ArrayObject;
class ClipObject;

// The attributes of a property, as ASSetPropFlags sets them. The version bits hide a
// property from movies older than that version (the built-in classes' newer methods).
enum PropertyFlag : uint16_t {
    DontEnum = 0x01,
    DontDelete = 0x02,
    ReadOnly = 0x04,
    OnlySwf6 = 0x80, // hidden from SWF 5 and older
    HiddenSwf6 = 0x100, // hidden from SWF 6 alone
    OnlySwf7 = 0x400, // hidden from SWF 6 and older
    OnlySwf8 = 0x1000, // hidden from SWF 7 and older
    OnlySwf9 = 0x2000,
    OnlySwf10 = 0x4000,
};
// What a built-in method of the classes gets: not enumerated, not deletable.
inline constexpr uint16_t kBuiltin = DontEnum | DontDelete;
inline constexpr uint16_t kHidden = DontEnum | DontDelete | ReadOnly;

struct Property {
    QString name; // as first set
    Value value;
    // addProperty's accessors; an accessor property with no setter ignores writes.
    Ref<Object> getter;
    Ref<Object> setter;
    uint16_t flags = 0;
    bool accessor = false;
};

// The own properties of an object in the order they were made; scripts enumerate them
// newest first. Keys are the names as the virtual machine compares them (folded to lower
// case for movies before SWF 7).
class PropertyMap {
public:
    Property* find(const QString& key);
    const Property* find(const QString& key) const { return const_cast<PropertyMap*>(this)->find(key); }
    // A new property at the end of the order. The key must not be there yet.
    Property& add(const QString& key, const QString& name);
    bool erase(const QString& key);
    size_t size() const { return entries_.size() - dead_; }

    template <class F> void forEach(F&& f) const
    {
        for (const Entry& e : entries_) {
            if (e.live)
                f(e.key, e.prop);
        }
    }
    template <class F> void forEach(F&& f)
    {
        for (Entry& e : entries_) {
            if (e.live)
                f(e.key, e.prop);
        }
    }
    void clear();

private:
    struct Entry {
        QString key;
        Property prop;
        bool live = true;
    };
    void rebuildIndex();
    std::vector<Entry> entries_;
    QHash<QString, uint32_t> index_; // used once the object has many properties
    size_t dead_ = 0;
};

// A watch() on a property: the callback and its extra argument.
struct Watch {
    QString key;
    Ref<Object> callback;
    Value userData;
};

// An ActionScript object: properties, a prototype (__proto__), and for the built-in kinds
// the native state their subclass adds. Host objects (clips, arrays, strings' wrappers)
// add virtual properties by overriding the host hooks.
class Object : public GcObject {
public:
    Object(Vm& vm, Object* proto);
    ~Object() override;

    Vm& vm() const { return vm_; }
    Object* proto() const { return proto_.get(); }
    void setProto(Object* proto) { proto_ = proto; }

    PropertyMap& properties() { return props_; }
    const PropertyMap& properties() const { return props_; }

    // ---- What kind of object -----------------------------------------------------------
    virtual QString typeOf() const { return QStringLiteral("object"); }
    virtual FunctionObject* asFunction() { return nullptr; }
    virtual ArrayObject* asArray() { return nullptr; }
    virtual ClipObject* asClip() { return nullptr; }
    // The primitive a wrapper holds (Number, String, Boolean objects), for valueOf. Any
    // object can take one: a class that extends Number gets it from super().
    bool primitive(Value& out) const
    {
        if (!primitive_)
            return false;
        out = *primitive_;
        return true;
    }
    void setPrimitive(const Value& v) { primitive_ = std::make_unique<Value>(v); }
    // The class name for the default toString, as "[object NAME]" never changes.
    virtual bool isDate() const { return false; }
    // A method's `super`.
    virtual bool isSuper() const { return false; }

    // ---- Host properties: the ones a kind computes rather than stores -----------------
    // `name` as the script gave it. get/set return false when the name is not theirs.
    virtual bool getHost(const QString& /*name*/, Value& /*out*/) { return false; }
    virtual bool setHost(const QString& /*name*/, const Value& /*value*/) { return false; }
    virtual bool hasHost(const QString& /*name*/) { return false; }
    // Host names that for..in lists, after the stored properties.
    virtual void hostKeys(std::vector<QString>& /*out*/) { }

    // ---- Own stored properties -----------------------------------------------------------
    Property* findOwn(const QString& name);
    // Sets or makes an own property without accessors, watches or flags checks: for the
    // built-in classes building themselves.
    void define(const QString& name, const Value& value, uint16_t flags = 0);

    std::vector<Watch>& watches();
    bool hasWatches() const { return watches_ && !watches_->empty(); }
    // The interfaces a class prototype implements (ImplementsOp), for instanceof.
    std::vector<Ref<Object>>& interfaces();
    bool hasInterfaces() const { return interfaces_ && !interfaces_->empty(); }

    void trace(Tracer& tracer) override;
    void clearReferences() override;

private:
    Vm& vm_;
    Ref<Object> proto_;
    PropertyMap props_;
    std::unique_ptr<std::vector<Watch>> watches_;
    std::unique_ptr<std::vector<Ref<Object>>> interfaces_;
    std::unique_ptr<Value> primitive_;
};

inline Value::Value(Object* o)
{
    if (o)
        v_ = Ref<GcObject>(o);
}

inline Object* Value::object() const
{
    return isObject() ? static_cast<Object*>(std::get<Ref<GcObject>>(v_).get()) : nullptr;
}

// Traces a value's object, if it holds one.
inline void traceValue(Tracer& tracer, const Value& v)
{
    if (Object* o = v.object())
        tracer.visit(o);
}

} // namespace swf::script
