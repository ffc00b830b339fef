// The global functions of the language: escape, unescape, parseInt, parseFloat, isNaN,
// isFinite, ASSetPropFlags.

#include "Classes.h"
#include "Native.h"

#include "swf/script/Program.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <limits>

namespace swf::script {
namespace {

// The bytes a string is escaped as: UTF-8 from SWF 6 on, the author's code page before.
QByteArray encodedBytes(Vm& vm, const QString& s)
{
    if (vm.version() >= 6)
        return s.toUtf8();
    QStringEncoder gbk("GB18030");
    if (gbk.isValid()) {
        bool ascii = true;
        for (QChar c : s)
            ascii = ascii && c.unicode() < 128;
        if (!ascii)
            return gbk.encode(s);
    }
    return s.toUtf8();
}

Value escape(Vm& vm, CallArgs& c)
{
    const QByteArray bytes = encodedBytes(vm, argString(vm, c, 0));
    QString out;
    out.reserve(bytes.size() * 3);
    static const char hex[] = "0123456789ABCDEF";
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z')) {
            out += QChar(b);
        } else {
            out += QLatin1Char('%');
            out += QLatin1Char(hex[b >> 4]);
            out += QLatin1Char(hex[b & 15]);
        }
    }
    return out;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

Value unescape(Vm& vm, CallArgs& c)
{
    const QString s = argString(vm, c, 0);
    QByteArray bytes;
    bytes.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('%') && i + 2 < s.size()) {
            const int hi = hexDigit(s[i + 1]);
            const int lo = hexDigit(s[i + 2]);
            if (hi >= 0 && lo >= 0) {
                bytes += char(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        if (s[i].unicode() < 128) {
            bytes += char(s[i].unicode());
        } else {
            bytes += QString(s[i]).toUtf8();
        }
    }
    return decodeMovieString(std::string_view(bytes.constData(), size_t(bytes.size())), vm.version());
}

Value parseIntFn(Vm& vm, CallArgs& c)
{
    if (c.size() == 0)
        return Value();
    // A radix that is given but no number from 2 to 36 (undefined included) reads nothing.
    int radix = 0;
    if (c.size() > 1) {
        radix = vm.toInt32(c[1]);
        if (radix == 0)
            radix = -1;
    }
    return parseIntPrefix(argString(vm, c, 0), radix);
}

Value parseFloatFn(Vm& vm, CallArgs& c)
{
    return parseFloatPrefix(argString(vm, c, 0));
}

Value isNaNFn(Vm& vm, CallArgs& c)
{
    return std::isnan(argNumber(vm, c, 0));
}

Value isFiniteFn(Vm& vm, CallArgs& c)
{
    return std::isfinite(argNumber(vm, c, 0));
}

// ASSetPropFlags(object, names, set, clear): names is null for every property, an array
// or a comma-separated string.
Value asSetPropFlags(Vm& vm, CallArgs& c)
{
    Object* o = c[0].object();
    if (!o || c.size() < 3)
        return Value();
    const int set = vm.toInt32(c[2]);
    const int clear = c.size() > 3 ? vm.toInt32(c[3]) : 0;
    const auto apply = [&](Property& p) { p.flags = uint16_t((p.flags & ~clear) | set); };
    if (c[1].isNull()) {
        o->properties().forEach([&](const QString&, Property& p) { apply(p); });
        return Value();
    }
    std::vector<QString> names;
    if (Object* list = c[1].object(); list && list->asArray()) {
        for (const Value& v : list->asArray()->items())
            names.push_back(vm.toString(v));
    } else {
        for (const QString& part : vm.toString(c[1]).split(QLatin1Char(',')))
            names.push_back(part);
    }
    for (const QString& name : names) {
        if (Property* p = o->properties().find(vm.key(name)))
            apply(*p);
    }
    return Value();
}

} // namespace

void installGlobals(Vm& vm)
{
    Object* global = vm.global();
    defineMethods(vm, global,
        { { "escape", escape }, { "unescape", unescape }, { "parseInt", parseIntFn }, { "parseFloat", parseFloatFn },
            { "isNaN", isNaNFn }, { "isFinite", isFiniteFn }, { "ASSetPropFlags", asSetPropFlags } });
    global->define(QStringLiteral("NaN"), std::numeric_limits<double>::quiet_NaN(), kBuiltin);
    global->define(QStringLiteral("Infinity"), std::numeric_limits<double>::infinity(), kBuiltin);
}

} // namespace swf::script
