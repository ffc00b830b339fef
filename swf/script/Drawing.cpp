// The drawing methods of MovieClip: lines, fills and gradients drawn into the clip's
// ScriptDrawing, in pixels turned into twips; and what else shapes what a clip shows:
// setMask and scrollRect.

#include "Drawing.h"

#include "ScriptEngine.h"
#include "classes/Classes.h"
#include "classes/Native.h"

#include "swf/display/MovieClip.h"

#include <algorithm>
#include <cmath>

namespace swf::script {
namespace {

constexpr double kTwips = 20;
// The gradient square is 32768 twips wide: 1638.4 pixels.
constexpr double kGradientPixels = 1638.4;
// Coordinates past this many twips are held there, so that no edge overflows.
constexpr double kFarthest = 1 << 29;

MovieClip* thisClip(Vm& vm, CallArgs& c)
{
    return vm.engine()->movieClipOf(c.thisValue);
}

int32_t twips(double pixels)
{
    if (std::isnan(pixels))
        return 0;
    return int32_t(std::clamp(std::round(pixels * kTwips), -kFarthest, kFarthest));
}

Point pointArg(Vm& vm, CallArgs& c, size_t i)
{
    return Point { twips(argNumber(vm, c, i)), twips(argNumber(vm, c, i + 1)) };
}

// An alpha of 0 to 100, as the drawing methods take it, into a byte.
uint8_t alphaByte(double percent)
{
    if (std::isnan(percent))
        return 0;
    return uint8_t(std::lround(std::clamp(percent, 0.0, 100.0) * 2.55));
}

Rgba colorOf(Vm& vm, const Value& rgb, double alphaPercent)
{
    const uint32_t v = uint32_t(vm.toInt32(rgb));
    return Rgba { uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v), alphaByte(alphaPercent) };
}

double memberNumber(Vm& vm, Object* o, const char* name)
{
    return vm.toNumber(vm.get(o, QString::fromLatin1(name)));
}

bool hasMember(Vm& vm, Object* o, const char* name)
{
    return !vm.get(o, QString::fromLatin1(name)).isUndefined();
}

// The gradient's matrix in any of its three forms: a box ({matrixType: "box", x, y, w,
// h, r}), a flash.geom.Matrix ({a, b, c, d, tx, ty}, in pixels over the 1638.4-pixel
// square) or the older 3x3 form ({a, b, d, e, g, h}, over a square one pixel wide).
Matrix gradientMatrix(Vm& vm, const Value& value)
{
    Matrix m;
    Object* o = value.object();
    if (!o)
        return m;
    const auto number = [&](const char* name) {
        const double v = memberNumber(vm, o, name);
        return std::isfinite(v) ? v : 0.0;
    };
    if (vm.toString(vm.get(o, QStringLiteral("matrixType"))) == QLatin1String("box")) {
        const double w = number("w"), h = number("h"), r = number("r");
        m.a = std::cos(r) * w / kGradientPixels;
        m.b = std::sin(r) * w / kGradientPixels;
        m.c = -std::sin(r) * h / kGradientPixels;
        m.d = std::cos(r) * h / kGradientPixels;
        m.tx = (number("x") + w / 2) * kTwips;
        m.ty = (number("y") + h / 2) * kTwips;
    } else if (hasMember(vm, o, "tx") || hasMember(vm, o, "ty") || hasMember(vm, o, "c")) {
        m.a = number("a");
        m.b = number("b");
        m.c = number("c");
        m.d = number("d");
        m.tx = number("tx") * kTwips;
        m.ty = number("ty") * kTwips;
    } else {
        m.a = number("a") / kGradientPixels;
        m.b = number("b") / kGradientPixels;
        m.c = number("d") / kGradientPixels;
        m.d = number("e") / kGradientPixels;
        m.tx = number("g") * kTwips;
        m.ty = number("h") * kTwips;
    }
    return m;
}

// beginGradientFill's and lineGradientStyle's arguments (type, colors, alphas, ratios,
// matrix, spreadMethod, interpolationMethod, focalPointRatio); none when they do not
// make a gradient.
std::optional<FillStyle> gradientFill(Vm& vm, CallArgs& c)
{
    // The matrix is needed, and a call with more than the eight arguments is refused.
    if (c.size() < 5 || c.size() > 8)
        return std::nullopt;
    Object* colors = c[1].object();
    Object* alphas = c[2].object();
    Object* ratios = c[3].object();
    if (!colors || !alphas || !ratios)
        return std::nullopt;
    const auto lengthOf = [&](Object* o) {
        const double n = memberNumber(vm, o, "length");
        return std::isfinite(n) && n > 0 ? size_t(std::min(n, 15.0)) : size_t(0);
    };
    const size_t count = lengthOf(colors);
    if (count == 0 || lengthOf(alphas) != count || lengthOf(ratios) != count)
        return std::nullopt;
    FillStyle fill;
    const QString type = vm.toString(c[0]);
    if (type == QLatin1String("linear"))
        fill.kind = FillStyle::Kind::LinearGradient;
    else if (type == QLatin1String("radial"))
        fill.kind = FillStyle::Kind::RadialGradient;
    else
        return std::nullopt;
    Gradient& g = fill.gradient;
    for (size_t i = 0; i < count; ++i) {
        const QString index = QString::number(i);
        const double ratio = vm.toNumber(vm.get(ratios, index));
        // Whole ratios only; one past the range makes no gradient at all.
        const double whole = std::isnan(ratio) ? 0 : std::trunc(ratio);
        if (whole < 0 || whole > 255)
            return std::nullopt;
        GradientStop stop;
        stop.ratio = uint8_t(whole);
        stop.color = colorOf(vm, vm.get(colors, index), vm.toNumber(vm.get(alphas, index)));
        g.stops.push_back(stop);
    }
    g.matrix = gradientMatrix(vm, c[4]);
    const QString spread = argString(vm, c, 5);
    g.spread = spread == QLatin1String("reflect") ? Gradient::Spread::Reflect
        : spread == QLatin1String("repeat")       ? Gradient::Spread::Repeat
                                                  : Gradient::Spread::Pad;
    if (argString(vm, c, 6) == QLatin1String("linearRGB"))
        g.interpolation = Gradient::Interpolation::Linear;
    const double focal = argNumber(vm, c, 7, 0);
    if (fill.kind == FillStyle::Kind::RadialGradient && std::isfinite(focal) && focal != 0) {
        fill.kind = FillStyle::Kind::FocalRadialGradient;
        // Kept in 8.8 fixed point, as a shape record keeps it.
        g.focalPoint = std::trunc(std::clamp(focal, -1.0, 1.0) * 256) / 256;
    }
    return fill;
}

Value lineStyle(Vm& vm, CallArgs& c)
{
    MovieClip* clip = thisClip(vm, c);
    if (!clip)
        return Value();
    if (c.size() == 0 || c[0].isUndefined()) {
        clip->scriptDrawing().setLine(std::nullopt);
        return Value();
    }
    LineStyle line;
    const double thickness = vm.toNumber(c[0]);
    line.width
        = uint16_t(std::lround((std::isnan(thickness) ? 0 : std::clamp(thickness, 0.0, 255.0)) * kTwips));
    line.color = colorOf(vm, c.size() > 1 ? c[1] : Value(0), argNumber(vm, c, 2, 100));
    line.pixelHinting = c.size() > 3 && vm.toBoolean(c[3]);
    const QString scale = argString(vm, c, 4);
    line.noHScale = scale == QLatin1String("none") || scale == QLatin1String("vertical");
    line.noVScale = scale == QLatin1String("none") || scale == QLatin1String("horizontal");
    const QString caps = argString(vm, c, 5);
    line.startCap = line.endCap = caps == QLatin1String("none") ? LineStyle::Cap::None
        : caps == QLatin1String("square")                       ? LineStyle::Cap::Square
                                                                : LineStyle::Cap::Round;
    const QString join = argString(vm, c, 6);
    line.join = join == QLatin1String("miter") ? LineStyle::Join::Miter
        : join == QLatin1String("bevel")       ? LineStyle::Join::Bevel
                                               : LineStyle::Join::Round;
    const double miter = argNumber(vm, c, 7, 3);
    line.miterLimit = std::isnan(miter) ? 3 : std::clamp(miter, 1.0, 255.0);
    clip->scriptDrawing().setLine(line);
    return Value();
}

Value lineGradientStyle(Vm& vm, CallArgs& c)
{
    if (MovieClip* clip = thisClip(vm, c))
        if (const auto fill = gradientFill(vm, c))
            clip->scriptDrawing().setLineFill(*fill);
    return Value();
}

Value beginFill(Vm& vm, CallArgs& c)
{
    MovieClip* clip = thisClip(vm, c);
    if (!clip)
        return Value();
    if (c.size() == 0 || c[0].isUndefined()) {
        clip->scriptDrawing().endFill();
        return Value();
    }
    FillStyle fill;
    fill.color = colorOf(vm, c[0], argNumber(vm, c, 1, 100));
    clip->scriptDrawing().beginFill(fill);
    return Value();
}

Value beginGradientFill(Vm& vm, CallArgs& c)
{
    MovieClip* clip = thisClip(vm, c);
    if (!clip)
        return Value();
    if (const auto fill = gradientFill(vm, c))
        clip->scriptDrawing().beginFill(*fill);
    else
        clip->scriptDrawing().endFill();
    return Value();
}

Value endFill(Vm& vm, CallArgs& c)
{
    if (MovieClip* clip = thisClip(vm, c))
        clip->scriptDrawing().endFill();
    return Value();
}

Value moveTo(Vm& vm, CallArgs& c)
{
    if (MovieClip* clip = thisClip(vm, c); clip && c.size() >= 2)
        clip->scriptDrawing().moveTo(pointArg(vm, c, 0));
    return Value();
}

Value lineTo(Vm& vm, CallArgs& c)
{
    if (MovieClip* clip = thisClip(vm, c); clip && c.size() >= 2)
        clip->scriptDrawing().lineTo(pointArg(vm, c, 0));
    return Value();
}

Value curveTo(Vm& vm, CallArgs& c)
{
    if (MovieClip* clip = thisClip(vm, c); clip && c.size() >= 4)
        clip->scriptDrawing().curveTo(pointArg(vm, c, 0), pointArg(vm, c, 2));
    return Value();
}

Value clear(Vm& vm, CallArgs& c)
{
    if (MovieClip* clip = thisClip(vm, c))
        clip->scriptDrawing().clear();
    return Value();
}

// MovieClip.scrollRect: a Rectangle in pixels, or undefined.
Value getScrollRect(Vm& vm, CallArgs& c)
{
    const DisplayObject* d = vm.engine()->displayOf(c.thisValue);
    if (!d || !d->scrollRect())
        return Value();
    const QRectF r = *d->scrollRect();
    return makeRectangle(vm, r.x() / kTwips, r.y() / kTwips, r.width() / kTwips, r.height() / kTwips);
}

Value setScrollRect(Vm& vm, CallArgs& c)
{
    DisplayObject* d = vm.engine()->displayOf(c.thisValue);
    if (!d)
        return Value();
    Object* rect = c[0].object();
    if (!rect) {
        d->setScrollRect(std::nullopt);
        return Value();
    }
    const auto number = [&](const char* name) {
        const double v = memberNumber(vm, rect, name);
        return std::isfinite(v) ? std::clamp(v * kTwips, -kFarthest, kFarthest) : 0.0;
    };
    const double width = std::max(0.0, number("width"));
    const double height = std::max(0.0, number("height"));
    d->setScrollRect(QRectF(number("x"), number("y"), width, height));
    return Value();
}

} // namespace

void installDrawingMethods(Vm& vm, Object* movieClipPrototype)
{
    defineMethods(vm, movieClipPrototype,
        { { "lineStyle", lineStyle }, { "beginFill", beginFill }, { "beginGradientFill", beginGradientFill },
            { "moveTo", moveTo }, { "lineTo", lineTo }, { "curveTo", curveTo }, { "endFill", endFill },
            { "clear", clear } },
        kBuiltin | OnlySwf6);
    defineMethods(
        vm, movieClipPrototype, { { "lineGradientStyle", lineGradientStyle } }, kBuiltin | OnlySwf8);
    vm.accessor(
        movieClipPrototype, QStringLiteral("scrollRect"), getScrollRect, setScrollRect, kBuiltin | OnlySwf8);
}

void setScriptMask(DisplayObject& object, DisplayObject* mask)
{
    linkScriptMask(object, mask);
}

} // namespace swf::script
