// Classes not yet filled in: their objects exist so that scripts that test for them run.

#include "Classes.h"
#include "Native.h"

#include "swf/display/Stage.h"
#include "swf/script/ClipObject.h"
#include "swf/script/ScriptEngine.h"

namespace swf::script {
void installStubs(Vm&, ScriptEngine&) { }

} // namespace swf::script
