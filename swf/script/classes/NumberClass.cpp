// Number, Boolean and Math.

#include "Classes.h"
#include "Native.h"

#include "swf/script/ScriptEngine.h"

#include <limits>
#include <numbers>

namespace swf::script {
namespace {

// super(...) of a class that extends Number, Boolean or String sets the wrapped value of
// the object `new` made.
Object* existingWrapper(Vm& vm, CallArgs& c)
{
    Object* o = c.constructing ? nullptr : c.thisObject();
    return o && o != vm.global() && !o->asClip() ? o : nullptr;
}

Value numberConstructor(Vm& vm, CallArgs& c)
{
    const double n = c.size() > 0 ? vm.toNumber(c[0]) : 0.0;
    if (Object* existing = existingWrapper(vm, c))
        existing->setPrimitive(n);
    if (!c.constructing)
        return n;
    return Value(Ref<Object>(new PrimitiveObject(vm, vm.protos().number.get(), Value(n))));
}

Value numberToStringMethod(Vm& vm, CallArgs& c)
{
    const Value p = thisPrimitive(c);
    if (!p.isNumber())
        return vm.toString(p);
    const int radix = c.size() > 0 && !c[0].isUndefined() ? vm.toInt32(c[0]) : 10;
    return script::numberToString(p.number(), radix);
}

Value numberValueOf(Vm&, CallArgs& c)
{
    return thisPrimitive(c);
}

Value booleanConstructor(Vm& vm, CallArgs& c)
{
    if (Object* existing = existingWrapper(vm, c))
        existing->setPrimitive(c.size() > 0 && vm.toBoolean(c[0]));
    if (!c.constructing) {
        if (c.size() == 0)
            return Value();
        return vm.toBoolean(c[0]);
    }
    const bool b = c.size() > 0 && vm.toBoolean(c[0]);
    return Value(Ref<Object>(new PrimitiveObject(vm, vm.protos().boolean.get(), Value(b))));
}

Value booleanToString(Vm& vm, CallArgs& c)
{
    const Value p = thisPrimitive(c);
    if (!p.isBoolean())
        return Value();
    return vm.toString(p);
}

Value booleanValueOf(Vm&, CallArgs& c)
{
    const Value p = thisPrimitive(c);
    return p.isBoolean() ? p : Value();
}

// ---- Math --------------------------------------------------------------------------------

// The original player reads a second argument of the one-argument functions as a number
// too, and drops it: its valueOf runs.
template <double (*F)(double)> Value unary(Vm& vm, CallArgs& c)
{
    const double x = argNumber(vm, c, 0);
    if (c.size() > 1)
        argNumber(vm, c, 1);
    return F(x);
}

double roundHalfUp(double x)
{
    return std::floor(x + 0.5);
}

Value mathAtan2(Vm& vm, CallArgs& c)
{
    // The arguments are read in order: their valueOf may have effects.
    const double x = argNumber(vm, c, 0);
    return std::atan2(x, argNumber(vm, c, 1));
}

Value mathPow(Vm& vm, CallArgs& c)
{
    // The arguments are read in order: their valueOf may have effects.
    const double x = argNumber(vm, c, 0);
    return std::pow(x, argNumber(vm, c, 1));
}

// Math.max and Math.min take two numbers: with none they give the empty answer, with one
// NaN (the second is missing, not undefined), and a third is not even read.
template <bool Max> Value mathExtreme(Vm& vm, CallArgs& c)
{
    if (c.size() == 0)
        return (Max ? -1 : 1) * std::numeric_limits<double>::infinity();
    if (c.size() == 1)
        return std::numeric_limits<double>::quiet_NaN();
    const double x = argNumber(vm, c, 0);
    const double y = argNumber(vm, c, 1);
    if (std::isnan(x) || std::isnan(y))
        return std::numeric_limits<double>::quiet_NaN();
    return Max ? std::max(x, y) : std::min(x, y);
}

Value mathRandom(Vm& vm, CallArgs& c)
{
    // Like the others, it reads two arguments as numbers before it answers.
    for (size_t i = 0; i < std::min<size_t>(c.size(), 2); ++i)
        argNumber(vm, c, i);
    return vm.engine() ? vm.engine()->random() : 0.5;
}

double absolute(double x)
{
    return std::fabs(x);
}

// The Math functions by their numbers in the player's own table, as ASnative(200, n)
// hands them out.
constexpr NativeFn kMathTable[] = { unary<absolute>, mathExtreme<false>, mathExtreme<true>, unary<std::sin>,
    unary<std::cos>, mathAtan2, unary<std::tan>, unary<std::exp>, unary<std::log>, unary<std::sqrt>,
    unary<roundHalfUp>, mathRandom, unary<std::floor>, unary<std::ceil>, unary<std::atan>, unary<std::asin>,
    unary<std::acos>, mathPow };
constexpr int kMathTableId = 200;

// One entry of the Math table. A number past its end still reads two arguments as
// numbers, and answers NaN.
class MathTableEntry final : public FunctionObject {
public:
    MathTableEntry(Vm& vm, double index)
        : FunctionObject(vm, vm.protos().function.get())
        , index_(index)
    {
    }
    Value call(CallArgs& c) override
    {
        if (index_ >= 0 && index_ < double(std::size(kMathTable)))
            return kMathTable[size_t(index_)](vm(), c);
        for (size_t i = 0; i < std::min<size_t>(c.size(), 2); ++i)
            argNumber(vm(), c, i);
        return std::numeric_limits<double>::quiet_NaN();
    }

private:
    double index_;
};

// A function of the player's numbered tables. Only the Math table is known here; any other
// gives null.
Ref<Object> nativeEntry(Vm& vm, double table, double index)
{
    index = std::trunc(index);
    if (table != kMathTableId || std::isnan(index))
        return Ref<Object>();
    return Ref<Object>(new MathTableEntry(vm, index));
}

// ASnative(table, index).
Value asNative(Vm& vm, CallArgs& c)
{
    Ref<Object> f = nativeEntry(vm, argNumber(vm, c, 0), argNumber(vm, c, 1));
    return f ? Value(f) : Value();
}

// One name of the comma separated lists ASSetNative and ASSetNativeAccessor take. A name
// may begin with the player version it needs: 6 to 9, or 10. A 1 before anything but a
// 0 stands for no version and is dropped too; other digits belong to the name.
struct NativeName {
    QString name;
    uint16_t flags = 0;
};

NativeName parseNativeName(QStringView entry)
{
    NativeName out;
    if (entry.isEmpty())
        return out;
    const QChar first = entry.front();
    if (first == u'1' && entry.size() > 1 && entry[1] == u'0') {
        out.flags = OnlySwf10;
        entry = entry.mid(2);
    } else if (first == u'1') {
        entry = entry.mid(1);
    } else if (first >= u'6' && first <= u'9') {
        constexpr uint16_t kVersionFlags[] = { OnlySwf6, OnlySwf7, OnlySwf8, OnlySwf9 };
        out.flags = kVersionFlags[first.unicode() - u'6'];
        entry = entry.mid(1);
    }
    out.name = entry.toString();
    return out;
}

// Lays the names of a list onto an object, numbering them from `start` in the table:
// `each` gets the name, its version flags and its number.
template <class F> void forEachNativeName(const QString& list, double start, F&& each)
{
    double index = start;
    for (QStringView entry : QStringView(list).split(u',')) {
        const NativeName n = parseNativeName(entry);
        if (!n.name.isEmpty())
            each(n, index);
        index += 1;
    }
}

// ASSetNative(object, table, "names", start): each name a method, the table's functions
// in order from `start`.
Value asSetNative(Vm& vm, CallArgs& c)
{
    Object* target = c[0].object();
    if (!target || c.size() < 3)
        return Value();
    const double table = argNumber(vm, c, 1);
    forEachNativeName(argString(vm, c, 2), c.size() > 3 ? argNumber(vm, c, 3) : 0.0,
        [&](const NativeName& n, double index) {
            Ref<Object> f = nativeEntry(vm, table, index);
            target->define(n.name, f ? Value(f) : Value(), n.flags);
        });
    return Value();
}

// ASSetNativeAccessor(object, table, "names", start): each name a property whose getter
// and setter are the same function of the table (it tells them apart by the value a
// write passes), numbered in order from `start`. Called with nothing it hands back a
// function, as the player's own does.
Value asSetNativeAccessor(Vm& vm, CallArgs& c)
{
    if (c.size() == 0)
        return c.callee ? Value(Ref<Object>(c.callee)) : Value();
    Object* target = c[0].object();
    if (!target || c.size() < 3)
        return Value();
    const double table = argNumber(vm, c, 1);
    forEachNativeName(argString(vm, c, 2), c.size() > 3 ? argNumber(vm, c, 3) : 0.0,
        [&](const NativeName& n, double index) {
            const QString k = vm.key(n.name);
            Property* p = target->properties().find(k);
            if (!p)
                p = &target->properties().add(k, n.name);
            Ref<Object> f = nativeEntry(vm, table, index);
            p->accessor = true;
            p->value = Value();
            p->getter = f;
            p->setter = f;
            p->flags = n.flags;
        });
    return Value();
}

} // namespace

void installNumberAndBoolean(Vm& vm)
{
    vm.protos().number = Ref<Object>(new PrimitiveObject(vm, vm.protos().object.get(), Value(0.0)));
    Object* proto = vm.protos().number.get();
    Ref<NativeFunction> number = vm.makeClass(QStringLiteral("Number"), numberConstructor, proto, true);
    defineMethods(vm, proto, { { "toString", numberToStringMethod }, { "valueOf", numberValueOf } });

    number->define(QStringLiteral("MAX_VALUE"), std::numeric_limits<double>::max(), kHidden);
    number->define(QStringLiteral("MIN_VALUE"), std::numeric_limits<double>::denorm_min(), kHidden);
    number->define(QStringLiteral("NaN"), std::numeric_limits<double>::quiet_NaN(), kHidden);
    number->define(QStringLiteral("NEGATIVE_INFINITY"), -std::numeric_limits<double>::infinity(), kHidden);
    number->define(QStringLiteral("POSITIVE_INFINITY"), std::numeric_limits<double>::infinity(), kHidden);

    vm.protos().boolean = Ref<Object>(new PrimitiveObject(vm, vm.protos().object.get(), Value(false)));
    Object* bproto = vm.protos().boolean.get();
    vm.makeClass(QStringLiteral("Boolean"), booleanConstructor, bproto, true);
    defineMethods(vm, bproto, { { "toString", booleanToString }, { "valueOf", booleanValueOf } });
}

void installMath(Vm& vm)
{
    Ref<Object> math = vm.newObject();
    vm.global()->define(QStringLiteral("Math"), Value(math), kBuiltin);
    defineMethods(vm, math.get(),
        { { "abs", unary<absolute> }, { "acos", unary<std::acos> }, { "asin", unary<std::asin> },
            { "atan", unary<std::atan> }, { "ceil", unary<std::ceil> }, { "cos", unary<std::cos> },
            { "exp", unary<std::exp> }, { "floor", unary<std::floor> }, { "log", unary<std::log> },
            { "round", unary<roundHalfUp> }, { "sin", unary<std::sin> }, { "sqrt", unary<std::sqrt> },
            { "tan", unary<std::tan> }, { "atan2", mathAtan2 }, { "pow", mathPow },
            { "max", mathExtreme<true> }, { "min", mathExtreme<false> }, { "random", mathRandom } });
    const std::pair<const char*, double> constants[] = { { "E", std::numbers::e },
        { "LN10", std::numbers::ln10 }, { "LN2", std::numbers::ln2 }, { "LOG10E", std::numbers::log10e },
        { "LOG2E", std::numbers::log2e }, { "PI", std::numbers::pi }, { "SQRT1_2", 1 / std::numbers::sqrt2 },
        { "SQRT2", std::numbers::sqrt2 } };
    for (const auto& [name, value] : constants)
        math->define(QString::fromLatin1(name), value, kHidden);
    vm.method(vm.global(), QStringLiteral("ASnative"), asNative);
    vm.method(vm.global(), QStringLiteral("ASSetNative"), asSetNative);
    vm.method(vm.global(), QStringLiteral("ASSetNativeAccessor"), asSetNativeAccessor);
}

} // namespace swf::script
