// Key, Mouse and Stage; setInterval and the other global functions of the
// player.

#include "Classes.h"
#include "Native.h"

#include "swf/display/Stage.h"
#include "swf/script/ScriptEngine.h"

namespace swf::script {

void makeBroadcaster(Vm& vm, Object* target);

namespace {

ScriptEngine& engineOf(Vm& vm)
{
    return *vm.engine();
}

Value keyIsDown(Vm& vm, CallArgs& c)
{
    return engineOf(vm).keyIsDown(vm.toInt32(c[0]));
}

Value keyGetCode(Vm& vm, CallArgs&)
{
    return double(engineOf(vm).lastKey());
}

Value keyGetAscii(Vm& vm, CallArgs&)
{
    return double(engineOf(vm).lastAscii());
}

Value keyIsToggled(Vm&, CallArgs&)
{
    return false;
}

Value mouseShow(Vm&, CallArgs&)
{
    return 1.0;
}

Value stageWidth(Vm& vm, CallArgs&)
{
    return engineOf(vm).stage().movie().header.frameSize.width() / 20.0;
}

Value stageHeight(Vm& vm, CallArgs&)
{
    return engineOf(vm).stage().movie().header.frameSize.height() / 20.0;
}

// ---- Timers and the player's global functions --------------------------------------------

// setInterval(function, ms, args...) or setInterval(object, "method", ms, args...).
Value addTimer(Vm& vm, CallArgs& c, bool once)
{
    if (c.size() < 2)
        return Value();
    Object* first = c[0].object();
    if (first && first->asFunction()) {
        std::vector<Value> args(c.args.begin() + 2, c.args.end());
        return double(engineOf(vm).addTimer(Value(), c[0], QString(), vm.toNumber(c[1]), std::move(args), once));
    }
    if (!first || c.size() < 3)
        return Value();
    std::vector<Value> args(c.args.begin() + 3, c.args.end());
    return double(engineOf(vm).addTimer(c[0], Value(), vm.toString(c[1]), vm.toNumber(c[2]), std::move(args), once));
}

Value setInterval(Vm& vm, CallArgs& c)
{
    return addTimer(vm, c, false);
}

Value setTimeout(Vm& vm, CallArgs& c)
{
    return addTimer(vm, c, true);
}

Value clearTimer(Vm& vm, CallArgs& c)
{
    if (c.size() > 0)
        engineOf(vm).removeTimer(vm.toInt32(c[0]));
    return Value();
}

Value getTimer(Vm& vm, CallArgs&)
{
    return double(engineOf(vm).timer());
}

Value getVersion(Vm&, CallArgs&)
{
    return QStringLiteral("WIN 8,0,24,0");
}

Value fscommand(Vm& vm, CallArgs& c)
{
    engineOf(vm).fsCommand(argString(vm, c, 0), argString(vm, c, 1));
    return Value();
}

Value noop(Vm&, CallArgs&)
{
    return Value();
}

} // namespace

void installInput(Vm& vm, ScriptEngine& engine)
{
    Ref<Object> key = vm.newObject();
    makeBroadcaster(vm, key.get());
    defineMethods(vm, key.get(),
        { { "isDown", keyIsDown }, { "getCode", keyGetCode }, { "getAscii", keyGetAscii },
            { "isToggled", keyIsToggled } });
    const std::pair<const char*, int> codes[] = { { "BACKSPACE", 8 }, { "TAB", 9 }, { "ENTER", 13 },
        { "SHIFT", 16 }, { "CONTROL", 17 }, { "ALT", 18 }, { "CAPSLOCK", 20 }, { "ESCAPE", 27 }, { "SPACE", 32 },
        { "PGUP", 33 }, { "PGDN", 34 }, { "END", 35 }, { "HOME", 36 }, { "LEFT", 37 }, { "UP", 38 },
        { "RIGHT", 39 }, { "DOWN", 40 }, { "INSERT", 45 }, { "DELETEKEY", 46 } };
    for (const auto& [name, code] : codes)
        key->define(QString::fromLatin1(name), double(code), kHidden);
    vm.global()->define(QStringLiteral("Key"), Value(key), kBuiltin);
    engine.setKeyObject(key.get());

    Ref<Object> mouse = vm.newObject();
    makeBroadcaster(vm, mouse.get());
    defineMethods(vm, mouse.get(), { { "show", mouseShow }, { "hide", mouseShow } });
    vm.global()->define(QStringLiteral("Mouse"), Value(mouse), kBuiltin);
    engine.setMouseObject(mouse.get());

    Ref<Object> stage = vm.newObject();
    makeBroadcaster(vm, stage.get());
    vm.accessor(stage.get(), QStringLiteral("width"), stageWidth, nullptr);
    vm.accessor(stage.get(), QStringLiteral("height"), stageHeight, nullptr);
    stage->define(QStringLiteral("scaleMode"), QStringLiteral("showAll"), DontEnum);
    stage->define(QStringLiteral("align"), QString(), DontEnum);
    stage->define(QStringLiteral("showMenu"), true, DontEnum);
    vm.global()->define(QStringLiteral("Stage"), Value(stage), kBuiltin);
    engine.setStageObject(stage.get());

    installSelection(vm);
}

void installTimers(Vm& vm, ScriptEngine&)
{
    Object* global = vm.global();
    defineMethods(vm, global,
        { { "setInterval", setInterval }, { "clearInterval", clearTimer }, { "getTimer", getTimer },
            { "getVersion", getVersion }, { "updateAfterEvent", noop }, { "fscommand", fscommand } });
    defineMethods(vm, global, { { "setTimeout", setTimeout }, { "clearTimeout", clearTimer } }, kBuiltin | OnlySwf8);
}

} // namespace swf::script
