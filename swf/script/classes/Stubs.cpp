// Classes not yet filled in: their objects exist so that scripts that test for them run.

#include "Classes.h"
#include "Native.h"

#include "swf/display/Stage.h"
#include "swf/script/ClipObject.h"
#include "swf/script/Drawing.h"
#include "swf/script/ScriptEngine.h"
#include "swf/script/TextFieldBinding.h"

namespace swf::script {
namespace {

Value noop(Vm&, CallArgs&)
{
    return Value();
}

} // namespace

void installButtonAndTextField(Vm& vm, ScriptEngine&)
{
    vm.protos().button = vm.newObject();
    vm.makeClass(QStringLiteral("Button"), noop, vm.protos().button.get());
    vm.protos().textField = vm.newObject();
    vm.makeClass(QStringLiteral("TextField"), noop, vm.protos().textField.get());
}

void installStubs(Vm&, ScriptEngine&) { }

void installDrawingMethods(Vm&, Object*) { }
void setScriptMask(DisplayObject&, DisplayObject*) { }
void duplicateDrawing(ScriptEngine&, DisplayObject&, DisplayObject&) { }

bool textFieldGet(ClipObject&, const QString&, Value&)
{
    return false;
}
bool textFieldSet(ClipObject&, const QString&, const Value&)
{
    return false;
}
bool textFieldHas(ClipObject&, const QString&)
{
    return false;
}

} // namespace swf::script
