#pragma once

class QString;

namespace swf::script {

class ScriptEngine;
class Vm;

// Each installs one built-in class (or group) on the global object.
void installObject(Vm& vm);
void installFunction(Vm& vm);
void installGlobals(Vm& vm);
void installArray(Vm& vm);
void installString(Vm& vm);
void installNumberAndBoolean(Vm& vm);
void installMath(Vm& vm);
void installDate(Vm& vm);
void installError(Vm& vm);
void installAsBroadcaster(Vm& vm);

void installMovieClip(Vm& vm, ScriptEngine& engine);
void installButtonAndTextField(Vm& vm, ScriptEngine& engine);
void installInput(Vm& vm, ScriptEngine& engine); // Key, Mouse, Stage, Selection
void installStageDisplayState(Vm& vm, ScriptEngine& engine); // after installInput
void installTimers(Vm& vm, ScriptEngine& engine); // setInterval, setTimeout, getTimer ...
void installSystem(Vm& vm, ScriptEngine& engine);
void installColorAndSound(Vm& vm, ScriptEngine& engine);
void installXml(Vm& vm, ScriptEngine& engine);
void installLoadVars(Vm& vm, ScriptEngine& engine);
void installSharedObject(Vm& vm, ScriptEngine& engine);
void installGeometry(Vm& vm); // flash.geom
void installBitmapData(Vm& vm); // flash.display.BitmapData, MovieClip.attachBitmap
void installFilters(Vm& vm); // flash.filters
// &, <, >, " and ' as XML entities.
QString xmlEscaped(const QString& text);
void installTextFormat(Vm& vm);
void installTextSnapshot(Vm& vm); // with MovieClip.getTextSnapshot
// The global Selection object (made with the text fields, which share its focus).
void installSelection(Vm& vm);
void installExternalInterface(Vm& vm); // flash.external
void installFileReference(Vm& vm); // flash.net.FileReference, FileReferenceList
void installLocalConnection(Vm& vm); // LocalConnection
void installDeviceClasses(Vm& vm); // PrintJob, Camera, Microphone, Accessibility, ContextMenu
void installStubs(Vm& vm, ScriptEngine& engine); // classes that exist but do little here
void installVideo(Vm& vm, ScriptEngine& engine); // NetConnection, NetStream, Video

class Object;
class Value;
struct CallArgs;
// A new flash.geom.Rectangle.
Value makeRectangle(Vm& vm, double x, double y, double width, double height);
// MovieClip.transform: a flash.geom.Transform of the clip, and setting one.
Value clipTransform(Vm& vm, Object* clip);
void setClipTransform(Vm& vm, Object* clip, const Value& value);
// "a=1&b=two" into properties of `target`, each name and value URL-decoded.
void decodeVariables(Vm& vm, Object* target, const QString& text);
// getBytesLoaded / getBytesTotal of an object that loads text (LoadVars, XML).
Value loadedBytes(Vm& vm, CallArgs& c);
Value totalBytes(Vm& vm, CallArgs& c);
// Gives `target` the methods of AsBroadcaster and an empty _listeners array.
void makeBroadcaster(Vm& vm, Object* target);
// Video.prototype, for the objects of video characters; null before the class is made.
Object* videoPrototype(Vm& vm);

} // namespace swf::script
