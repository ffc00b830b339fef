// Classes of devices and outside channels the player has none of: PrintJob (no printer is
// picked from a script), Camera and Microphone (none attached), Accessibility (no screen
// reader), and the right-click menu's ContextMenu and ContextMenuItem, which keep what
// scripts give them.

#include "Classes.h"
#include "Native.h"

namespace swf::script {
namespace {

Value noop(Vm&, CallArgs&)
{
    return Value();
}

Value returnsFalse(Vm&, CallArgs&)
{
    return false;
}

Value returnsZero(Vm&, CallArgs&)
{
    return 0.0;
}

Value returnsNull(Vm&, CallArgs&)
{
    return Value::null();
}

void installPrintJob(Vm& vm)
{
    Ref<Object> proto = vm.newObject();
    vm.makeClass(QStringLiteral("PrintJob"), noop, proto.get(), false, kBuiltin | OnlySwf7);
    // start() would ask the person for a printer: there is none to ask here.
    defineMethods(
        vm, proto.get(), { { "start", returnsFalse }, { "addPage", returnsFalse }, { "send", noop } });
    // The page and paper sizes are known once a printer is picked: 0 until then, and
    // scripts cannot set them. For..in
    // lists them newest first, so they are made in the reverse of their listed order.
    for (const char* name : { "paperHeight", "paperWidth", "pageHeight", "pageWidth", "orientation" })
        vm.accessor(proto.get(), QString::fromLatin1(name), returnsZero, nullptr, DontDelete);
}

void installDevices(Vm& vm)
{
    for (const char* name : { "Camera", "Microphone" }) {
        Ref<Object> proto = vm.newObject();
        Ref<NativeFunction> ctor
            = vm.makeClass(QString::fromLatin1(name), noop, proto.get(), false, kBuiltin | OnlySwf6);
        vm.method(ctor.get(), QStringLiteral("get"), returnsNull);
        ctor->define(QStringLiteral("names"), Value(vm.newArray()), kBuiltin);
    }

    Ref<Object> accessibility = vm.newObject();
    vm.global()->define(QStringLiteral("Accessibility"), Value(accessibility), kBuiltin);
    defineMethods(vm, accessibility.get(), { { "isActive", returnsFalse }, { "updateProperties", noop } });
}

// new ContextMenu(onSelect): the built-in items (all shown) and the movie's own.
Value contextMenuConstructor(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!self)
        return Value();
    vm.set(self, QStringLiteral("onSelect"), c[0]);
    Ref<Object> builtIn = vm.newObject();
    for (const char* name : { "save", "zoom", "quality", "play", "loop", "rewind", "forward_back", "print" })
        vm.set(builtIn.get(), QString::fromLatin1(name), true);
    vm.set(self, QStringLiteral("builtInItems"), Value(builtIn));
    vm.set(self, QStringLiteral("customItems"), Value(vm.newArray()));
    return Value();
}

Value contextMenuHideBuiltIn(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    Object* builtIn = self ? vm.get(self, QStringLiteral("builtInItems")).object() : nullptr;
    if (!builtIn)
        return Value();
    for (const QString& name : vm.enumerate(builtIn))
        vm.set(builtIn, name, false);
    return Value();
}

Value contextMenuItemConstructor(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!self)
        return Value();
    vm.set(self, QStringLiteral("caption"), c[0]);
    vm.set(self, QStringLiteral("onSelect"), c[1]);
    vm.set(self, QStringLiteral("separatorBefore"), c.size() > 2 ? vm.toBoolean(c[2]) : false);
    vm.set(self, QStringLiteral("enabled"), c.size() > 3 ? vm.toBoolean(c[3]) : true);
    vm.set(self, QStringLiteral("visible"), c.size() > 4 ? vm.toBoolean(c[4]) : true);
    return Value();
}

// copy(): a new object of the same class with the same fields (arrays and the built-in
// items copied one level deep, as the menu's own are).
Value copyFields(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!self)
        return Value();
    Ref<Object> copy(new Object(vm, self->proto()));
    for (const QString& name : vm.enumerate(self)) {
        Value v = vm.get(self, name);
        if (ArrayObject* a = v.object() ? v.object()->asArray() : nullptr) {
            std::vector<Value> items;
            for (uint32_t i = 0; i < a->length(); ++i) {
                const Value item = vm.getMember(v, QString::number(i));
                const bool copies = item.object() && vm.getMember(item, QStringLiteral("copy")).object();
                items.push_back(copies ? vm.callMethod(item, QStringLiteral("copy"), {}) : item);
            }
            v = Value(vm.newArray(std::move(items)));
        }
        vm.set(copy.get(), name, v);
    }
    return Value(copy);
}

void installContextMenu(Vm& vm)
{
    vm.protos().contextMenu = vm.newObject();
    Object* menu = vm.protos().contextMenu.get();
    vm.makeClass(QStringLiteral("ContextMenu"), contextMenuConstructor, menu, false, kBuiltin | OnlySwf7);
    defineMethods(vm, menu, { { "hideBuiltInItems", contextMenuHideBuiltIn }, { "copy", copyFields } });

    vm.protos().contextMenuItem = vm.newObject();
    Object* item = vm.protos().contextMenuItem.get();
    vm.makeClass(
        QStringLiteral("ContextMenuItem"), contextMenuItemConstructor, item, false, kBuiltin | OnlySwf7);
    vm.method(item, QStringLiteral("copy"), copyFields);
}

} // namespace

void installDeviceClasses(Vm& vm)
{
    installPrintJob(vm);
    installDevices(vm);
    installContextMenu(vm);
}

} // namespace swf::script
