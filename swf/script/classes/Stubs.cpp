// Classes not yet filled in: their objects exist so that scripts that test for them run.

#include "Classes.h"
#include "Native.h"

#include "swf/display/Stage.h"
#include "swf/script/ClipObject.h"
#include "swf/script/Drawing.h"
#include "swf/script/ScriptEngine.h"

namespace swf::script {
void installStubs(Vm&, ScriptEngine&) { }

void installDrawingMethods(Vm&, Object*) { }
void setScriptMask(DisplayObject&, DisplayObject*) { }
void duplicateDrawing(ScriptEngine&, DisplayObject&, DisplayObject&) { }

} // namespace swf::script
