#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace swf::script {

class GcObject;
class Heap;

// Counts the references an object holds to other objects, for the cycle collector. Each
// object reports every reference it owns exactly once (a reference reported but not owned
// would let the collector free an object still in use).
class Tracer {
public:
    virtual ~Tracer() = default;
    virtual void visit(GcObject* object) = 0;
};

// The base of everything scripts can reference. Objects are counted: the last reference
// frees an object at once, which is what most garbage is. Cycles (a function and its
// prototype, a clip's listener lists) are found by the heap's collector, which asks every
// object for its references: those counted but not held by another object are held from
// outside (the interpreter's stack, a display object, a timer) and keep what they reach.
class GcObject {
public:
    GcObject(const GcObject&) = delete;
    GcObject& operator=(const GcObject&) = delete;

    void retain() { ++refs_; }
    void release();

    // Every reference this object owns, once each.
    virtual void trace(Tracer&) { }
    // Drops every reference this object owns: the collector breaks dead cycles this way.
    virtual void clearReferences() { }

protected:
    explicit GcObject(Heap& heap);
    virtual ~GcObject();
    Heap& heap() const { return heap_; }

private:
    friend class Heap;
    Heap& heap_;
    uint32_t refs_ = 0;
    int64_t gcRefs_ = 0; // the collector's work: references from outside the heap
    GcObject* prev_ = nullptr;
    GcObject* next_ = nullptr;
    bool marked_ = false;
};

// A counted reference.
template <class T> class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) { }
    Ref(T* object)
        : p_(object)
    {
        if (p_)
            p_->retain();
    }
    Ref(const Ref& other)
        : Ref(other.p_)
    {
    }
    Ref(Ref&& other) noexcept
        : p_(std::exchange(other.p_, nullptr))
    {
    }
    template <class U>
    Ref(const Ref<U>& other)
        : Ref(static_cast<T*>(other.get()))
    {
    }
    ~Ref()
    {
        if (p_)
            p_->release();
    }
    Ref& operator=(Ref other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    friend bool operator==(const Ref& a, const Ref& b) { return a.p_ == b.p_; }

private:
    T* p_ = nullptr;
};

// Every object of one virtual machine. Frees counted objects without deep recursion (a
// long chain of objects freed at once is unwound in a loop) and collects cycles.
class Heap {
public:
    Heap() = default;
    ~Heap();
    Heap(const Heap&) = delete;
    Heap& operator=(const Heap&) = delete;

    size_t liveObjects() const { return live_; }
    size_t allocatedSinceCollection() const { return allocated_; }
    // Frees the cycles nothing outside the heap holds. Safe at any time: every reference
    // held outside the heap is counted.
    void collect();
    // Collects when enough has been allocated since the last collection.
    void maybeCollect();

private:
    friend class GcObject;
    class CountInner;
    class Mark;
    void link(GcObject* object);
    void unlink(GcObject* object);
    void dispose(GcObject* object);

    GcObject* first_ = nullptr;
    size_t live_ = 0;
    size_t allocated_ = 0;
    std::vector<GcObject*> dying_;
    bool freeing_ = false;
    bool collecting_ = false;
    bool tearingDown_ = false;
};

} // namespace swf::script
