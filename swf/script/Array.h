#pragma once

#include "Object.h"

#include <optional>
#include <vector>

namespace swf::script {

// An Array: an object whose index properties ("0", "1" ...) it counts in its length.
// Its elements are ordinary properties, so that for..in lists them as scripts expect
// (newest first) and holes stay holes.
class ArrayObject final : public Object {
public:
    ArrayObject(Vm& vm, Object* proto)
        : Object(vm, proto)
    {
    }
    ArrayObject* asArray() override { return this; }

    // How many elements there are to go through: the length, but none while it reads as
    // negative, and no more than the bound on arrays.
    uint32_t length() const;
    // Cuts the elements at `length` and above; a longer length leaves holes.
    void setLength(uint32_t length);
    // Deletes every element (and the length with them); `keepUndeletable` leaves those
    // that may not be deleted.
    void removeElements(bool keepUndeletable);
    // Element `i` through the prototype chain, undefined for a hole.
    Value at(uint32_t i);
    // Sets element `i` as an own property, the length following.
    void put(uint32_t i, const Value& v);
    void push(const Value& v) { put(length_, v); }
    // Makes the array exactly `items`.
    void assign(std::vector<Value> items);
    // Every element, holes as undefined.
    std::vector<Value> items();

    bool getHost(const QString& name, Value& out) override;
    bool setHost(const QString& name, const Value& value) override;
    bool hasHost(const QString& name) override;

    // The index a property name stands for ("7" is 7, "07" and "x" are none).
    static std::optional<uint32_t> index(const QString& name);
    // A name written as a whole number ("-5", "4294967296"), as the 32-bit integer it
    // wraps to: a write of such a name reaching the length moves the length past it.
    static std::optional<int32_t> wrappedIndex(const QString& name);

private:
    // The length as scripts read it is this, taken as a signed 32-bit integer.
    uint32_t length_ = 0;
};

} // namespace swf::script
