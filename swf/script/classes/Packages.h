#pragma once

// The flash.* packages of SWF 8: plain objects on the global object, made on first use.

#include "swf/script/Vm.h"

#include <QStringList>

namespace swf::script {

// The package object named by a dotted path ("flash.net"), made where missing. `flash`
// itself is hidden from movies before SWF 8, as in the reference player.
inline Object* package(Vm& vm, const QString& path)
{
    Object* at = vm.global();
    bool first = true;
    for (const QString& part : path.split(QLatin1Char('.'))) {
        Object* next = vm.get(at, part).object();
        if (!next) {
            Ref<Object> made = vm.newObject();
            at->define(part, Value(made), first ? uint16_t(DontEnum | OnlySwf8) : uint16_t(0));
            next = made.get();
        }
        at = next;
        first = false;
    }
    return at;
}

// A class defined in a package rather than on the global object.
inline Ref<NativeFunction> packageClass(Vm& vm, const QString& path, const QString& name, NativeFn ctor,
    Object* prototype, bool makesOwnObject = false)
{
    Ref<NativeFunction> f = vm.makeClass(QString(), ctor, prototype, makesOwnObject);
    package(vm, path)->define(name, Value(f));
    return f;
}

} // namespace swf::script
