// flash.geom: Point, Rectangle, Matrix, ColorTransform and Transform. Point, Rectangle and
// Matrix keep their values as ordinary properties and compute with the language's own
// operators, so that odd values (strings, undefined) come out as scripts expect.

#include "Classes.h"
#include "Native.h"

#include "swf/display/Stage.h"
#include "swf/script/ClipObject.h"
#include "swf/script/ScriptEngine.h"

#include <numbers>

namespace swf::script {
namespace {

Value member(Vm& vm, Object* o, const char* name)
{
    return o ? vm.get(o, QString::fromLatin1(name)) : Value();
}

void put(Vm& vm, Object* o, const char* name, const Value& v)
{
    if (o)
        vm.set(o, QString::fromLatin1(name), v);
}

Value plus(Vm& vm, const Value& a, const Value& b)
{
    return vm.add(a, b);
}

Value minus(Vm& vm, const Value& a, const Value& b)
{
    return vm.toNumber(a) - vm.toNumber(b);
}

Object* geomPackage(Vm& vm)
{
    Object* flash = vm.get(vm.global(), QStringLiteral("flash")).object();
    if (!flash) {
        Ref<Object> made = vm.newObject();
        vm.global()->define(QStringLiteral("flash"), Value(made), DontEnum | OnlySwf8);
        flash = made.get();
    }
    Object* geom = vm.get(flash, QStringLiteral("geom")).object();
    if (!geom) {
        Ref<Object> made = vm.newObject();
        flash->define(QStringLiteral("geom"), Value(made));
        geom = made.get();
    }
    return geom;
}

Object* classPrototype(Vm& vm, const char* name)
{
    Object* ctor = vm.get(geomPackage(vm), QString::fromLatin1(name)).object();
    return ctor ? vm.get(ctor, QStringLiteral("prototype")).object() : nullptr;
}

Ref<Object> make(Vm& vm, const char* className, std::initializer_list<std::pair<const char*, Value>> fields)
{
    Ref<Object> o(new Object(vm, classPrototype(vm, className)));
    for (const auto& [name, value] : fields)
        put(vm, o.get(), name, value);
    return o;
}

// ---- Point --------------------------------------------------------------------------------

Value pointConstructor(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (c.size() == 0) {
        put(vm, self, "x", 0.0);
        put(vm, self, "y", 0.0);
    } else {
        put(vm, self, "x", c[0]);
        put(vm, self, "y", c[1]);
    }
    return Value();
}

Value pointLength(Vm& vm, CallArgs& c)
{
    const double x = vm.toNumber(member(vm, c.thisObject(), "x"));
    const double y = vm.toNumber(member(vm, c.thisObject(), "y"));
    return std::sqrt(x * x + y * y);
}

Value pointAdd(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    Object* p = c[0].object();
    return Value(make(vm, "Point",
        { { "x", plus(vm, member(vm, self, "x"), member(vm, p, "x")) },
            { "y", plus(vm, member(vm, self, "y"), member(vm, p, "y")) } }));
}

Value pointSubtract(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    Object* p = c[0].object();
    return Value(make(vm, "Point",
        { { "x", minus(vm, member(vm, self, "x"), member(vm, p, "x")) },
            { "y", minus(vm, member(vm, self, "y"), member(vm, p, "y")) } }));
}

Value pointClone(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    return Value(make(vm, "Point", { { "x", member(vm, self, "x") }, { "y", member(vm, self, "y") } }));
}

Value pointEquals(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    Object* p = c[0].object();
    if (!p)
        return false;
    return vm.equals(member(vm, self, "x"), member(vm, p, "x"))
        && vm.equals(member(vm, self, "y"), member(vm, p, "y"));
}

Value pointNormalize(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    const double x = vm.toNumber(member(vm, self, "x"));
    const double y = vm.toNumber(member(vm, self, "y"));
    const double length = std::sqrt(x * x + y * y);
    if (length > 0) {
        const double scale = vm.toNumber(c[0]) / length;
        put(vm, self, "x", x * scale);
        put(vm, self, "y", y * scale);
    }
    return Value();
}

Value pointOffset(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    put(vm, self, "x", plus(vm, member(vm, self, "x"), c[0]));
    put(vm, self, "y", plus(vm, member(vm, self, "y"), c[1]));
    return Value();
}

Value pointToString(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    return QStringLiteral("(x=") + vm.toString(member(vm, self, "x")) + QStringLiteral(", y=")
        + vm.toString(member(vm, self, "y")) + QLatin1Char(')');
}

Value pointDistance(Vm& vm, CallArgs& c)
{
    Object* a = c[0].object();
    Object* b = c[1].object();
    if (!a || !b)
        return Value();
    const double dx = vm.toNumber(member(vm, a, "x")) - vm.toNumber(member(vm, b, "x"));
    const double dy = vm.toNumber(member(vm, a, "y")) - vm.toNumber(member(vm, b, "y"));
    return std::sqrt(dx * dx + dy * dy);
}

Value pointInterpolate(Vm& vm, CallArgs& c)
{
    Object* a = c[0].object();
    Object* b = c[1].object();
    const double f = vm.toNumber(c[2]);
    const double ax = vm.toNumber(member(vm, a, "x"));
    const double ay = vm.toNumber(member(vm, a, "y"));
    const double bx = vm.toNumber(member(vm, b, "x"));
    const double by = vm.toNumber(member(vm, b, "y"));
    return Value(make(vm, "Point", { { "x", bx + f * (ax - bx) }, { "y", by + f * (ay - by) } }));
}

Value pointPolar(Vm& vm, CallArgs& c)
{
    const double length = vm.toNumber(c[0]);
    const double angle = vm.toNumber(c[1]);
    return Value(make(vm, "Point", { { "x", length * std::cos(angle) }, { "y", length * std::sin(angle) } }));
}

// ---- Rectangle ----------------------------------------------------------------------------

Value rectangleConstructor(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (c.size() == 0) {
        for (const char* name : { "x", "y", "width", "height" })
            put(vm, self, name, 0.0);
        return Value();
    }
    put(vm, self, "x", c[0]);
    put(vm, self, "y", c[1]);
    put(vm, self, "width", c[2]);
    put(vm, self, "height", c[3]);
    return Value();
}

Value rectLeft(Vm& vm, CallArgs& c)
{
    return member(vm, c.thisObject(), "x");
}

Value setRectLeft(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    put(vm, self, "width", plus(vm, member(vm, self, "width"), minus(vm, member(vm, self, "x"), c[0])));
    put(vm, self, "x", c[0]);
    return Value();
}

Value rectTop(Vm& vm, CallArgs& c)
{
    return member(vm, c.thisObject(), "y");
}

Value setRectTop(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    put(vm, self, "height", plus(vm, member(vm, self, "height"), minus(vm, member(vm, self, "y"), c[0])));
    put(vm, self, "y", c[0]);
    return Value();
}

Value rectRight(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    return plus(vm, member(vm, self, "x"), member(vm, self, "width"));
}

Value setRectRight(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    put(vm, self, "width", minus(vm, c[0], member(vm, self, "x")));
    return Value();
}

Value rectBottom(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    return plus(vm, member(vm, self, "y"), member(vm, self, "height"));
}

Value setRectBottom(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    put(vm, self, "height", minus(vm, c[0], member(vm, self, "y")));
    return Value();
}

Value rectTopLeft(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    return Value(make(vm, "Point", { { "x", member(vm, self, "x") }, { "y", member(vm, self, "y") } }));
}

Value setRectTopLeft(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    Object* p = c[0].object();
    const Value x = member(vm, p, "x");
    const Value y = member(vm, p, "y");
    put(vm, self, "width", plus(vm, member(vm, self, "width"), minus(vm, member(vm, self, "x"), x)));
    put(vm, self, "height", plus(vm, member(vm, self, "height"), minus(vm, member(vm, self, "y"), y)));
    put(vm, self, "x", x);
    put(vm, self, "y", y);
    return Value();
}

Value rectBottomRight(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    return Value(make(vm, "Point",
        { { "x", plus(vm, member(vm, self, "x"), member(vm, self, "width")) },
            { "y", plus(vm, member(vm, self, "y"), member(vm, self, "height")) } }));
}

Value setRectBottomRight(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    Object* p = c[0].object();
    put(vm, self, "width", minus(vm, member(vm, p, "x"), member(vm, self, "x")));
    put(vm, self, "height", minus(vm, member(vm, p, "y"), member(vm, self, "y")));
    return Value();
}

Value rectSize(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    return Value(
        make(vm, "Point", { { "x", member(vm, self, "width") }, { "y", member(vm, self, "height") } }));
}

Value setRectSize(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    Object* p = c[0].object();
    put(vm, self, "width", member(vm, p, "x"));
    put(vm, self, "height", member(vm, p, "y"));
    return Value();
}

Value rectClone(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    return Value(make(vm, "Rectangle",
        { { "x", member(vm, self, "x") }, { "y", member(vm, self, "y") },
            { "width", member(vm, self, "width") }, { "height", member(vm, self, "height") } }));
}

struct Box {
    double x, y, w, h;
};

Box box(Vm& vm, Object* o)
{
    return { vm.toNumber(member(vm, o, "x")), vm.toNumber(member(vm, o, "y")),
        vm.toNumber(member(vm, o, "width")), vm.toNumber(member(vm, o, "height")) };
}

Value rectIsEmpty(Vm& vm, CallArgs& c)
{
    const Box b = box(vm, c.thisObject());
    return !(b.w > 0) || !(b.h > 0);
}

Value rectSetEmpty(Vm& vm, CallArgs& c)
{
    for (const char* name : { "x", "y", "width", "height" })
        put(vm, c.thisObject(), name, 0.0);
    return Value();
}

// Comparisons as scripts make them: one with NaN answers undefined rather than false, and a
// chain of them stops at the first that does not hold, answering what that one answered.
struct Tests {
    Value result = true;
    Tests& atLeast(double a, double b)
    {
        if (result.isBoolean() && result.boolean())
            result = std::isnan(a) || std::isnan(b) ? Value() : Value(a >= b);
        return *this;
    }
    Tests& below(double a, double b)
    {
        if (result.isBoolean() && result.boolean())
            result = std::isnan(a) || std::isnan(b) ? Value() : Value(a < b);
        return *this;
    }
    Tests& atMost(double a, double b) { return atLeast(b, a); }
};

Value inside(const Box& b, double x, double y)
{
    return Tests().atLeast(x, b.x).below(x, b.x + b.w).atLeast(y, b.y).below(y, b.y + b.h).result;
}

Value rectContains(Vm& vm, CallArgs& c)
{
    return inside(box(vm, c.thisObject()), vm.toNumber(c[0]), vm.toNumber(c[1]));
}

Value rectContainsPoint(Vm& vm, CallArgs& c)
{
    Object* p = c[0].object();
    return inside(box(vm, c.thisObject()), vm.toNumber(member(vm, p, "x")), vm.toNumber(member(vm, p, "y")));
}

Value rectContainsRectangle(Vm& vm, CallArgs& c)
{
    const Box a = box(vm, c.thisObject());
    const Box b = box(vm, c[0].object());
    return Tests()
        .atLeast(b.x, a.x)
        .atLeast(b.y, a.y)
        .atMost(b.x + b.w, a.x + a.w)
        .atMost(b.y + b.h, a.y + a.h)
        .result;
}

// Only another Rectangle can equal a rectangle, however alike a plain object's fields are.
Value rectEquals(Vm& vm, CallArgs& c)
{
    Object* other = c[0].object();
    if (!other)
        return false;
    Object* self = c.thisObject();
    Object* rectangle = classPrototype(vm, "Rectangle");
    bool isRectangle = false;
    int guard = 0;
    for (Object* p = other->proto(); p && rectangle && guard < 256; p = p->proto(), ++guard)
        isRectangle = isRectangle || p == rectangle;
    if (!isRectangle)
        return false;
    for (const char* name : { "x", "y", "width", "height" }) {
        if (!vm.equals(member(vm, self, name), member(vm, other, name)))
            return false;
    }
    return true;
}

Value rectInflate(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    const Box b = box(vm, self);
    const double dx = vm.toNumber(c[0]);
    const double dy = vm.toNumber(c[1]);
    put(vm, self, "x", b.x - dx);
    put(vm, self, "y", b.y - dy);
    put(vm, self, "width", b.w + 2 * dx);
    put(vm, self, "height", b.h + 2 * dy);
    return Value();
}

Value rectInflatePoint(Vm& vm, CallArgs& c)
{
    Object* p = c[0].object();
    const Value args[] = { member(vm, p, "x"), member(vm, p, "y") };
    CallArgs inner { c.thisValue, args, c.callee, nullptr, false };
    return rectInflate(vm, inner);
}

Value rectOffset(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    put(vm, self, "x", plus(vm, member(vm, self, "x"), c[0]));
    put(vm, self, "y", plus(vm, member(vm, self, "y"), c[1]));
    return Value();
}

Value rectOffsetPoint(Vm& vm, CallArgs& c)
{
    Object* p = c[0].object();
    const Value args[] = { member(vm, p, "x"), member(vm, p, "y") };
    CallArgs inner { c.thisValue, args, c.callee, nullptr, false };
    return rectOffset(vm, inner);
}

// Math.min and Math.max as scripts have them: NaN on either side gives NaN.
double least(double a, double b)
{
    return std::isnan(a) || std::isnan(b) ? std::nan("") : std::min(a, b);
}

double most(double a, double b)
{
    return std::isnan(a) || std::isnan(b) ? std::nan("") : std::max(a, b);
}

Value rectIntersection(Vm& vm, CallArgs& c)
{
    const Box a = box(vm, c.thisObject());
    const Box b = box(vm, c[0].object());
    const double x = most(a.x, b.x);
    const double y = most(a.y, b.y);
    const double r = least(a.x + a.w, b.x + b.w);
    const double bottom = least(a.y + a.h, b.y + b.h);
    if (!(r > x) || !(bottom > y))
        return Value(
            make(vm, "Rectangle", { { "x", 0.0 }, { "y", 0.0 }, { "width", 0.0 }, { "height", 0.0 } }));
    return Value(
        make(vm, "Rectangle", { { "x", x }, { "y", y }, { "width", r - x }, { "height", bottom - y } }));
}

Value rectIntersects(Vm& vm, CallArgs& c)
{
    const Box a = box(vm, c.thisObject());
    const Box b = box(vm, c[0].object());
    return most(a.x, b.x) < least(a.x + a.w, b.x + b.w)
        && most(a.y, b.y) < least(a.y + a.h, b.y + b.h);
}

Value rectUnion(Vm& vm, CallArgs& c)
{
    const Box a = box(vm, c.thisObject());
    const Box b = box(vm, c[0].object());
    const double x = least(a.x, b.x);
    const double y = least(a.y, b.y);
    const double r = most(a.x + a.w, b.x + b.w);
    const double bottom = most(a.y + a.h, b.y + b.h);
    return Value(
        make(vm, "Rectangle", { { "x", x }, { "y", y }, { "width", r - x }, { "height", bottom - y } }));
}

Value rectToString(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    return QStringLiteral("(x=") + vm.toString(member(vm, self, "x")) + QStringLiteral(", y=")
        + vm.toString(member(vm, self, "y")) + QStringLiteral(", w=") + vm.toString(member(vm, self, "width"))
        + QStringLiteral(", h=") + vm.toString(member(vm, self, "height")) + QLatin1Char(')');
}

// ---- Matrix -------------------------------------------------------------------------------

const char* const kMatrixFields[] = { "a", "b", "c", "d", "tx", "ty" };

Value matrixConstructor(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (c.size() == 0) {
        const double identity[] = { 1, 0, 0, 1, 0, 0 };
        for (int i = 0; i < 6; ++i)
            put(vm, self, kMatrixFields[i], identity[i]);
        return Value();
    }
    for (size_t i = 0; i < 6; ++i)
        put(vm, self, kMatrixFields[i], c[i]);
    return Value();
}

struct M {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};

M readMatrix(Vm& vm, Object* o)
{
    M m;
    double* fields[] = { &m.a, &m.b, &m.c, &m.d, &m.tx, &m.ty };
    for (int i = 0; i < 6; ++i)
        *fields[i] = vm.toNumber(member(vm, o, kMatrixFields[i]));
    return m;
}

void writeMatrix(Vm& vm, Object* o, const M& m)
{
    const double values[] = { m.a, m.b, m.c, m.d, m.tx, m.ty };
    for (int i = 0; i < 6; ++i)
        put(vm, o, kMatrixFields[i], values[i]);
}

M multiply(const M& m, const M& n)
{
    // m then n.
    return { m.a * n.a + m.b * n.c, m.a * n.b + m.b * n.d, m.c * n.a + m.d * n.c, m.c * n.b + m.d * n.d,
        m.tx * n.a + m.ty * n.c + n.tx, m.tx * n.b + m.ty * n.d + n.ty };
}

Value matrixClone(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    Ref<Object> copy = make(vm, "Matrix", {});
    for (const char* name : kMatrixFields)
        put(vm, copy.get(), name, member(vm, self, name));
    return Value(copy);
}

Value matrixConcat(Vm& vm, CallArgs& c)
{
    writeMatrix(vm, c.thisObject(), multiply(readMatrix(vm, c.thisObject()), readMatrix(vm, c[0].object())));
    return Value();
}

Value matrixIdentity(Vm& vm, CallArgs& c)
{
    writeMatrix(vm, c.thisObject(), M {});
    return Value();
}

Value matrixInvert(Vm& vm, CallArgs& c)
{
    const M m = readMatrix(vm, c.thisObject());
    const double det = m.a * m.d - m.b * m.c;
    if (det == 0) {
        writeMatrix(vm, c.thisObject(), M {});
        return Value();
    }
    M inv { m.d / det, -m.b / det, -m.c / det, m.a / det, (m.c * m.ty - m.d * m.tx) / det,
        (m.b * m.tx - m.a * m.ty) / det };
    writeMatrix(vm, c.thisObject(), inv);
    return Value();
}

Value matrixRotate(Vm& vm, CallArgs& c)
{
    const double r = vm.toNumber(c[0]);
    const M rotation { std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0 };
    writeMatrix(vm, c.thisObject(), multiply(readMatrix(vm, c.thisObject()), rotation));
    return Value();
}

Value matrixScale(Vm& vm, CallArgs& c)
{
    const M scale { vm.toNumber(c[0]), 0, 0, vm.toNumber(c[1]), 0, 0 };
    writeMatrix(vm, c.thisObject(), multiply(readMatrix(vm, c.thisObject()), scale));
    return Value();
}

Value matrixTranslate(Vm& vm, CallArgs& c)
{
    M m = readMatrix(vm, c.thisObject());
    m.tx += vm.toNumber(c[0]);
    m.ty += vm.toNumber(c[1]);
    writeMatrix(vm, c.thisObject(), m);
    return Value();
}

M box(double sx, double sy, double rotation, double tx, double ty)
{
    return { std::cos(rotation) * sx, std::sin(rotation) * sy, -std::sin(rotation) * sx,
        std::cos(rotation) * sy, tx, ty };
}

Value matrixCreateBox(Vm& vm, CallArgs& c)
{
    writeMatrix(vm, c.thisObject(),
        box(vm.toNumber(c[0]), vm.toNumber(c[1]), c.size() > 2 ? vm.toNumber(c[2]) : 0,
            c.size() > 3 ? vm.toNumber(c[3]) : 0, c.size() > 4 ? vm.toNumber(c[4]) : 0));
    return Value();
}

Value matrixCreateGradientBox(Vm& vm, CallArgs& c)
{
    const double w = vm.toNumber(c[0]);
    const double h = vm.toNumber(c[1]);
    const double r = c.size() > 2 ? vm.toNumber(c[2]) : 0;
    const double tx = c.size() > 3 ? vm.toNumber(c[3]) : 0;
    const double ty = c.size() > 4 ? vm.toNumber(c[4]) : 0;
    writeMatrix(vm, c.thisObject(), box(w / 1638.4, h / 1638.4, r, tx + w / 2, ty + h / 2));
    return Value();
}

Value matrixTransformPoint(Vm& vm, CallArgs& c)
{
    const M m = readMatrix(vm, c.thisObject());
    Object* p = c[0].object();
    const double x = vm.toNumber(member(vm, p, "x"));
    const double y = vm.toNumber(member(vm, p, "y"));
    return Value(make(vm, "Point", { { "x", m.a * x + m.c * y + m.tx }, { "y", m.b * x + m.d * y + m.ty } }));
}

Value matrixDeltaTransformPoint(Vm& vm, CallArgs& c)
{
    const M m = readMatrix(vm, c.thisObject());
    Object* p = c[0].object();
    const double x = vm.toNumber(member(vm, p, "x"));
    const double y = vm.toNumber(member(vm, p, "y"));
    return Value(make(vm, "Point", { { "x", m.a * x + m.c * y }, { "y", m.b * x + m.d * y } }));
}

Value matrixToString(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    QString out = QStringLiteral("(");
    for (int i = 0; i < 6; ++i) {
        if (i)
            out += QStringLiteral(", ");
        out += QString::fromLatin1(kMatrixFields[i]) + QLatin1Char('=')
            + vm.toString(member(vm, self, kMatrixFields[i]));
    }
    return out + QLatin1Char(')');
}

// ---- ColorTransform ---------------------------------------------------------------------------

const char* const kColorFields[] = { "redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
    "redOffset", "greenOffset", "blueOffset", "alphaOffset" };

// A ColorTransform holds its eight numbers natively; the properties are accessors.
class ColorTransformObject final : public Object {
public:
    ColorTransformObject(Vm& vm, Object* proto)
        : Object(vm, proto)
    {
    }
    double values[8] = { 1, 1, 1, 1, 0, 0, 0, 0 };
};

ColorTransformObject* colorSelf(CallArgs& c)
{
    return c.thisObject() ? dynamic_cast<ColorTransformObject*>(c.thisObject()) : nullptr;
}

Ref<Object> newColorTransform(Vm& vm, Object* proto)
{
    return Ref<Object>(new ColorTransformObject(vm, proto));
}

Value colorTransformConstructor(Vm& vm, CallArgs& c)
{
    ColorTransformObject* self = colorSelf(c);
    if (!self)
        return Value();
    for (size_t i = 0; i < 8; ++i)
        self->values[i] = c.size() > i ? vm.toNumber(c[i]) : (i < 4 ? 1.0 : 0.0);
    return Value();
}

template <int Index> Value getColorField(Vm&, CallArgs& c)
{
    ColorTransformObject* self = colorSelf(c);
    return self ? Value(self->values[Index]) : Value();
}

template <int Index> Value setColorField(Vm& vm, CallArgs& c)
{
    if (ColorTransformObject* self = colorSelf(c))
        self->values[Index] = vm.toNumber(c[0]);
    return Value();
}

Value getRgb(Vm&, CallArgs& c)
{
    ColorTransformObject* self = colorSelf(c);
    if (!self)
        return Value();
    const auto channel = [&](int i) { return uint32_t(int32_t(self->values[i])) & 0xFF; };
    return double((channel(4) << 16) | (channel(5) << 8) | channel(6));
}

Value setRgb(Vm& vm, CallArgs& c)
{
    ColorTransformObject* self = colorSelf(c);
    if (!self)
        return Value();
    const uint32_t rgb = vm.toUint32(c[0]);
    self->values[0] = self->values[1] = self->values[2] = 0;
    self->values[4] = double((rgb >> 16) & 0xFF);
    self->values[5] = double((rgb >> 8) & 0xFF);
    self->values[6] = double(rgb & 0xFF);
    return Value();
}

Value colorConcat(Vm&, CallArgs& c)
{
    ColorTransformObject* self = colorSelf(c);
    auto* other = c[0].object() ? dynamic_cast<ColorTransformObject*>(c[0].object()) : nullptr;
    if (!self || !other)
        return Value();
    for (int i = 0; i < 4; ++i) {
        self->values[4 + i] = other->values[4 + i] * self->values[i] + self->values[4 + i];
        self->values[i] *= other->values[i];
    }
    return Value();
}

Value colorToString(Vm& vm, CallArgs& c)
{
    ColorTransformObject* self = colorSelf(c);
    if (!self)
        return Value();
    QString out = QStringLiteral("(");
    for (int i = 0; i < 8; ++i) {
        if (i)
            out += QStringLiteral(", ");
        out += QString::fromLatin1(kColorFields[i]) + QLatin1Char('=') + vm.toString(Value(self->values[i]));
    }
    return out + QLatin1Char(')');
}

// ---- Transform: a clip's matrix and colours -------------------------------------------------

class TransformObject final : public Object {
public:
    TransformObject(Vm& vm, Object* proto)
        : Object(vm, proto)
    {
    }
    Ref<Object> clip;
    void trace(Tracer& tracer) override
    {
        Object::trace(tracer);
        if (clip)
            tracer.visit(clip.get());
    }
    void clearReferences() override
    {
        Object::clearReferences();
        clip = nullptr;
    }
};

TransformObject* transformSelf(CallArgs& c)
{
    return c.thisObject() ? dynamic_cast<TransformObject*>(c.thisObject()) : nullptr;
}

Ref<Object> newTransform(Vm& vm, Object* proto)
{
    return Ref<Object>(new TransformObject(vm, proto));
}

DisplayObject* transformTarget(Vm& vm, CallArgs& c)
{
    TransformObject* self = transformSelf(c);
    return self && self->clip ? vm.engine()->displayOf(Value(self->clip)) : nullptr;
}

Value transformConstructor(Vm&, CallArgs& c)
{
    if (TransformObject* self = transformSelf(c)) {
        if (c[0].object() && c[0].object()->asClip())
            self->clip = Ref<Object>(c[0].object());
    }
    return Value();
}

Ref<Object> matrixObject(Vm& vm, const Matrix& m)
{
    return make(vm, "Matrix",
        { { "a", m.a }, { "b", m.b }, { "c", m.c }, { "d", m.d }, { "tx", m.tx / 20.0 },
            { "ty", m.ty / 20.0 } });
}

Ref<Object> colorTransformObject(Vm& vm, const ColorTransform& cx)
{
    Ref<Object> o = newColorTransform(vm, classPrototype(vm, "ColorTransform"));
    auto* ct = static_cast<ColorTransformObject*>(o.get());
    const double values[] = { cx.rMul / 256.0, cx.gMul / 256.0, cx.bMul / 256.0, cx.aMul / 256.0,
        double(cx.rAdd), double(cx.gAdd), double(cx.bAdd), double(cx.aAdd) };
    std::copy(std::begin(values), std::end(values), ct->values);
    return o;
}

Value transformMatrix(Vm& vm, CallArgs& c)
{
    DisplayObject* d = transformTarget(vm, c);
    return d ? Value(matrixObject(vm, d->matrix())) : Value();
}

Value setTransformMatrix(Vm& vm, CallArgs& c)
{
    DisplayObject* d = transformTarget(vm, c);
    Object* m = c[0].object();
    if (!d || !m)
        return Value();
    const M values = readMatrix(vm, m);
    Matrix matrix { values.a, values.b, values.c, values.d, int32_t(std::lround(values.tx * 20)),
        int32_t(std::lround(values.ty * 20)) };
    d->setMatrix(matrix);
    if (ClipObject* o = vm.engine()->objectFor(*d))
        o->forgetTransformCache();
    return Value();
}

Value transformColor(Vm& vm, CallArgs& c)
{
    DisplayObject* d = transformTarget(vm, c);
    return d ? Value(colorTransformObject(vm, d->colorTransform())) : Value();
}

Value setTransformColor(Vm& vm, CallArgs& c)
{
    DisplayObject* d = transformTarget(vm, c);
    auto* ct = c[0].object() ? dynamic_cast<ColorTransformObject*>(c[0].object()) : nullptr;
    if (!d || !ct)
        return Value();
    const auto mul = [&](int i) { return int16_t(std::clamp(ct->values[i] * 256, -32768.0, 32767.0)); };
    const auto add = [&](int i) { return int16_t(std::clamp(ct->values[i], -32768.0, 32767.0)); };
    d->setColorTransform(ColorTransform { mul(0), mul(1), mul(2), mul(3), add(4), add(5), add(6), add(7) });
    return Value();
}

Value transformConcatenatedMatrix(Vm& vm, CallArgs& c)
{
    DisplayObject* d = transformTarget(vm, c);
    if (!d)
        return Value();
    const QTransform t = d->stageTransform();
    return Value(make(vm, "Matrix",
        { { "a", t.m11() }, { "b", t.m12() }, { "c", t.m21() }, { "d", t.m22() }, { "tx", t.dx() / 20 },
            { "ty", t.dy() / 20 } }));
}

Value transformConcatenatedColor(Vm& vm, CallArgs& c)
{
    DisplayObject* d = transformTarget(vm, c);
    return d ? Value(colorTransformObject(vm, d->colorTransform())) : Value();
}

Value transformPixelBounds(Vm& vm, CallArgs& c)
{
    DisplayObject* d = transformTarget(vm, c);
    if (!d)
        return Value();
    const QRectF r = d->stageTransform().mapRect(d->bounds());
    return Value(make(vm, "Rectangle",
        { { "x", r.x() / 20 }, { "y", r.y() / 20 }, { "width", r.width() / 20 },
            { "height", r.height() / 20 } }));
}

Value noop(Vm&, CallArgs&)
{
    return Value();
}

} // namespace

// The MovieClip.transform property: a Transform of the clip.
Value clipTransform(Vm& vm, Object* clip)
{
    Ref<Object> t = newTransform(vm, classPrototype(vm, "Transform"));
    static_cast<TransformObject*>(t.get())->clip = Ref<Object>(clip);
    return Value(t);
}

void setClipTransform(Vm& vm, Object* clip, const Value& value)
{
    auto* source = value.object() ? dynamic_cast<TransformObject*>(value.object()) : nullptr;
    if (!source)
        return;
    Value t = clipTransform(vm, clip);
    CallArgs get { value, {}, nullptr, nullptr, false };
    const Value m = transformMatrix(vm, get);
    const Value cx = transformColor(vm, get);
    const Value margs[] = { m };
    CallArgs setM { t, margs, nullptr, nullptr, false };
    setTransformMatrix(vm, setM);
    const Value cargs[] = { cx };
    CallArgs setC { t, cargs, nullptr, nullptr, false };
    setTransformColor(vm, setC);
}

void installGeometry(Vm& vm)
{
    Object* geom = geomPackage(vm);
    const auto makeClass = [&](const char* name, NativeFn ctor) {
        Ref<Object> proto = vm.newObject();
        Ref<NativeFunction> f = vm.makeClass(QString(), ctor, proto.get());
        geom->define(QString::fromLatin1(name), Value(f));
        return std::make_pair(proto, f);
    };

    auto [point, pointCtor] = makeClass("Point", pointConstructor);
    vm.accessor(point.get(), QStringLiteral("length"), pointLength, nullptr);
    defineMethods(vm, point.get(),
        { { "add", pointAdd }, { "subtract", pointSubtract }, { "clone", pointClone },
            { "equals", pointEquals }, { "normalize", pointNormalize }, { "offset", pointOffset },
            { "toString", pointToString } });
    defineMethods(vm, pointCtor.get(),
        { { "distance", pointDistance }, { "interpolate", pointInterpolate }, { "polar", pointPolar } });

    auto [rect, rectCtor] = makeClass("Rectangle", rectangleConstructor);
    vm.accessor(rect.get(), QStringLiteral("left"), rectLeft, setRectLeft);
    vm.accessor(rect.get(), QStringLiteral("top"), rectTop, setRectTop);
    vm.accessor(rect.get(), QStringLiteral("right"), rectRight, setRectRight);
    vm.accessor(rect.get(), QStringLiteral("bottom"), rectBottom, setRectBottom);
    vm.accessor(rect.get(), QStringLiteral("topLeft"), rectTopLeft, setRectTopLeft);
    vm.accessor(rect.get(), QStringLiteral("bottomRight"), rectBottomRight, setRectBottomRight);
    vm.accessor(rect.get(), QStringLiteral("size"), rectSize, setRectSize);
    defineMethods(vm, rect.get(),
        { { "clone", rectClone }, { "isEmpty", rectIsEmpty }, { "setEmpty", rectSetEmpty },
            { "contains", rectContains }, { "containsPoint", rectContainsPoint },
            { "containsRectangle", rectContainsRectangle }, { "equals", rectEquals },
            { "inflate", rectInflate }, { "inflatePoint", rectInflatePoint }, { "offset", rectOffset },
            { "offsetPoint", rectOffsetPoint }, { "intersection", rectIntersection },
            { "intersects", rectIntersects }, { "union", rectUnion }, { "toString", rectToString } });
    (void)rectCtor;

    auto [matrix, matrixCtor] = makeClass("Matrix", matrixConstructor);
    defineMethods(vm, matrix.get(),
        { { "clone", matrixClone }, { "concat", matrixConcat }, { "identity", matrixIdentity },
            { "invert", matrixInvert }, { "rotate", matrixRotate }, { "scale", matrixScale },
            { "translate", matrixTranslate }, { "createBox", matrixCreateBox },
            { "createGradientBox", matrixCreateGradientBox }, { "transformPoint", matrixTransformPoint },
            { "deltaTransformPoint", matrixDeltaTransformPoint }, { "toString", matrixToString } });
    (void)matrixCtor;

    auto [color, colorCtor] = makeClass("ColorTransform", colorTransformConstructor);
    vm.setInstanceFactory(color.get(), newColorTransform);
    // Unlike the other classes' members these show in for..in, newest first.
    const std::pair<const char*, int> colorFields[] = { { "alphaMultiplier", 3 }, { "redMultiplier", 0 },
        { "greenMultiplier", 1 }, { "blueMultiplier", 2 }, { "alphaOffset", 7 }, { "redOffset", 4 },
        { "greenOffset", 5 }, { "blueOffset", 6 } };
    constexpr std::pair<NativeFn, NativeFn> colorAccessors[]
        = { { getColorField<0>, setColorField<0> }, { getColorField<1>, setColorField<1> },
              { getColorField<2>, setColorField<2> }, { getColorField<3>, setColorField<3> },
              { getColorField<4>, setColorField<4> }, { getColorField<5>, setColorField<5> },
              { getColorField<6>, setColorField<6> }, { getColorField<7>, setColorField<7> } };
    for (const auto& [name, field] : colorFields) {
        const auto [getter, setter] = colorAccessors[field];
        vm.accessor(color.get(), QString::fromLatin1(name), getter, setter, 0);
    }
    vm.accessor(color.get(), QStringLiteral("rgb"), getRgb, setRgb, 0);
    defineMethods(vm, color.get(), { { "concat", colorConcat }, { "toString", colorToString } }, 0);
    (void)colorCtor;

    auto [transform, transformCtor] = makeClass("Transform", transformConstructor);
    vm.setInstanceFactory(transform.get(), newTransform);
    vm.accessor(transform.get(), QStringLiteral("matrix"), transformMatrix, setTransformMatrix);
    vm.accessor(transform.get(), QStringLiteral("colorTransform"), transformColor, setTransformColor);
    vm.accessor(transform.get(), QStringLiteral("concatenatedMatrix"), transformConcatenatedMatrix, nullptr);
    vm.accessor(
        transform.get(), QStringLiteral("concatenatedColorTransform"), transformConcatenatedColor, nullptr);
    vm.accessor(transform.get(), QStringLiteral("pixelBounds"), transformPixelBounds, nullptr);
    (void)transformCtor;
    (void)noop;
}

Value makeRectangle(Vm& vm, double x, double y, double width, double height)
{
    return Value(make(vm, "Rectangle", { { "x", x }, { "y", y }, { "width", width }, { "height", height } }));
}

} // namespace swf::script
