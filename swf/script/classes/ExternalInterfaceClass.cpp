// flash.external.ExternalInterface. The player is no browser page: no container answers,
// so `available` is false, calls return null and callbacks cannot be added. The XML helpers
// of the class (how values travel to a container) work as in the reference player, since
// scripts call them directly.

#include "Classes.h"
#include "Native.h"
#include "Packages.h"

namespace swf::script {
namespace {

Value toXml(Vm& vm, const Value& value, int depth);

// &, <, >, " and ' as entities; null for no argument or an empty text.
Value escapeXml(Vm& vm, CallArgs& c)
{
    if (c.size() == 0)
        return Value::null();
    const QString text = vm.toString(c[0]);
    if (text.isEmpty())
        return Value::null();
    return xmlEscaped(text);
}

Value unescapeXml(Vm& vm, CallArgs& c)
{
    if (c.size() == 0)
        return Value::null();
    QString text = vm.toString(c[0]);
    if (text.isEmpty())
        return Value::null();
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&apos;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

// Beyond this nesting a value travels as null: a cycle cannot hang the player.
constexpr int kMaxDepth = 64;

uint32_t lengthOf(Vm& vm, const Value& value)
{
    const double n = vm.toNumber(vm.getMember(value, QStringLiteral("length")));
    return std::isfinite(n) && n > 0 ? uint32_t(std::min(n, double(Vm::kMaxArrayLength))) : 0;
}

QString arrayToXml(Vm& vm, const Value& value, int depth)
{
    QString out = QStringLiteral("<array>");
    const uint32_t n = lengthOf(vm, value);
    for (uint32_t i = 0; i < n; ++i) {
        const QString id = QString::number(i);
        out += QStringLiteral("<property id=\"") + id + QStringLiteral("\">")
            + vm.toString(toXml(vm, vm.getMember(value, id), depth + 1)) + QStringLiteral("</property>");
    }
    return out + QStringLiteral("</array>");
}

QString objectToXml(Vm& vm, const Value& value, int depth)
{
    QString out = QStringLiteral("<object>");
    if (Object* o = value.object()) {
        for (const QString& name : vm.enumerate(o)) {
            out += QStringLiteral("<property id=\"") + name + QStringLiteral("\">")
                + vm.toString(toXml(vm, vm.get(o, name), depth + 1)) + QStringLiteral("</property>");
        }
    }
    return out + QStringLiteral("</object>");
}

// The arguments of a call: the first is the function's name and is left out.
QString argumentsToXml(Vm& vm, const Value& value, int depth)
{
    QString out = QStringLiteral("<arguments>");
    const uint32_t n = lengthOf(vm, value);
    for (uint32_t i = 1; i < n; ++i)
        out += vm.toString(toXml(vm, vm.getMember(value, QString::number(i)), depth + 1));
    return out + QStringLiteral("</arguments>");
}

Value toXml(Vm& vm, const Value& value, int depth)
{
    switch (value.type()) {
    case Value::Type::Undefined:
        return QStringLiteral("<undefined/>");
    case Value::Type::Null:
        return QStringLiteral("<null/>");
    case Value::Type::Boolean:
        return value.boolean() ? QStringLiteral("<true/>") : QStringLiteral("<false/>");
    case Value::Type::Number:
        return QStringLiteral("<number>") + vm.toString(value) + QStringLiteral("</number>");
    case Value::Type::String: {
        const Value text[] = { value };
        CallArgs c { Value(), text };
        return QStringLiteral("<string>") + vm.toString(escapeXml(vm, c)) + QStringLiteral("</string>");
    }
    case Value::Type::Object:
        break;
    }
    if (depth > kMaxDepth)
        return QStringLiteral("<null/>");
    Object* o = value.object();
    if (o->asArray() || vm.hasOwn(o, QStringLiteral("length")))
        return arrayToXml(vm, value, depth);
    return objectToXml(vm, value, depth);
}

Value toXmlMethod(Vm& vm, CallArgs& c)
{
    return toXml(vm, c[0], 0);
}

Value arrayToXmlMethod(Vm& vm, CallArgs& c)
{
    return arrayToXml(vm, c[0], 0);
}

Value objectToXmlMethod(Vm& vm, CallArgs& c)
{
    return objectToXml(vm, c[0], 0);
}

Value argumentsToXmlMethod(Vm& vm, CallArgs& c)
{
    return argumentsToXml(vm, c[0], 0);
}

Value returnsNull(Vm&, CallArgs&)
{
    return Value::null();
}

Value returnsFalse(Vm&, CallArgs&)
{
    return false;
}

Value noop(Vm&, CallArgs&)
{
    return Value();
}

} // namespace

void installExternalInterface(Vm& vm)
{
    Ref<Object> proto = vm.newObject();
    Ref<NativeFunction> ctor = packageClass(
        vm, QStringLiteral("flash.external"), QStringLiteral("ExternalInterface"), noop, proto.get());
    Object* c = ctor.get();
    vm.accessor(c, QStringLiteral("available"), returnsFalse, nullptr);
    defineMethods(vm, c,
        { { "call", returnsNull }, { "addCallback", returnsFalse }, { "_escapeXML", escapeXml },
            { "_unescapeXML", unescapeXml }, { "_toXML", toXmlMethod }, { "_arrayToXML", arrayToXmlMethod },
            { "_objectToXML", objectToXmlMethod }, { "_argumentsToXML", argumentsToXmlMethod } });
}

} // namespace swf::script
