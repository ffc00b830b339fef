#pragma once

#include "Gc.h"

#include <QString>

#include <variant>

namespace swf::script {

class Object;

// One ActionScript value: undefined, null, a boolean, a number, a string or a reference
// to an object (movie clips and functions included). Strings are UTF-16, as scripts count
// them.
class Value {
public:
    enum class Type : uint8_t { Undefined, Null, Boolean, Number, String, Object };

    Value() = default;
    Value(bool b)
        : v_(b)
    {
    }
    Value(double n)
        : v_(n)
    {
    }
    Value(int n)
        : v_(double(n))
    {
    }
    Value(QString s)
        : v_(std::move(s))
    {
    }
    Value(const char* s)
        : v_(QString::fromUtf8(s))
    {
    }
    // Defined with Object (Object.h), which every user of objects includes. A null
    // pointer is undefined.
    inline Value(Object* o);
    template <class T>
    Value(const Ref<T>& o)
        : Value(static_cast<Object*>(o.get()))
    {
    }
    static Value null()
    {
        Value v;
        v.v_ = NullTag {};
        return v;
    }

    Type type() const { return static_cast<Type>(v_.index()); }
    bool isUndefined() const { return v_.index() == 0; }
    bool isNull() const { return v_.index() == 1; }
    bool isNullish() const { return v_.index() <= 1; }
    bool isBoolean() const { return v_.index() == 2; }
    bool isNumber() const { return v_.index() == 3; }
    bool isString() const { return v_.index() == 4; }
    bool isObject() const { return v_.index() == 5; }

    bool boolean() const { return std::get<bool>(v_); }
    double number() const { return std::get<double>(v_); }
    const QString& string() const { return std::get<QString>(v_); }
    inline Object* object() const; // null unless an object

private:
    struct NullTag { };
    std::variant<std::monostate, NullTag, bool, double, QString, Ref<GcObject>> v_;
};

} // namespace swf::script
