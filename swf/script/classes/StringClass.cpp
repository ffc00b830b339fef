// String.

#include "Classes.h"
#include "Native.h"

namespace swf::script {
namespace {

QString thisString(Vm& vm, CallArgs& c)
{
    return vm.toString(thisPrimitive(c));
}

Value stringConstructor(Vm& vm, CallArgs& c)
{
    const QString s = c.size() > 0 ? vm.toString(c[0]) : QString();
    if (Object* o = c.constructing ? nullptr : c.thisObject(); o && o != vm.global() && !o->asClip()) {
        o->setPrimitive(s);
        o->define(QStringLiteral("length"), double(s.size()), DontEnum | DontDelete);
    }
    if (!c.constructing)
        return s;
    Ref<Object> object(new PrimitiveObject(vm, vm.protos().string.get(), Value(s)));
    object->define(QStringLiteral("length"), double(s.size()), DontEnum | DontDelete);
    return Value(object);
}

Value stringToString(Vm& vm, CallArgs& c)
{
    return thisString(vm, c);
}

// Indices are 32-bit integers: 4294967297 is 1.
double index32(Vm& vm, const Value& v)
{
    return double(vm.toInt32(v));
}

Value charAt(Vm& vm, CallArgs& c)
{
    const QString s = thisString(vm, c);
    const double i = index32(vm, c[0]);
    if (i < 0 || i >= s.size())
        return QString();
    return QString(s.at(qsizetype(i)));
}

Value charCodeAt(Vm& vm, CallArgs& c)
{
    const QString s = thisString(vm, c);
    const double i = index32(vm, c[0]);
    if (i < 0)
        return std::nan("");
    // Past the end, SWF 5 players read the string's terminating zero.
    if (i >= s.size())
        return vm.version() < 6 ? Value(0.0) : Value(std::nan(""));
    return double(s.at(qsizetype(i)).unicode());
}

Value concat(Vm& vm, CallArgs& c)
{
    QString s = thisString(vm, c);
    for (const Value& v : c.args) {
        s += vm.toString(v);
        if (s.size() > Vm::kMaxStringLength)
            throw ScriptAbort { QStringLiteral("字符串过长") };
    }
    return s;
}

Value indexOf(Vm& vm, CallArgs& c)
{
    const QString s = thisString(vm, c);
    if (c.size() == 0)
        return Value();
    const QString what = vm.toString(c[0]);
    double from = c.size() > 1 ? index32(vm, c[1]) : 0;
    if (from < 0)
        from = 0;
    if (from > s.size())
        return -1.0;
    return double(s.indexOf(what, qsizetype(from)));
}

Value lastIndexOf(Vm& vm, CallArgs& c)
{
    const QString s = thisString(vm, c);
    if (c.size() == 0)
        return Value();
    const QString what = vm.toString(c[0]);
    qsizetype from = s.size();
    if (c.size() > 1 && !c[1].isUndefined()) {
        const double f = index32(vm, c[1]);
        if (f < 0)
            return -1.0;
        from = qsizetype(std::min<double>(f, double(s.size())));
    }
    return double(s.lastIndexOf(what, from));
}

Value slice(Vm& vm, CallArgs& c)
{
    const QString s = thisString(vm, c);
    const qsizetype n = s.size();
    if (c.size() == 0)
        return Value();
    const auto index = [&](const Value& v) {
        const double i = index32(vm, v);
        if (i < 0)
            return qsizetype(std::max(0.0, double(n) + i));
        return qsizetype(std::min(i, double(n)));
    };
    const qsizetype start = c.size() > 0 ? index(c[0]) : 0;
    const qsizetype end = c.size() > 1 && !c[1].isUndefined() ? index(c[1]) : n;
    if (end <= start)
        return QString();
    return s.mid(start, end - start);
}

Value substring(Vm& vm, CallArgs& c)
{
    const QString s = thisString(vm, c);
    const qsizetype n = s.size();
    if (c.size() == 0)
        return Value();
    const auto clamp = [&](const Value& v) { return qsizetype(std::clamp(index32(vm, v), 0.0, double(n))); };
    qsizetype start = c.size() > 0 ? clamp(c[0]) : 0;
    qsizetype end = c.size() > 1 && !c[1].isUndefined() ? clamp(c[1]) : n;
    if (start > end)
        std::swap(start, end);
    return s.mid(start, end - start);
}

Value substr(Vm& vm, CallArgs& c)
{
    const QString s = thisString(vm, c);
    const qsizetype n = s.size();
    if (c.size() == 0)
        return Value();
    double start = index32(vm, c[0]);
    if (start < 0)
        start = std::max(0.0, double(n) + start);
    start = std::min(start, double(n));
    double length = c.size() > 1 && !c[1].isUndefined() ? index32(vm, c[1]) : double(n) - start;
    if (length < 0)
        length = std::max(0.0, double(n) - start + length);
    length = std::min(length, double(n) - start);
    return s.mid(qsizetype(start), qsizetype(length));
}

Value split(Vm& vm, CallArgs& c)
{
    const QString s = thisString(vm, c);
    Ref<ArrayObject> out = vm.newArray();
    // SWF 5 players split at commas when no separator is given.
    if ((c.size() == 0 || c[0].isUndefined()) && vm.version() >= 6) {
        out->push(s);
        return Value(out);
    }
    const QString separator = c.size() == 0 || c[0].isUndefined() ? QStringLiteral(",") : vm.toString(c[0]);
    double limit = c.size() > 1 && !c[1].isUndefined() ? vm.toInteger(c[1]) : 4294967295.0;
    if (limit <= 0)
        return Value(out);
    std::vector<Value> parts;
    if (separator.isEmpty()) {
        // SWF 5 gives the whole string; later versions its characters.
        if (vm.version() < 6) {
            parts.push_back(s);
        } else {
            for (QChar ch : s)
                parts.push_back(QString(ch));
        }
    } else {
        for (const QString& part : s.split(separator))
            parts.push_back(part);
    }
    if (double(parts.size()) > limit)
        parts.resize(size_t(limit));
    out->assign(std::move(parts));
    return Value(out);
}

Value toLowerCase(Vm& vm, CallArgs& c)
{
    return thisString(vm, c).toLower();
}

Value toUpperCase(Vm& vm, CallArgs& c)
{
    return thisString(vm, c).toUpper();
}

Value fromCharCode(Vm& vm, CallArgs& c)
{
    QString s;
    for (const Value& v : c.args) {
        const char16_t code = char16_t(vm.toUint32(v) & 0xFFFF);
        // A zero ends the string, as in the player's own strings.
        if (code == 0)
            break;
        s += QChar(code);
    }
    return s;
}

} // namespace

void installString(Vm& vm)
{
    vm.protos().string = Ref<Object>(new PrimitiveObject(vm, vm.protos().object.get(), Value(QString())));
    Object* proto = vm.protos().string.get();
    Ref<NativeFunction> ctor = vm.makeClass(QStringLiteral("String"), stringConstructor, proto, true);
    defineMethods(vm, proto,
        { { "toString", stringToString }, { "valueOf", stringToString }, { "charAt", charAt },
            { "charCodeAt", charCodeAt }, { "concat", concat }, { "indexOf", indexOf },
            { "lastIndexOf", lastIndexOf }, { "slice", slice }, { "substring", substring }, { "substr", substr },
            { "split", split }, { "toLowerCase", toLowerCase }, { "toUpperCase", toUpperCase } });
    vm.method(ctor.get(), QStringLiteral("fromCharCode"), fromCharCode);
}

} // namespace swf::script
