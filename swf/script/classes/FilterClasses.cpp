// flash.filters: the filter classes as script objects. Each keeps its values as the
// reference player does (alphas as bytes, qualities 0..15, blurs and strengths 0..255,
// gradients of up to 16 stops), so that reading a property back gives what the player
// gives; filterOf() turns one into the renderer's filter.

#include "BitmapDataObject.h"
#include "Classes.h"
#include "FilterObjects.h"
#include "Native.h"
#include "Packages.h"

#include "swf/display/DisplayObject.h"
#include "swf/format/FilterWriter.h"
#include "swf/script/ScriptEngine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>

namespace swf::script {
namespace {

enum class Kind : uint8_t {
    Bevel,
    Blur,
    ColorMatrix,
    Convolution,
    DisplacementMap,
    DropShadow,
    Glow,
    GradientBevel,
    GradientGlow
};

constexpr int kMaxStops = 16;

struct FilterState {
    double distance = 4;
    double angle = 45; // degrees
    uint32_t color = 0;
    uint8_t alpha = 255;
    uint32_t highlightColor = 0xFFFFFF;
    uint8_t highlightAlpha = 255;
    uint32_t shadowColor = 0;
    uint8_t shadowAlpha = 255;
    double blurX = 4;
    double blurY = 4;
    double strength = 1;
    int quality = 1;
    bool inner = false;
    bool knockout = false;
    bool hideObject = false;
    QString type = QStringLiteral("inner");
    // Gradient kinds: `stops` of the 16 slots are in use; the slots past keep their values.
    int stops = 0;
    std::array<uint32_t, kMaxStops> colors {};
    std::array<uint8_t, kMaxStops> alphas {};
    std::array<uint8_t, kMaxStops> ratios {};
    // Colour matrix (20) and convolution (matrixX * matrixY at least) factors.
    std::vector<double> matrix;
    int matrixX = 0;
    int matrixY = 0;
    double divisor = 1;
    double bias = 0;
    bool preserveAlpha = true;
    bool clamp = true;
    // Displacement map.
    Ref<Object> mapBitmap;
    int mapPointX = 0;
    int mapPointY = 0;
    int componentX = 0;
    int componentY = 0;
    double scaleX = 0;
    double scaleY = 0;
    QString mode = QStringLiteral("wrap");
};

class FilterObject final : public Object {
public:
    FilterObject(Vm& vm, Object* proto)
        : Object(vm, proto)
    {
    }
    Kind kind = Kind::Blur;
    bool made = false; // a second construction leaves the values alone
    FilterState s;

