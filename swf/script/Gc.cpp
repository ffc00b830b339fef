#include "Gc.h"

#include <algorithm>

namespace swf::script {

GcObject::GcObject(Heap& heap)
    : heap_(heap)
{
    heap_.link(this);
}

GcObject::~GcObject()
{
    heap_.unlink(this);
}

void GcObject::release()
{
    if (--refs_ == 0)
        heap_.dispose(this);
}

Heap::~Heap()
{
    // Whatever is left is held in cycles or by the heap's owner's leftovers: break every
    // link first, then free what that leaves.
    tearingDown_ = true;
    std::vector<GcObject*> all;
    for (GcObject* o = first_; o; o = o->next_) {
        o->retain();
        all.push_back(o);
    }
    for (GcObject* o : all)
        o->clearReferences();
    for (GcObject* o : all)
        o->release();
}

void Heap::link(GcObject* object)
{
    object->next_ = first_;
    if (first_)
        first_->prev_ = object;
    first_ = object;
    ++live_;
    ++allocated_;
}

void Heap::unlink(GcObject* object)
{
    if (object->prev_)
        object->prev_->next_ = object->next_;
    else
        first_ = object->next_;
    if (object->next_)
        object->next_->prev_ = object->prev_;
    --live_;
}

// Freeing an object releases what it holds, which may free more: the work is queued and
// done in a loop, so that a linked list of a million objects does not recurse a million
// calls deep.
void Heap::dispose(GcObject* object)
{
    dying_.push_back(object);
    if (freeing_)
        return;
    freeing_ = true;
    while (!dying_.empty()) {
        GcObject* next = dying_.back();
        dying_.pop_back();
        delete next;
    }
    freeing_ = false;
}

class Heap::CountInner final : public Tracer {
public:
    void visit(GcObject* object) override;
};

class Heap::Mark final : public Tracer {
public:
    std::vector<GcObject*> pending;
    void visit(GcObject* object) override;
};

void Heap::maybeCollect()
{
    if (allocated_ > 20000 && allocated_ > live_ / 2)
        collect();
}

void Heap::collect()
{
    if (collecting_ || tearingDown_)
        return;
    collecting_ = true;
    allocated_ = 0;
    std::vector<GcObject*> all;
    all.reserve(live_);
    for (GcObject* o = first_; o; o = o->next_) {
        o->gcRefs_ = o->refs_;
        o->marked_ = false;
        all.push_back(o);
    }
    CountInner inner;
    for (GcObject* o : all)
        o->trace(inner);
    Mark mark;
    for (GcObject* o : all) {
        if (o->gcRefs_ > 0 && !o->marked_) {
            o->marked_ = true;
            mark.pending.push_back(o);
        }
    }
    while (!mark.pending.empty()) {
        GcObject* o = mark.pending.back();
        mark.pending.pop_back();
        o->trace(mark);
    }
    std::vector<GcObject*> dead;
    for (GcObject* o : all) {
        if (!o->marked_)
            dead.push_back(o);
    }
    for (GcObject* o : dead)
        o->retain();
    for (GcObject* o : dead)
        o->clearReferences();
    for (GcObject* o : dead)
        o->release();
    collecting_ = false;
}

void Heap::CountInner::visit(GcObject* object)
{
    if (object)
        --object->gcRefs_;
}

void Heap::Mark::visit(GcObject* object)
{
    if (object && !object->marked_) {
        object->marked_ = true;
        pending.push_back(object);
    }
}

} // namespace swf::script
