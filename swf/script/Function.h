#pragma once

#include "Object.h"
#include "Program.h"

#include <memory>
#include <span>
#include <vector>

namespace swf::script {

// What a call hands a function: the receiver, the arguments, and for script functions
// the prototype their method was found on (where `super` starts).
struct CallArgs {
    Value thisValue;
    std::span<const Value> args;
    Object* callee = nullptr;
    // For a call through `super`: the prototype the method was found on, where the next
    // `super` starts. Null otherwise: `super` then starts at the receiver's prototype.
    Object* home = nullptr;
    bool constructing = false;

    const Value& operator[](size_t i) const
    {
        static const Value undefined;
        return i < args.size() ? args[i] : undefined;
    }
    size_t size() const { return args.size(); }
    Object* thisObject() const { return thisValue.object(); }
};

class FunctionObject : public Object {
public:
    FunctionObject(Vm& vm, Object* proto)
        : Object(vm, proto)
    {
    }
    QString typeOf() const override { return QStringLiteral("function"); }
    FunctionObject* asFunction() override { return this; }
    virtual Value call(CallArgs& call) = 0;
    // Whether `new` makes an object for this function to fill (script functions and most
    // native classes), or the native makes its own (Array, Date, the wrappers).
    virtual bool makesOwnObject() const { return false; }
};

using NativeFn = Value (*)(Vm& vm, CallArgs& call);

class NativeFunction final : public FunctionObject {
public:
    NativeFunction(Vm& vm, Object* proto, NativeFn fn, bool makesOwnObject = false)
        : FunctionObject(vm, proto)
        , fn_(fn)
        , ownObject_(makesOwnObject)
    {
    }
    Value call(CallArgs& call) override;
    bool makesOwnObject() const override { return ownObject_; }
    NativeFn native() const { return fn_; }

private:
    NativeFn fn_;
    bool ownObject_;
};

// A function the movie defined: its code, and what it sees of where it was defined.
class ScriptFunction final : public FunctionObject {
public:
    ScriptFunction(
        Vm& vm, Object* proto, std::shared_ptr<Program> program, std::shared_ptr<const FunctionCode> code)
        : FunctionObject(vm, proto)
        , program_(std::move(program))
        , code_(std::move(code))
    {
    }
    Value call(CallArgs& call) override;

    const FunctionCode& code() const { return *code_; }
    // The scope chain at the definition, innermost last; the timeline it was defined on
    // (the target of its timeline actions).
    std::vector<Ref<Object>> scopes;
    Ref<Object> baseClip;
    std::shared_ptr<const ConstantPool> constants;

    void trace(Tracer& tracer) override;
    void clearReferences() override;

private:
    std::shared_ptr<Program> program_;
    std::shared_ptr<const FunctionCode> code_;
};

} // namespace swf::script
