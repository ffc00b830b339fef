// Classes not yet filled in: their objects exist so that scripts that test for them run.
// They have no methods: a call to one answers undefined, as for any missing method.

#include "Classes.h"
#include "Native.h"
#include "Packages.h"
#include "StyleSheet.h"

#include "swf/display/Stage.h"
#include "swf/script/ClipObject.h"
#include "swf/script/ScriptEngine.h"

namespace swf::script {
namespace {

Value noop(Vm&, CallArgs&)
{
    return Value();
}

Ref<NativeFunction> emptyClass(Vm& vm, const char* name, uint16_t flags)
{
    Ref<Object> proto = vm.newObject();
    return vm.makeClass(QString::fromLatin1(name), noop, proto.get(), false, flags);
}

} // namespace

void installStubs(Vm& vm, ScriptEngine&)
{
    emptyClass(vm, "XMLSocket", kBuiltin);
    installStyleSheet(vm);
    package(vm, QStringLiteral("flash.text"))
        ->define(QStringLiteral("TextRenderer"), Value(emptyClass(vm, "", 0)));
}

} // namespace swf::script
