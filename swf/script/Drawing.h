#pragma once

namespace swf {
class DisplayObject;
}

namespace swf::script {

class Object;
class Vm;

// The drawing methods of MovieClip (lineStyle, beginFill, moveTo, lineTo, curveTo,
// endFill, clear ...).
void installDrawingMethods(Vm& vm, Object* movieClipPrototype);
// setMask: `mask` (or nothing) masks `object`.
void setScriptMask(DisplayObject& object, DisplayObject* mask);

} // namespace swf::script
