#include "Function.h"

#include "Array.h"
#include "Builtins.h"
#include "ClipObject.h"
#include "Interpreter.h"
#include "ScriptEngine.h"
#include "Vm.h"

#include "swf/display/Stage.h"

namespace swf::script {

Value NativeFunction::call(CallArgs& call)
{
    return fn_(vm(), call);
}

void ScriptFunction::trace(Tracer& tracer)
{
    FunctionObject::trace(tracer);
    for (const Ref<Object>& s : scopes)
        tracer.visit(s.get());
    if (baseClip)
        tracer.visit(baseClip.get());
}

void ScriptFunction::clearReferences()
{
    FunctionObject::clearReferences();
    scopes.clear();
    baseClip = nullptr;
}

Value ScriptFunction::call(CallArgs& call)
{
    Vm& vm = this->vm();
    ScriptEngine& engine = *vm.engine();
    const FunctionCode& code = *code_;
    Ref<Object> activation(new Object(vm, nullptr));

    // A function runs on the timeline it was defined in; before SWF 6 on the clip it is
    // called on. One whose timeline is gone (and nothing at its path now) runs on the clip
    // it is called on, or on the movie's root.
    Ref<Object> base = baseClip;
    if (DisplayObject* self = engine.displayOf(call.thisValue); self && program_->version() < 6) {
        base = Ref<Object>(engine.objectFor(*self));
    } else if (base && base->asClip() && !engine.displayOf(Value(base))) {
        DisplayObject* d = engine.displayOf(call.thisValue);
        base = Ref<Object>(engine.objectFor(d ? *d : engine.stage().root()));
    }

    ExecContext ctx { vm, engine, program_, constants, scopes, activation, call.thisValue, base, base,
        std::vector<Value>(code.v2 ? std::max<size_t>(code.registerCount, 1) : 4), Ref<Object>(this),
        Ref<Object>(call.home), program_->version() };
    ctx.scopes.push_back(activation);
    if (code.v2 && (code.flags & (FunctionHeader::PreloadThis | FunctionHeader::SuppressThis)))
        ctx.thisVisible = false;

    // The arguments array, with the function it belongs to.
    Ref<ArrayObject> arguments = vm.newArray(std::vector<Value>(call.args.begin(), call.args.end()));
    arguments->define(QStringLiteral("callee"), Value(this), kBuiltin);
    arguments->define(QStringLiteral("caller"), Value::null(), kBuiltin);

    const auto superObject = [&]() -> Value {
        if (!call.home && !call.thisValue.object())
            return Value();
        return Value(makeSuper(vm, call.thisValue, call.home));
    };
    const auto timelineRoot = [&]() -> Value {
        DisplayObject* d = engine.displayOf(Value(base));
        if (!d)
            d = &engine.stage().root();
        while (d->container())
            d = d->container();
        return Value(engine.objectFor(*d));
    };
    const auto timelineParent = [&]() -> Value {
        DisplayObject* d = engine.displayOf(Value(base));
        return d && d->container() ? Value(engine.objectFor(*d->container())) : Value();
    };

    if (code.v2) {
        using F = FunctionHeader;
        size_t reg = 1;
        const auto preload = [&](uint16_t flag, const auto& make) {
            if ((code.flags & flag) && reg < ctx.registers.size())
                ctx.registers[reg++] = make();
        };
        // A register asked for and suppressed too stays undefined (but for arguments).
        preload(F::PreloadThis, [&] { return (code.flags & F::SuppressThis) ? Value() : call.thisValue; });
        preload(F::PreloadArguments, [&] { return Value(arguments); });
        preload(F::PreloadSuper, [&] { return (code.flags & F::SuppressSuper) ? Value() : superObject(); });
        preload(F::PreloadRoot, timelineRoot);
        preload(F::PreloadParent, timelineParent);
        preload(F::PreloadGlobal, [&] { return Value(vm.global()); });
        if (!(code.flags & (F::PreloadArguments | F::SuppressArguments)))
            activation->define(QStringLiteral("arguments"), Value(arguments));
        if (!(code.flags & (F::PreloadSuper | F::SuppressSuper)))
            activation->define(QStringLiteral("super"), superObject());
    } else {
        activation->define(QStringLiteral("arguments"), Value(arguments));
        activation->define(QStringLiteral("super"), superObject());
    }
    for (size_t i = 0; i < code.params.size(); ++i) {
        const FunctionParam& p = code.params[i];
        const Value arg = i < call.args.size() ? call.args[i] : Value();
        if (p.reg != 0 && code.v2) {
            if (p.reg < ctx.registers.size())
                ctx.registers[p.reg] = arg;
        } else {
            activation->define(p.name, arg);
        }
    }
    return execute(ctx, code.start, code.end);
}

} // namespace swf::script
