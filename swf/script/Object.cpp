#include "Object.h"

#include "Vm.h"

namespace swf::script {

// ---- PropertyMap ---------------------------------------------------------------------------

namespace {
// Small objects are searched in order; larger ones get a hash index.
constexpr size_t kIndexFrom = 12;
} // namespace

Property* PropertyMap::find(const QString& key)
{
    if (entries_.size() < kIndexFrom) {
        for (Entry& e : entries_) {
            if (e.live && e.key == key)
                return &e.prop;
        }
        return nullptr;
    }
    auto it = index_.constFind(key);
    return it == index_.constEnd() ? nullptr : &entries_[it.value()].prop;
}

Property& PropertyMap::add(const QString& key, const QString& name)
{
    if (dead_ > 16 && dead_ > entries_.size() / 2) {
        std::erase_if(entries_, [](const Entry& e) { return !e.live; });
        dead_ = 0;
        rebuildIndex();
    }
    entries_.push_back(Entry { key, Property { name, {}, {}, {}, 0, false }, true });
    if (entries_.size() == kIndexFrom)
        rebuildIndex();
    else if (entries_.size() > kIndexFrom)
        index_.insert(key, uint32_t(entries_.size() - 1));
    return entries_.back().prop;
}

bool PropertyMap::erase(const QString& key)
{
    for (size_t i = 0; i < entries_.size(); ++i) {
        Entry& e = entries_[i];
        if (!e.live || e.key != key)
            continue;
        if (entries_.size() >= kIndexFrom)
            index_.remove(key);
        if (i + 1 == entries_.size()) {
            entries_.pop_back();
        } else {
            e.live = false;
            e.prop = Property {};
            ++dead_;
        }
        return true;
    }
    return false;
}

void PropertyMap::clear()
{
    entries_.clear();
    index_.clear();
    dead_ = 0;
}

void PropertyMap::rebuildIndex()
{
    index_.clear();
    if (entries_.size() < kIndexFrom)
        return;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].live)
            index_.insert(entries_[i].key, uint32_t(i));
    }
}

// ---- Object --------------------------------------------------------------------------------

Object::Object(Vm& vm, Object* proto)
    : GcObject(vm.heap())
    , vm_(vm)
    , proto_(proto)
{
}

Object::~Object() = default;

Property* Object::findOwn(const QString& name)
{
    return props_.find(vm_.key(name));
}

void Object::define(const QString& name, const Value& value, uint16_t flags)
{
    const QString key = vm_.key(name);
    Property* p = props_.find(key);
    if (!p)
        p = &props_.add(key, name);
    p->value = value;
    p->flags = flags;
    p->accessor = false;
    p->getter = nullptr;
    p->setter = nullptr;
}

std::vector<Watch>& Object::watches()
{
    if (!watches_)
        watches_ = std::make_unique<std::vector<Watch>>();
    return *watches_;
}

std::vector<Ref<Object>>& Object::interfaces()
{
    if (!interfaces_)
        interfaces_ = std::make_unique<std::vector<Ref<Object>>>();
    return *interfaces_;
}

void Object::trace(Tracer& tracer)
{
    if (proto_)
        tracer.visit(proto_.get());
    props_.forEach([&](const QString&, const Property& p) {
        traceValue(tracer, p.value);
        if (p.getter)
            tracer.visit(p.getter.get());
        if (p.setter)
            tracer.visit(p.setter.get());
    });
    if (watches_) {
        for (const Watch& w : *watches_) {
            if (w.callback)
                tracer.visit(w.callback.get());
            traceValue(tracer, w.userData);
        }
    }
    if (interfaces_) {
        for (const Ref<Object>& i : *interfaces_)
            tracer.visit(i.get());
    }
    if (primitive_)
        traceValue(tracer, *primitive_);
}

void Object::clearReferences()
{
    proto_ = nullptr;
    props_.clear();
    watches_.reset();
    interfaces_.reset();
    primitive_.reset();
}

} // namespace swf::script