    void trace(Tracer& tracer) override
    {
        Object::trace(tracer);
        if (s.mapBitmap)
            tracer.visit(s.mapBitmap.get());
    }
    void clearReferences() override
    {
        Object::clearReferences();
        s.mapBitmap = nullptr;
    }
};

FilterObject* filterSelf(const Value& v)
{
    return v.object() ? dynamic_cast<FilterObject*>(v.object()) : nullptr;
}

FilterObject* made(CallArgs& c)
{
    FilterObject* f = filterSelf(c.thisValue);
    return f && f->made ? f : nullptr;
}

// ---- Conversions of the values --------------------------------------------------------------

uint8_t alphaByte(Vm& vm, const Value& v)
{
    const double a = vm.toNumber(v);
    if (std::isnan(a))
        return 255;
    return uint8_t(std::clamp(a, 0.0, 1.0) * 255);
}

uint8_t roundedAlphaByte(Vm& vm, const Value& v)
{
    const double a = vm.toNumber(v);
    if (std::isnan(a))
        return 255;
    return uint8_t(std::lround(std::clamp(a, 0.0, 1.0) * 255));
}

double alphaValue(uint8_t a)
{
    return a / 255.0;
}

uint32_t rgb(Vm& vm, const Value& v)
{
    return vm.toUint32(v) & 0xFFFFFF;
}

double clamped(Vm& vm, const Value& v, double low, double high)
{
    const double n = vm.toNumber(v);
    return std::isnan(n) ? low : std::clamp(n, low, high);
}

int quality(Vm& vm, const Value& v)
{
    return int(clamped(vm, v, 0, 15));
}

double degrees(Vm& vm, const Value& v)
{
    const double n = vm.toNumber(v);
    return std::isfinite(n) ? std::fmod(n, 360.0) : 0.0;
}

QString typeName(Vm& vm, const Value& v)
{
    const QString t = vm.toString(v);
    return t == QLatin1String("inner") || t == QLatin1String("outer") ? t : QStringLiteral("full");
}

// An element of an array-like value as a number: NaN for null and undefined.
double elementNumber(Vm& vm, Object* o, int i)
{
    const Value e = o ? vm.get(o, QString::number(i)) : Value();
    return e.isNullish() ? std::nan("") : vm.toNumber(e);
}

// The elements of an array, a string (its length, no elements) or any object with a length.
int lengthOf(Vm& vm, Object* o)
{
    if (!o)
        return 0;
    const double n = vm.toNumber(vm.get(o, QStringLiteral("length")));
    return std::isfinite(n) ? int(std::clamp(n, 0.0, 65536.0)) : 0;
}

Value numbersArray(Vm& vm, const std::vector<double>& values)
{
    std::vector<Value> items(values.begin(), values.end());
    return Value(vm.newArray(std::move(items)));
}

// ---- Properties -----------------------------------------------------------------------------

using Getter = Value (*)(Vm&, FilterState&);
using Setter = void (*)(Vm&, FilterState&, const Value&);

struct PropertySpec {
    const char* name;
    NativeFn get;
    NativeFn set;
};

template <Getter G> Value getField(Vm& vm, CallArgs& c)
{
    FilterObject* f = made(c);
    return f ? G(vm, f->s) : Value();
}

template <Setter S> Value setField(Vm& vm, CallArgs& c)
{
    if (FilterObject* f = made(c))
        S(vm, f->s, c[0]);
    return Value();
}

#define FILTER_PROPERTY(NAME, GET, SET)                                                                      \
    Value get_##NAME(Vm& vm, FilterState& s)                                                                 \
    {                                                                                                        \
        (void)vm;                                                                                            \
        return GET;                                                                                          \
    }                                                                                                        \
    void set_##NAME(Vm& vm, FilterState& s, const Value& v)                                                  \
    {                                                                                                        \
        (void)vm;                                                                                            \
        SET;                                                                                                 \
    }                                                                                                        \
    constexpr PropertySpec prop_##NAME { #NAME, getField<get_##NAME>, setField<set_##NAME> };

FILTER_PROPERTY(distance, Value(s.distance), s.distance = vm.toNumber(v))
FILTER_PROPERTY(angle, Value(s.angle), s.angle = degrees(vm, v))
FILTER_PROPERTY(color, Value(double(s.color)), s.color = rgb(vm, v))
FILTER_PROPERTY(alpha, Value(alphaValue(s.alpha)), s.alpha = alphaByte(vm, v))
FILTER_PROPERTY(highlightColor, Value(double(s.highlightColor)), s.highlightColor = rgb(vm, v))
FILTER_PROPERTY(highlightAlpha, Value(alphaValue(s.highlightAlpha)), s.highlightAlpha = alphaByte(vm, v))
FILTER_PROPERTY(shadowColor, Value(double(s.shadowColor)), s.shadowColor = rgb(vm, v))
FILTER_PROPERTY(shadowAlpha, Value(alphaValue(s.shadowAlpha)), s.shadowAlpha = alphaByte(vm, v))
FILTER_PROPERTY(blurX, Value(s.blurX), s.blurX = clamped(vm, v, 0, 255))
FILTER_PROPERTY(blurY, Value(s.blurY), s.blurY = clamped(vm, v, 0, 255))
FILTER_PROPERTY(strength, Value(s.strength), s.strength = clamped(vm, v, 0, 255))
FILTER_PROPERTY(quality, Value(double(s.quality)), s.quality = quality(vm, v))
FILTER_PROPERTY(inner, Value(s.inner), s.inner = vm.toBoolean(v))
FILTER_PROPERTY(knockout, Value(s.knockout), s.knockout = vm.toBoolean(v))
FILTER_PROPERTY(hideObject, Value(s.hideObject), s.hideObject = vm.toBoolean(v))
FILTER_PROPERTY(type, Value(s.type), s.type = typeName(vm, v))
FILTER_PROPERTY(divisor, Value(s.divisor), s.divisor = vm.toNumber(v))
FILTER_PROPERTY(bias, Value(s.bias), s.bias = vm.toNumber(v))
FILTER_PROPERTY(preserveAlpha, Value(s.preserveAlpha), s.preserveAlpha = vm.toBoolean(v))
FILTER_PROPERTY(clamp, Value(s.clamp), s.clamp = vm.toBoolean(v))
FILTER_PROPERTY(componentX, Value(double(s.componentX)), s.componentX = vm.toInt32(v))
FILTER_PROPERTY(componentY, Value(double(s.componentY)), s.componentY = vm.toInt32(v))
FILTER_PROPERTY(scaleX, Value(s.scaleX), s.scaleX = clamped(vm, v, -65535, 65535))
FILTER_PROPERTY(scaleY, Value(s.scaleY), s.scaleY = clamped(vm, v, -65535, 65535))

void setColors(Vm& vm, FilterState& s, const Value& v)
{
    if (v.isNullish())
        return;
    Ref<Object> o = vm.toObject(v);
    s.stops = std::min(lengthOf(vm, o.get()), kMaxStops);
    for (int i = 0; i < s.stops; ++i)
        s.colors[std::size_t(i)] = rgb(vm, vm.get(o.get(), QString::number(i)));
}

void setAlphas(Vm& vm, FilterState& s, const Value& v)
{
    if (v.isNullish())
        return;
    Ref<Object> o = vm.toObject(v);
    for (int i = 0; i < s.stops; ++i)
        s.alphas[std::size_t(i)] = roundedAlphaByte(vm, vm.get(o.get(), QString::number(i)));
}

void setRatios(Vm& vm, FilterState& s, const Value& v)
{
    if (v.isNullish())
        return;
    Ref<Object> o = vm.toObject(v);
    s.stops = std::min(s.stops, lengthOf(vm, o.get()));
    for (int i = 0; i < s.stops; ++i)
        s.ratios[std::size_t(i)] = uint8_t(clamped(vm, vm.get(o.get(), QString::number(i)), 0, 255));
}

template <class T>
Value stopsArray(Vm& vm, const FilterState& s, const std::array<T, kMaxStops>& values, double scale)
{
    std::vector<double> out;
    for (int i = 0; i < s.stops; ++i)
        out.push_back(double(values[std::size_t(i)]) * scale);
    return numbersArray(vm, out);
}

FILTER_PROPERTY(colors, stopsArray(vm, s, s.colors, 1), setColors(vm, s, v))
FILTER_PROPERTY(alphas, stopsArray(vm, s, s.alphas, 1 / 255.0), setAlphas(vm, s, v))
FILTER_PROPERTY(ratios, stopsArray(vm, s, s.ratios, 1), setRatios(vm, s, v))

void setColorMatrix(Vm& vm, FilterState& s, const Value& v)
{
    if (v.isNullish())
        return;
    Object* o = v.object();
    s.matrix.assign(20, 0);
    for (int i = 0; i < 20; ++i)
        s.matrix[std::size_t(i)] = elementNumber(vm, o, i);
}

void setConvolutionMatrix(Vm& vm, FilterState& s, const Value& v)
{
    if (v.isNullish())
        return;
    Ref<Object> o = vm.toObject(v);
    const int count = std::min(lengthOf(vm, o.get()), kMaxStops * kMaxStops);
    s.matrix.assign(std::size_t(count), 0);
    for (int i = 0; i < count; ++i)
        s.matrix[std::size_t(i)] = elementNumber(vm, v.object(), i);
    s.matrix.resize(std::max(s.matrix.size(), std::size_t(s.matrixX * s.matrixY)), 0);
}

void setMatrixSize(FilterState& s, int& side, int value)
{
    side = value;
    s.matrix.resize(std::max(s.matrix.size(), std::size_t(s.matrixX * s.matrixY)), 0);
}

FILTER_PROPERTY(matrix, numbersArray(vm, s.matrix), setColorMatrix(vm, s, v))
constexpr PropertySpec prop_convolutionMatrix { "matrix", getField<get_matrix>,
    setField<setConvolutionMatrix> };
FILTER_PROPERTY(matrixX, Value(double(s.matrixX)), setMatrixSize(s, s.matrixX, quality(vm, v)))
FILTER_PROPERTY(matrixY, Value(double(s.matrixY)), setMatrixSize(s, s.matrixY, quality(vm, v)))

FILTER_PROPERTY(mode, Value(s.mode), {
    const QString m = vm.toString(v);
    s.mode = m == QLatin1String("clamp") || m == QLatin1String("ignore") || m == QLatin1String("color")
        ? m
        : QStringLiteral("wrap");
})
FILTER_PROPERTY(mapBitmap, s.mapBitmap ? Value(s.mapBitmap) : Value(), {
    if (asBitmapData(v))
        s.mapBitmap = Ref<Object>(v.object());
})

Value newPoint(Vm& vm, int x, int y)
{
    Object* geom = package(vm, QStringLiteral("flash.geom"));
    const Value args[] = { double(x), double(y) };
    return vm.construct(vm.get(geom, QStringLiteral("Point")), args);
}

// A coordinate whose conversion throws counts as NaN; the first error is kept in
// `error` so that the point is still set before it reaches the script.
int pointCoordinate(Vm& vm, Object* o, const char* name, std::optional<ScriptThrow>& error)
{
    double n = std::numeric_limits<double>::quiet_NaN();
    try {
        n = vm.toNumber(vm.get(o, QString::fromLatin1(name)));
    } catch (ScriptThrow& thrown) {
        if (!error)
            error = std::move(thrown);
    }
    return std::isfinite(n) && std::abs(n) < 2147483648.0 ? int(n) : std::numeric_limits<int>::min();
}

void setMapPoint(Vm& vm, FilterState& s, const Value& v)
{
    Object* o = v.object();
    if (!o) {
        s.mapPointX = s.mapPointY = 0;
        return;
    }
    // Both coordinates are converted, whatever the first one does.
    std::optional<ScriptThrow> error;
    const int x = pointCoordinate(vm, o, "x", error);
    const int y = pointCoordinate(vm, o, "y", error);
    const bool complete = vm.has(o, QStringLiteral("x")) && vm.has(o, QStringLiteral("y"));
    s.mapPointX = complete ? x : 0;
    s.mapPointY = complete ? y : 0;
    if (error)
        throw *error;
}

FILTER_PROPERTY(mapPoint, newPoint(vm, s.mapPointX, s.mapPointY), setMapPoint(vm, s, v))

#undef FILTER_PROPERTY

// ---- Classes --------------------------------------------------------------------------------

struct ClassSpec {
    const char* name;
    Kind kind;
    std::vector<PropertySpec> properties; // in the order for..in lists them
    FilterState defaults;
};

FilterState defaultsFor(Kind kind)
{
    FilterState s;
    switch (kind) {
    case Kind::Glow:
        s.color = 0xFF0000;
        s.blurX = s.blurY = 6;
        s.strength = 2;
        break;
    case Kind::ColorMatrix:
        s.matrix = { 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0 };
        break;
    case Kind::Convolution:
    case Kind::DisplacementMap:
        s.alpha = 0;
        break;
    default:
        break;
    }
    return s;
}

// Reads the constructor's arguments into `s` in the order the class takes them.
void construct(Vm& vm, Kind kind, FilterState& s, CallArgs& c)
{
    using Set = void (*)(Vm&, FilterState&, const Value&);
    const std::size_t given = c.size();
    const auto apply = [&](std::initializer_list<Set> setters) {
        std::size_t i = 0;
        for (Set set : setters) {
            if (i < given)
                set(vm, s, c[i]);
            ++i;
        }
    };
    switch (kind) {
    case Kind::Bevel:
        apply({ set_distance, set_angle, set_highlightColor, set_highlightAlpha, set_shadowColor,
            set_shadowAlpha, set_blurX, set_blurY, set_strength, set_quality, set_type, set_knockout });
        break;
    case Kind::Blur:
        apply({ set_blurX, set_blurY, set_quality });
        break;
    case Kind::ColorMatrix:
        apply({ set_matrix });
        break;
    case Kind::Convolution:
        apply({ set_matrixX, set_matrixY, setConvolutionMatrix, set_divisor, set_bias, set_preserveAlpha,
            set_clamp, set_color, set_alpha });
        // A colour given without its alpha is opaque.
        if (c.size() == 8)
            s.alpha = 255;
        break;
    case Kind::DisplacementMap:
        apply({ set_mapBitmap, set_mapPoint, set_componentX, set_componentY, set_scaleX, set_scaleY, set_mode,
            set_color, set_alpha });
        break;
    case Kind::DropShadow:
        apply({ set_distance, set_angle, set_color, set_alpha, set_blurX, set_blurY, set_strength,
            set_quality, set_inner, set_knockout, set_hideObject });
        break;
    case Kind::Glow:
        apply({ set_color, set_alpha, set_blurX, set_blurY, set_strength, set_quality, set_inner,
            set_knockout });
        break;
    case Kind::GradientBevel:
    case Kind::GradientGlow:
        apply({ set_distance, set_angle, set_colors, set_alphas, set_ratios, set_blurX, set_blurY,
            set_strength, set_quality, set_type, set_knockout });
        break;
    }
}

template <Kind K> Value filterConstructor(Vm& vm, CallArgs& c)
{
    FilterObject* f = filterSelf(c.thisValue);
    if (!f)
        return Value();
    FilterState s = defaultsFor(K);
    construct(vm, K, s, c);
    if (!f->made) {
        f->kind = K;
        f->s = s;
        f->made = true;
    }
    return Value();
}

Ref<Object> newFilterInstance(Vm& vm, Object* proto)
{
    return Ref<Object>(new FilterObject(vm, proto));
}

Value cloneFilter(Vm&, CallArgs& c)
{
    FilterObject* f = made(c);
    if (!f)
        return Value();
    Ref<Object> copy = newFilterInstance(f->vm(), f->proto());
    auto* made = static_cast<FilterObject*>(copy.get());
    made->kind = f->kind;
    made->s = f->s;
    made->made = true;
    return Value(copy);
}

Value noop(Vm&, CallArgs&)
{
    return Value();
}

Value makeFilter(Vm& vm, Kind kind, const char* className, const FilterState& s)
{
    Object* ctor
        = vm.get(package(vm, QStringLiteral("flash.filters")), QString::fromLatin1(className)).object();
    Object* proto = ctor ? vm.get(ctor, QStringLiteral("prototype")).object() : nullptr;
    if (!proto)
        return Value();
    Ref<Object> made = newFilterInstance(vm, proto);
    auto* f = static_cast<FilterObject*>(made.get());
    f->kind = kind;
    f->s = s;
    f->made = true;
    return Value(made);
}

uint32_t rgbOf(const Rgba& c)
{
    return (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b;
}

// A filter of a display object as the script object that reads it.
Value filterValue(Vm& vm, const Filter& filter)
{
    FilterState s;
    if (const auto* blur = std::get_if<BlurFilter>(&filter)) {
        s.blurX = blur->blur.x;
        s.blurY = blur->blur.y;
        s.quality = blur->blur.passes;
        return makeFilter(vm, Kind::Blur, "BlurFilter", s);
    }
    if (const auto* m = std::get_if<ColorMatrixFilter>(&filter)) {
        s.matrix.assign(m->matrix.begin(), m->matrix.end());
        return makeFilter(vm, Kind::ColorMatrix, "ColorMatrixFilter", s);
    }
    if (const auto* m = std::get_if<ConvolutionFilter>(&filter)) {
        s.matrixX = m->columns;
        s.matrixY = m->rows;
        s.matrix.assign(m->matrix.begin(), m->matrix.end());
        s.divisor = m->divisor;
        s.bias = m->bias;
        s.color = rgbOf(m->defaultColor);
        s.alpha = m->defaultColor.a;
        s.clamp = m->clamp;
        s.preserveAlpha = m->preserveAlpha;
        return makeFilter(vm, Kind::Convolution, "ConvolutionFilter", s);
    }
    const auto& f = std::get<ShadowFilter>(filter);
    s.blurX = f.blur.x;
    s.blurY = f.blur.y;
    s.quality = f.blur.passes;
    s.angle = f.angle * 180 / std::numbers::pi;
    s.distance = f.distance;
    s.strength = f.strength;
    s.knockout = f.knockout;
    s.inner = f.inner;
    s.hideObject = f.hideObject;
    s.type = f.onTop ? QStringLiteral("full") : f.inner ? QStringLiteral("inner") : QStringLiteral("outer");
    s.color = rgbOf(f.color);
    s.alpha = f.color.a;
    using SK = ShadowFilter::Kind;
    switch (f.kind) {
    case SK::DropShadow:
        return makeFilter(vm, Kind::DropShadow, "DropShadowFilter", s);
    case SK::Glow:
        return makeFilter(vm, Kind::Glow, "GlowFilter", s);
    case SK::Bevel:
        s.shadowColor = s.color;
        s.shadowAlpha = s.alpha;
        s.highlightColor = rgbOf(f.highlight);
        s.highlightAlpha = f.highlight.a;
        return makeFilter(vm, Kind::Bevel, "BevelFilter", s);
    case SK::GradientGlow:
    case SK::GradientBevel:
        break;
    }
    s.stops = int(std::min<std::size_t>(f.ramp.size(), kMaxStops));
    for (std::size_t i = 0; i < std::size_t(s.stops); ++i) {
        s.colors[i] = rgbOf(f.ramp[i].color);
        s.alphas[i] = f.ramp[i].color.a;
        s.ratios[i] = f.ramp[i].ratio;
    }
    return f.kind == SK::GradientGlow ? makeFilter(vm, Kind::GradientGlow, "GradientGlowFilter", s)
                                      : makeFilter(vm, Kind::GradientBevel, "GradientBevelFilter", s);
}

// The filters property of clips and buttons: copies of the object's filters, and setting
// an array of filter objects (what is no filter is left out).
Value getDisplayFilters(Vm& vm, CallArgs& c)
{
    DisplayObject* d = vm.engine() ? vm.engine()->displayOf(c.thisValue) : nullptr;
    if (!d)
        return Value();
    std::vector<Value> items;
    for (const Filter& f : readFilters(d->placement().filters))
        items.push_back(filterValue(vm, f));
    return Value(vm.newArray(std::move(items)));
}

Value setDisplayFilters(Vm& vm, CallArgs& c)
{
    DisplayObject* d = vm.engine() ? vm.engine()->displayOf(c.thisValue) : nullptr;
    Object* list = c[0].object();
    if (!d || !list)
        return Value();
    std::vector<Filter> filters;
    const int count = std::min(lengthOf(vm, list), 255);
    for (int i = 0; i < count; ++i)
        if (std::optional<Filter> f = filterOf(vm, vm.get(list, QString::number(i))))
            filters.push_back(std::move(*f));
    d->setFilters(filters.empty() ? std::vector<uint8_t>() : writeFilters(filters));
    return Value();
}

} // namespace

std::optional<Filter> filterOf(Vm&, const Value& v)
{
    FilterObject* f = filterSelf(v);
    if (!f || !f->made)
        return std::nullopt;
    const FilterState& s = f->s;
    const auto rgba = [](uint32_t rgb, uint8_t a) {
        return Rgba { uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), a };
    };
    const FilterBlur blur { s.blurX, s.blurY, s.quality };
    const double radians = s.angle * std::numbers::pi / 180;
    ShadowFilter shadow;
    shadow.blur = blur;
    shadow.angle = radians;
    shadow.distance = s.distance;
    shadow.strength = s.strength;
    shadow.knockout = s.knockout;
    const auto gradient = [&] {
        for (int i = 0; i < s.stops; ++i)
            shadow.ramp.push_back(GradientStop {
                s.ratios[std::size_t(i)], rgba(s.colors[std::size_t(i)], s.alphas[std::size_t(i)]) });
    };
    switch (f->kind) {
    case Kind::Blur:
        return Filter(BlurFilter { blur });
    case Kind::ColorMatrix: {
        ColorMatrixFilter m;
        for (std::size_t i = 0; i < 20 && i < s.matrix.size(); ++i)
            m.matrix[i] = std::isfinite(s.matrix[i]) ? float(s.matrix[i]) : 0.f;
        return Filter(m);
    }
    case Kind::Convolution: {
        ConvolutionFilter m;
        m.columns = s.matrixX;
        m.rows = s.matrixY;
        m.divisor = float(s.divisor);
        m.bias = float(s.bias);
        for (int i = 0; i < s.matrixX * s.matrixY; ++i)
            m.matrix.push_back(std::size_t(i) < s.matrix.size() && std::isfinite(s.matrix[std::size_t(i)])
                    ? float(s.matrix[std::size_t(i)])
                    : 0.f);
        m.defaultColor = rgba(s.color, s.alpha);
        m.clamp = s.clamp;
        m.preserveAlpha = s.preserveAlpha;
        return Filter(m);
    }
    case Kind::DisplacementMap:
        return std::nullopt;
    case Kind::DropShadow:
        shadow.kind = ShadowFilter::Kind::DropShadow;
        shadow.color = rgba(s.color, s.alpha);
        shadow.inner = s.inner;
        shadow.hideObject = s.hideObject;
        return Filter(shadow);
    case Kind::Glow:
        shadow.kind = ShadowFilter::Kind::Glow;
        shadow.color = rgba(s.color, s.alpha);
        shadow.inner = s.inner;
        shadow.distance = 0;
        return Filter(shadow);
    case Kind::Bevel:
        shadow.kind = ShadowFilter::Kind::Bevel;
        shadow.color = rgba(s.shadowColor, s.shadowAlpha);
        shadow.highlight = rgba(s.highlightColor, s.highlightAlpha);
        shadow.inner = s.type == QLatin1String("inner");
        shadow.onTop = s.type == QLatin1String("full");
        return Filter(shadow);
    case Kind::GradientBevel:
    case Kind::GradientGlow:
        shadow.kind = f->kind == Kind::GradientBevel ? ShadowFilter::Kind::GradientBevel
                                                     : ShadowFilter::Kind::GradientGlow;
        gradient();
        shadow.inner = s.type == QLatin1String("inner");
        shadow.onTop = s.type == QLatin1String("full");
        return Filter(shadow);
    }
    return std::nullopt;
}

void installFilters(Vm& vm)
{
    Ref<Object> base = vm.newObject();
    vm.protos().filter = base;
    vm.setInstanceFactory(base.get(), newFilterInstance);
    packageClass(vm, QStringLiteral("flash.filters"), QStringLiteral("BitmapFilter"), noop, base.get());
    vm.method(base.get(), QStringLiteral("clone"), cloneFilter);

    const ClassSpec classes[] = {
        { "BevelFilter", Kind::Bevel,
            { prop_distance, prop_angle, prop_highlightColor, prop_highlightAlpha, prop_shadowColor,
                prop_shadowAlpha, prop_quality, prop_strength, prop_knockout, prop_blurX, prop_blurY,
                prop_type },
            {} },
        { "BlurFilter", Kind::Blur, { prop_blurX, prop_blurY, prop_quality }, {} },
        { "ColorMatrixFilter", Kind::ColorMatrix, { prop_matrix }, {} },
        { "ConvolutionFilter", Kind::Convolution,
            { prop_matrixX, prop_matrixY, prop_convolutionMatrix, prop_divisor, prop_bias, prop_preserveAlpha,
                prop_clamp, prop_color, prop_alpha },
            {} },
        { "DisplacementMapFilter", Kind::DisplacementMap,
            { prop_mapBitmap, prop_mapPoint, prop_componentX, prop_componentY, prop_scaleX, prop_scaleY,
                prop_mode, prop_color, prop_alpha },
            {} },
        { "DropShadowFilter", Kind::DropShadow,
            { prop_distance, prop_angle, prop_color, prop_alpha, prop_quality, prop_inner, prop_knockout,
                prop_blurX, prop_blurY, prop_strength, prop_hideObject },
            {} },
        { "GlowFilter", Kind::Glow,
            { prop_color, prop_alpha, prop_quality, prop_inner, prop_knockout, prop_blurX, prop_blurY,
                prop_strength },
            {} },
        { "GradientBevelFilter", Kind::GradientBevel,
            { prop_distance, prop_angle, prop_colors, prop_alphas, prop_ratios, prop_blurX, prop_blurY,
                prop_quality, prop_strength, prop_knockout, prop_type },
            {} },
        { "GradientGlowFilter", Kind::GradientGlow,
            { prop_distance, prop_angle, prop_colors, prop_alphas, prop_ratios, prop_blurX, prop_blurY,
                prop_quality, prop_strength, prop_knockout, prop_type },
            {} },
    };
    const NativeFn ctors[] = { filterConstructor<Kind::Bevel>, filterConstructor<Kind::Blur>,
        filterConstructor<Kind::ColorMatrix>, filterConstructor<Kind::Convolution>,
        filterConstructor<Kind::DisplacementMap>, filterConstructor<Kind::DropShadow>,
        filterConstructor<Kind::Glow>, filterConstructor<Kind::GradientBevel>,
        filterConstructor<Kind::GradientGlow> };
    std::size_t i = 0;
    for (const ClassSpec& spec : classes) {
        Ref<Object> proto(new Object(vm, base.get()));
        packageClass(
            vm, QStringLiteral("flash.filters"), QString::fromLatin1(spec.name), ctors[i++], proto.get());
        for (const PropertySpec& p : spec.properties)
            vm.accessor(proto.get(), QString::fromLatin1(p.name), p.get, p.set, 0);
        vm.method(proto.get(), QStringLiteral("clone"), cloneFilter, 0);
    }
    for (Object* display : { vm.protos().movieClip.get(), vm.protos().button.get() })
        if (display)
            vm.accessor(display, QStringLiteral("filters"), getDisplayFilters, setDisplayFilters,
                kBuiltin | OnlySwf8);
}

} // namespace swf::script
