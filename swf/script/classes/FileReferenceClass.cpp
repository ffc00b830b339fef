// flash.net.FileReference and FileReferenceList. Picking a file needs a person at a file
// dialog; the player has none to show from a script (the command-line tool never does), so
// every dialog a script opens is taken as cancelled: the call returns what the reference
// player returns for a dialog that opened, and onCancel reaches the listeners after the
// script. Arguments the reference player refuses still make the calls return false.

#include "Classes.h"
#include "Native.h"
#include "Packages.h"

#include "swf/display/Stage.h"
#include "swf/script/ScriptEngine.h"

#include <QUrl>

#include <algorithm>

namespace swf::script {
namespace {

// The prototype of FileReference, which also remembers when the last file dialog of the
// movie ended: the player shows one dialog at a time, so a script that opens another from
// onCancel (on any object) gets its answer in the next frame instead of looping within one.
class FileReferencePrototype final : public Object {
public:
    using Object::Object;
    uint64_t lastCancelTick = UINT64_MAX;
};

FileReferencePrototype* dialogState(Vm& vm)
{
    return dynamic_cast<FileReferencePrototype*>(vm.protos().fileReference.get());
}

void broadcastCancel(Vm& vm, const Value& target)
{
    if (FileReferencePrototype* state = dialogState(vm))
        state->lastCancelTick = vm.engine()->stage().tick();
    const Value args[] = { QStringLiteral("onCancel"), target };
    vm.engine()->callEvent(target.object(), QStringLiteral("broadcastMessage"), args);
}

// A timer's call: the listeners of `this` hear of the cancelled dialog.
Value deliverCancel(Vm& vm, CallArgs& c)
{
    if (vm.engine() && c.thisObject())
        broadcastCancel(vm, c.thisValue);
    return Value();
}

// onCancel(target) to the object's listeners once the running script is done, or in the
// next frame when a dialog already ended in this one.
void cancelLater(Vm& vm, const Value& target)
{
    ScriptEngine* engine = vm.engine();
    FileReferencePrototype* state = dialogState(vm);
    if (!engine || !state || !target.isObject())
        return;
    if (state->lastCancelTick == engine->stage().tick()) {
        // Timers due before the next frame run at the end of this one: this one is due
        // just after it.
        const double period = 1000.0 / std::max(1.0, engine->stage().movie().header.frameRate);
        engine->addTimer(target, Value(vm.newNative(deliverCancel)), QString(), period + 1, {}, true);
        return;
    }
    engine->enqueue(
        0, [&vm, target]() { broadcastCancel(vm, target); }, true);
}

// A list of file types is an array of objects, each with a description and an extension
// that are not empty; an empty list is refused too.
bool validTypeList(Vm& vm, const Value& list)
{
    if (list.isUndefined())
        return true;
    ArrayObject* array = list.object() ? list.object()->asArray() : nullptr;
    if (!array || array->length() == 0)
        return false;
    for (uint32_t i = 0; i < array->length(); ++i) {
        const Value entry = vm.getMember(list, QString::number(i));
        if (!entry.isObject())
            return false;
        for (const char* field : { "description", "extension" }) {
            const Value v = vm.get(entry.object(), QString::fromLatin1(field));
            if (v.isNullish() || vm.toString(v).isEmpty())
                return false;
        }
    }
    return true;
}

Value browse(Vm& vm, CallArgs& c)
{
    if (!c.thisObject() || !validTypeList(vm, c[0]))
        return false;
    cancelLater(vm, c.thisValue);
    return true;
}

// Downloads go to a place the person picks, from an address on a server.
Value download(Vm& vm, CallArgs& c)
{
    if (!c.thisObject() || c.size() == 0)
        return false;
    const QUrl url(vm.toString(c[0]), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return false;
    cancelLater(vm, c.thisValue);
    return true;
}

// Nothing was ever picked, so there is nothing to send.
Value upload(Vm&, CallArgs&)
{
    return false;
}

Value noop(Vm&, CallArgs&)
{
    return Value();
}

Value fileReferenceConstructor(Vm& vm, CallArgs& c)
{
    if (Object* self = c.thisObject())
        makeBroadcaster(vm, self);
    return Value();
}

Value fileReferenceListConstructor(Vm& vm, CallArgs& c)
{
    if (Object* self = c.thisObject())
        makeBroadcaster(vm, self);
    return Value();
}

} // namespace

void installFileReference(Vm& vm)
{
    const QString net = QStringLiteral("flash.net");

    vm.protos().fileReference = Ref<Object>(new FileReferencePrototype(vm, vm.protos().object.get()));
    Object* proto = vm.protos().fileReference.get();
    packageClass(vm, net, QStringLiteral("FileReference"), fileReferenceConstructor, proto);
    defineMethods(vm, proto,
        { { "browse", browse }, { "download", download }, { "upload", upload }, { "cancel", noop } });
    // What describes the picked file; nothing is ever picked here.
    for (const char* name : { "creationDate", "creator", "modificationDate", "name", "size", "type" })
        vm.accessor(proto, QString::fromLatin1(name), noop, nullptr);

    Ref<Object> listProto = vm.newObject();
    packageClass(vm, net, QStringLiteral("FileReferenceList"), fileReferenceListConstructor, listProto.get());
    vm.method(listProto.get(), QStringLiteral("browse"), browse);
}

} // namespace swf::script
