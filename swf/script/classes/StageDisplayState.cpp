// Stage.displayState: "normal" or "fullScreen". Setting the other state (the name in any
// case) asks the window for it through fscommand's fullscreen and tells the Stage's
// listeners at once with onFullScreen(full); anything else is ignored.

#include "Classes.h"
#include "Native.h"

#include "swf/script/ScriptEngine.h"

namespace swf::script {
namespace {

// The accessor's two functions; the getter keeps the state, the setter reaches it.
class DisplayStateGetter final : public FunctionObject {
public:
    using FunctionObject::FunctionObject;
    bool fullScreen = false;
    Value call(CallArgs&) override
    {
        return fullScreen ? QStringLiteral("fullScreen") : QStringLiteral("normal");
    }
};

class DisplayStateSetter final : public FunctionObject {
public:
    DisplayStateSetter(Vm& vm, Object* proto, DisplayStateGetter* state)
        : FunctionObject(vm, proto)
        , state_(state)
    {
    }

    Value call(CallArgs& c) override
    {
        Vm& machine = vm();
        const QString wanted = machine.toString(c[0]);
        bool full = false;
        if (wanted.compare(QLatin1String("fullScreen"), Qt::CaseInsensitive) == 0)
            full = true;
        else if (wanted.compare(QLatin1String("normal"), Qt::CaseInsensitive) != 0)
            return Value();
        auto* state = static_cast<DisplayStateGetter*>(state_.get());
        if (state->fullScreen == full)
            return Value();
        state->fullScreen = full;
        if (ScriptEngine* engine = machine.engine()) {
            engine->fsCommand(
                QStringLiteral("fullscreen"), full ? QStringLiteral("true") : QStringLiteral("false"));
            const Value args[] = { QStringLiteral("onFullScreen"), full };
            if (c.thisObject())
                machine.callMethod(c.thisValue, QStringLiteral("broadcastMessage"), args);
        }
        return Value();
    }

    void trace(Tracer& tracer) override
    {
        FunctionObject::trace(tracer);
        tracer.visit(state_.get());
    }
    void clearReferences() override
    {
        FunctionObject::clearReferences();
        state_ = nullptr;
    }

private:
    Ref<Object> state_;
};

} // namespace

void installStageDisplayState(Vm& vm, ScriptEngine& engine)
{
    Object* stage = engine.stageObject();
    if (!stage)
        return;
    Object* functionProto = vm.protos().function.get();
    Ref<DisplayStateGetter> getter(new DisplayStateGetter(vm, functionProto));
    Ref<Object> setter(new DisplayStateSetter(vm, functionProto, getter.get()));
    const QString name = QStringLiteral("displayState");
    Property& p = stage->properties().add(vm.key(name), name);
    p.accessor = true;
    p.getter = Ref<Object>(getter.get());
    p.setter = setter;
    p.flags = kBuiltin | OnlySwf8;
}

} // namespace swf::script
