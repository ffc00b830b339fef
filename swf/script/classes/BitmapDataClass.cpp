// flash.display.BitmapData and MovieClip.attachBitmap. The pixel work is BitmapSurface's;
// this file reads the arguments as the reference player does and answers its codes: -1
// for a call with too few arguments or on a disposed bitmap, -2, -3, -4 ... for the
// first argument found wrong (a source that is no bitmap, a disposed source, a rectangle
// that is no rectangle).

#include "BitmapDataObject.h"
#include "Classes.h"
#include "FilterObjects.h"
#include "Native.h"
#include "Packages.h"

#include "swf/display/MovieClip.h"
#include "swf/display/Stage.h"
#include "swf/kinds/BitmapDataInstance.h"
#include "swf/render/BitmapLibrary.h"
#include "swf/render/ColorXform.h"
#include "swf/render/FilterEffects.h"
#include "swf/render/PerlinNoise.h"
#include "swf/render/Renderer.h"
#include "swf/script/ClipObject.h"
#include "swf/script/ScriptEngine.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace swf::script {
namespace {

constexpr double kFailed = -1;
// Coordinates past this are as good as infinitely far.
constexpr double kFar = 1e7;
// The most pixel touches one applyFilter may take (about a second's work).
constexpr double kMaxFilterWork = 3e8;

// BitmapData.prototype: also keeps the count of the pixels the movie's bitmaps hold.
class BitmapDataPrototype final : public Object {
public:
    explicit BitmapDataPrototype(Vm& vm)
        : Object(vm, vm.protos().object.get())
    {
    }
    std::shared_ptr<PixelBudget> budget = std::make_shared<PixelBudget>();
};

std::shared_ptr<PixelBudget> budgetOf(Vm& vm)
{
    auto* proto = dynamic_cast<BitmapDataPrototype*>(vm.protos().bitmapData.get());
    return proto ? proto->budget : nullptr;
}

Ref<Object> newBitmapDataInstance(Vm& vm, Object* proto)
{
    return Ref<Object>(new BitmapDataObject(vm, proto));
}

BitmapSurface* selfPixels(CallArgs& c)
{
    return livePixels(c.thisValue);
}

int whole(Vm& vm, const Value& v)
{
    const double n = vm.toNumber(v);
    return std::isfinite(n) ? int(std::clamp(std::trunc(n), -kFar, kFar)) : 0;
}

Object* geomClass(Vm& vm, const char* name)
{
    return vm.get(package(vm, QStringLiteral("flash.geom")), QString::fromLatin1(name)).object();
}

// A rectangle argument: any object with x, y, width and height.
std::optional<QRect> readRect(Vm& vm, const Value& v)
{
    Object* o = v.object();
    if (!o)
        return std::nullopt;
    for (const char* name : { "x", "y", "width", "height" })
        if (!vm.has(o, QString::fromLatin1(name)))
            return std::nullopt;
    const int x = whole(vm, vm.get(o, QStringLiteral("x")));
    const int y = whole(vm, vm.get(o, QStringLiteral("y")));
    const int w = whole(vm, vm.get(o, QStringLiteral("width")));
    const int h = whole(vm, vm.get(o, QStringLiteral("height")));
    return QRect(x, y, std::max(0, w), std::max(0, h));
}

// A point argument: x and y of any object, 0 where missing.
QPoint readPoint(Vm& vm, const Value& v)
{
    Object* o = v.object();
    if (!o)
        return {};
    return QPoint(whole(vm, vm.get(o, QStringLiteral("x"))), whole(vm, vm.get(o, QStringLiteral("y"))));
}

Value makeRectangle(Vm& vm, const QRect& r)
{
    const Value args[] = { double(r.x()), double(r.y()), double(r.width()), double(r.height()) };
    return vm.construct(Value(geomClass(vm, "Rectangle")), args);
}

// The source, rectangle and point that open most methods, checked in order; the code of
// the first that is wrong.
struct CopyArgs {
    BitmapSurface* source = nullptr;
    QRect area;
    QPoint at;
};

std::optional<double> readCopyArgs(Vm& vm, CallArgs& c, CopyArgs& out)
{
    BitmapDataObject* source = asBitmapData(c[0]);
    if (!source)
        return -2.0;
    if (!source->pixels)
        return -3.0;
    const std::optional<QRect> area = readRect(vm, c[1]);
    if (!area)
        return -4.0;
    out = { source->pixels.get(), *area, readPoint(vm, c[2]) };
    return std::nullopt;
}

// ---- The class ----------------------------------------------------------------------------

Value constructor(Vm& vm, CallArgs& c)
{
    BitmapDataObject* self = asBitmapData(c.thisValue);
    if (!self || c.size() < 2)
        return Value();
    const int width = whole(vm, c[0]);
    const int height = whole(vm, c[1]);
    const bool transparent = c.size() > 2 ? vm.toBoolean(c[2]) : true;
    const uint32_t fill = c.size() > 3 ? vm.toUint32(c[3]) : 0xFFFFFFFFu;
    self->pixels = BitmapSurface::make(width, height, transparent, fill, budgetOf(vm));
    // From SWF 9 on a size out of range makes no object at all.
    if (!self->pixels && vm.version() >= 9)
        return Value::null();
    return Value();
}

Value getWidth(Vm&, CallArgs& c)
{
    const BitmapSurface* p = selfPixels(c);
    return p ? double(p->width()) : kFailed;
}

Value getHeight(Vm&, CallArgs& c)
{
    const BitmapSurface* p = selfPixels(c);
    return p ? double(p->height()) : kFailed;
}

Value getTransparent(Vm&, CallArgs& c)
{
    const BitmapSurface* p = selfPixels(c);
    return p ? Value(p->transparent()) : Value(kFailed);
}

Value getRectangle(Vm& vm, CallArgs& c)
{
    const BitmapSurface* p = selfPixels(c);
    return p ? makeRectangle(vm, p->rect()) : Value(kFailed);
}

Value getPixel(Vm& vm, CallArgs& c)
{
    const BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 2)
        return kFailed;
    return double(p->pixel32(whole(vm, c[0]), whole(vm, c[1])) & 0xFFFFFF);
}

Value getPixel32(Vm& vm, CallArgs& c)
{
    const BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 2)
        return kFailed;
    return double(int32_t(p->pixel32(whole(vm, c[0]), whole(vm, c[1]))));
}

template <bool WithAlpha> Value setPixel(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 3)
        return kFailed;
    const int x = whole(vm, c[0]);
    const int y = whole(vm, c[1]);
    const uint32_t color = vm.toUint32(c[2]);
    if (WithAlpha)
        p->setPixel32(x, y, color);
    else
        p->setPixel(x, y, color);
    return 0.0;
}

Value fillRect(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 2)
        return kFailed;
    const std::optional<QRect> area = readRect(vm, c[0]);
    if (!area)
        return -2.0;
    p->fillRect(*area, vm.toUint32(c[1]));
    return kFailed;
}

Value copyPixels(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 3)
        return kFailed;
    CopyArgs a;
    if (const auto code = readCopyArgs(vm, c, a))
        return *code;
    const BitmapSurface* alpha = livePixels(c[3]);
    const QPoint alphaAt = readPoint(vm, c[4]);
    p->copyPixels(*a.source, a.area, a.at, alpha, alphaAt, c.size() > 5 && vm.toBoolean(c[5]));
    return kFailed;
}

Value colorTransform(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 2)
        return kFailed;
    const std::optional<QRect> area = readRect(vm, c[0]);
    if (!area)
        return -2.0;
    Object* ct = c[1].object();
    if (!ct || !vm.instanceOf(c[1], geomClass(vm, "ColorTransform")))
        return -3.0;
    const auto field = [&](const char* name) { return vm.toNumber(vm.get(ct, QString::fromLatin1(name))); };
    p->colorTransform(*area,
        { field("redMultiplier"), field("greenMultiplier"), field("blueMultiplier"),
            field("alphaMultiplier") },
        { field("redOffset"), field("greenOffset"), field("blueOffset"), field("alphaOffset") });
    return kFailed;
}

Value copyChannel(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 5)
        return kFailed;
    CopyArgs a;
    if (const auto code = readCopyArgs(vm, c, a))
        return *code;
    p->copyChannel(*a.source, a.area, a.at, vm.toInt32(c[3]), vm.toInt32(c[4]));
    return kFailed;
}

Value floodFill(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 3)
        return kFailed;
    return p->floodFill(whole(vm, c[0]), whole(vm, c[1]), vm.toUint32(c[2])) ? 1.0 : 0.0;
}

std::optional<BitmapSurface::Compare> comparison(const QString& op)
{
    using C = BitmapSurface::Compare;
    static const std::pair<const char*, C> ops[] = { { "<", C::Less }, { "<=", C::LessEqual },
        { ">", C::Greater }, { ">=", C::GreaterEqual }, { "==", C::Equal }, { "!=", C::NotEqual } };
    for (const auto& [name, value] : ops)
        if (op == QLatin1String(name))
            return value;
    return std::nullopt;
}

Value threshold(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 5)
        return kFailed;
    CopyArgs a;
    if (const auto code = readCopyArgs(vm, c, a))
        return *code;
    // An operation of no known name compares as "<".
    const BitmapSurface::Compare test = comparison(vm.toString(c[3])).value_or(BitmapSurface::Compare::Less);
    const uint32_t value = vm.toUint32(c[4]);
    const uint32_t color = c.size() > 5 ? vm.toUint32(c[5]) : 0;
    const uint32_t mask = c.size() > 6 ? vm.toUint32(c[6]) : 0xFFFFFFFFu;
    const bool copySource = c.size() > 7 && vm.toBoolean(c[7]);
    return double(p->threshold(*a.source, a.area, a.at, test, value, color, mask, copySource));
}

bool isPoint(Vm& vm, const Value& v)
{
    Object* o = v.object();
    return o && vm.has(o, QStringLiteral("x")) && vm.has(o, QStringLiteral("y"));
}

// hitTest(firstPoint, firstAlphaThreshold, second, secondPoint, secondAlphaThreshold):
// `second` a bitmap (at secondPoint), a rectangle or a point, all in one space where this
// bitmap's top left is at firstPoint.
Value hitTest(Vm& vm, CallArgs& c)
{
    const BitmapSurface* p = selfPixels(c);
    if (!p)
        return kFailed;
    if (!isPoint(vm, c[0]))
        return -2.0;
    const QPoint first = readPoint(vm, c[0]);
    const int firstThreshold = std::clamp(whole(vm, c[1]), 0, 255);
    if (const BitmapDataObject* other = asBitmapData(c[2])) {
        if (!other->pixels)
            return -3.0;
        if (c[3].isUndefined())
            return -2.0;
        if (!isPoint(vm, c[3]))
            return -4.0;
        const QPoint second = readPoint(vm, c[3]);
        const int secondThreshold = std::clamp(whole(vm, c[4]), 0, 255);
        const QRect overlap
            = p->rect().translated(first).intersected(other->pixels->rect().translated(second));
        for (int y = overlap.top(); y <= overlap.bottom(); ++y)
            for (int x = overlap.left(); x <= overlap.right(); ++x)
                if (p->alphaAt(x - first.x(), y - first.y()) >= firstThreshold
                    && other->pixels->alphaAt(x - second.x(), y - second.y()) >= secondThreshold)
                    return true;
        return false;
    }
    if (const std::optional<QRect> area = readRect(vm, c[2]))
        return p->anyAlphaAtLeast(area->translated(-first), firstThreshold);
    if (!isPoint(vm, c[2]))
        return -3.0;
    const QPoint at = readPoint(vm, c[2]) - first;
    return p->rect().contains(at) && p->alphaAt(at.x(), at.y()) >= firstThreshold;
}

Value getColorBoundsRect(Vm& vm, CallArgs& c)
{
    const BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 2)
        return kFailed;
    const bool find = c.size() > 2 ? vm.toBoolean(c[2]) : true;
    return makeRectangle(vm, p->colorBounds(vm.toUint32(c[0]), vm.toUint32(c[1]), find));
}

Value noise(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 1)
        return kFailed;
    p->noise(vm.toInt32(c[0]), c.size() > 1 ? whole(vm, c[1]) : 0, c.size() > 2 ? whole(vm, c[2]) : 255,
        c.size() > 3 ? vm.toInt32(c[3]) : 7, c.size() > 4 && vm.toBoolean(c[4]));
    return kFailed;
}

Value perlinNoise(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 6)
        return kFailed;
    PerlinOptions o;
    const auto finite = [&](const Value& v) {
        const double n = vm.toNumber(v);
        return std::isfinite(n) ? std::clamp(n, -kFar, kFar) : 0.0;
    };
    o.baseX = finite(c[0]);
    o.baseY = finite(c[1]);
    o.octaves = whole(vm, c[2]);
    o.seed = vm.toInt32(c[3]);
    o.stitch = vm.toBoolean(c[4]);
    o.fractal = vm.toBoolean(c[5]);
    o.channels = c.size() > 6 ? vm.toInt32(c[6]) : 7;
    o.grey = c.size() > 7 && vm.toBoolean(c[7]);
    if (Object* offsets = c[8].object()) {
        const int count = std::clamp(whole(vm, vm.get(offsets, QStringLiteral("length"))), 0, 64);
        for (int i = 0; i < count; ++i) {
            const Value point = vm.get(offsets, QString::number(i));
            Object* po = point.object();
            o.offsets.emplace_back(po ? finite(vm.get(po, QStringLiteral("x"))) : 0.0,
                po ? finite(vm.get(po, QStringLiteral("y"))) : 0.0);
        }
    }
    swf::perlinNoise(*p, o);
    return kFailed;
}

Value pixelDissolve(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 3)
        return kFailed;
    CopyArgs a;
    if (const auto code = readCopyArgs(vm, c, a))
        return *code;
    const int seed = c.size() > 3 ? vm.toInt32(c[3]) : 0;
    const int area = std::max(0, a.area.width()) * std::max(0, a.area.height());
    const int count = c.size() > 4 ? whole(vm, c[4]) : area / 30;
    const uint32_t fill = c.size() > 5 ? vm.toUint32(c[5]) : 0;
    return double(p->pixelDissolve(*a.source, a.area, a.at, seed, count, fill));
}

Value merge(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 7)
        return kFailed;
    CopyArgs a;
    if (const auto code = readCopyArgs(vm, c, a))
        return *code;
    p->merge(*a.source, a.area, a.at, { whole(vm, c[3]), whole(vm, c[4]), whole(vm, c[5]), whole(vm, c[6]) });
    return kFailed;
}

Value paletteMap(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 3)
        return kFailed;
    CopyArgs a;
    if (const auto code = readCopyArgs(vm, c, a))
        return *code;
    std::array<std::array<uint32_t, 256>, 4> tables {};
    std::array<const std::array<uint32_t, 256>*, 4> given {};
    for (std::size_t i = 0; i < 4; ++i) {
        Object* array = c[3 + i].object();
        if (!array)
            continue;
        for (int k = 0; k < 256; ++k)
            tables[i][std::size_t(k)] = vm.toUint32(vm.get(array, QString::number(k)));
        given[i] = &tables[i];
    }
    p->paletteMap(*a.source, a.area, a.at, given);
    return kFailed;
}

Value scroll(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 2)
        return kFailed;
    p->scroll(whole(vm, c[0]), whole(vm, c[1]));
    return kFailed;
}

Value compare(Vm& vm, CallArgs& c)
{
    const BitmapSurface* p = selfPixels(c);
    if (!p)
        return kFailed;
    BitmapDataObject* other = asBitmapData(c[0]);
    if (!other)
        return -1.0;
    if (!other->pixels)
        return -2.0;
    if (other->pixels->width() != p->width())
        return -3.0;
    if (other->pixels->height() != p->height())
        return -4.0;
    std::shared_ptr<BitmapSurface> diff = BitmapSurface::difference(*p, *other->pixels);
    return diff ? Value(newBitmapData(vm, std::move(diff))) : Value(0.0);
}

Value cloneBitmap(Vm& vm, CallArgs& c)
{
    const BitmapSurface* p = selfPixels(c);
    if (!p)
        return kFailed;
    std::shared_ptr<BitmapSurface> copy = p->clone();
    return copy ? Value(newBitmapData(vm, std::move(copy))) : Value();
}

Value dispose(Vm&, CallArgs& c)
{
    if (BitmapDataObject* self = asBitmapData(c.thisValue))
        self->pixels.reset();
    return Value();
}

// draw(source, matrix, colorTransform, blendMode, clipRect, smoothing): a clip through
// the renderer, or another bitmap, laid over the pixels.
Value draw(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 1)
        return kFailed;
    QTransform matrix;
    if (Object* m = c[1].object()) {
        const auto field = [&](const char* name) {
            const double v = vm.toNumber(vm.get(m, QString::fromLatin1(name)));
            return std::isfinite(v) ? v : 0.0;
        };
        matrix = QTransform(field("a"), field("b"), field("c"), field("d"), field("tx"), field("ty"));
    }
    ColorTransform cx;
    if (Object* ct = c[2].object(); ct && vm.instanceOf(c[2], geomClass(vm, "ColorTransform"))) {
        const auto field = [&](const char* name, double scale) {
            const double v = vm.toNumber(vm.get(ct, QString::fromLatin1(name))) * scale;
            return int16_t(std::isfinite(v) ? std::clamp(v, -32768.0, 32767.0) : 0.0);
        };
        cx = ColorTransform { field("redMultiplier", 256), field("greenMultiplier", 256),
            field("blueMultiplier", 256), field("alphaMultiplier", 256), field("redOffset", 1),
            field("greenOffset", 1), field("blueOffset", 1), field("alphaOffset", 1) };
    }
    const std::optional<QRect> clip = readRect(vm, c[4]);
    const bool smoothing = c.size() > 5 && vm.toBoolean(c[5]);
    ScriptEngine* engine = vm.engine();
    if (!engine)
        return kFailed;
    const QTransform view = QTransform::fromScale(1 / 20.0, 1 / 20.0) * matrix;
    // A bitmap source is drawn as if shown on the stage, from a copy when it is the target.
    std::unique_ptr<BitmapDataInstance> shown;
    std::shared_ptr<const BitmapSurface> pixels;
    DisplayObject* display = nullptr;
    if (const BitmapDataObject* source = asBitmapData(c[0])) {
        if (!source->pixels)
            return kFailed;
        pixels = source->pixels;
        if (source->pixels.get() == p)
            pixels = p->clone();
        if (!pixels)
            return kFailed;
        shown = std::make_unique<BitmapDataInstance>(engine->stage(), pixels, 0, smoothing);
        display = shown.get();
    } else {
        display = engine->displayOf(c[0]);
    }
    if (!display)
        return kFailed;
    const QRect area = clip ? *clip : p->rect();
    Renderer renderer;
    renderer.drawObjectInto(p->image(), engine->stage(), *display, view, ColorXform::from(cx), &area);
    p->touch();
    return kFailed;
}

Value applyFilter(Vm& vm, CallArgs& c)
{
    BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 4)
        return kFailed;
    CopyArgs a;
    if (const auto code = readCopyArgs(vm, c, a))
        return *code;
    const std::optional<Filter> filter = filterOf(vm, c[3]);
    if (!filter)
        return -5.0;
    const auto cut = QRect(a.area.intersected(a.source->rect()));
    if (cut.isEmpty())
        return kFailed;
    QImage work = a.source->image().copy(cut);
    const FilterChain chain(std::span<const Filter>(&*filter, 1), 1.0);
    if (chain.work(double(cut.width()) * cut.height()) > kMaxFilterWork)
        return kFailed;
    chain.apply(work);
    std::shared_ptr<BitmapSurface> result = BitmapSurface::make(cut.width(), cut.height(), true, 0);
    if (!result)
        return kFailed;
    result->image() = work;
    p->copyPixels(
        *result, result->rect(), a.at + (cut.topLeft() - a.area.topLeft()), nullptr, QPoint(), false);
    return kFailed;
}

Value generateFilterRect(Vm& vm, CallArgs& c)
{
    const BitmapSurface* p = selfPixels(c);
    if (!p || c.size() < 2)
        return kFailed;
    const std::optional<QRect> area = readRect(vm, c[0]);
    const std::optional<Filter> filter = filterOf(vm, c[1]);
    if (!area || !filter)
        return kFailed;
    const FilterChain chain(std::span<const Filter>(&*filter, 1), 1.0);
    return makeRectangle(vm, area->marginsAdded(chain.margins()));
}

// BitmapData.loadBitmap(linkage name): a bitmap of the pixels of a bitmap character the
// movie exports under that name.
Value loadBitmap(Vm& vm, CallArgs& c)
{
    ScriptEngine* engine = vm.engine();
    if (!engine || c.size() < 1)
        return Value();
    const Movie& movie = engine->stage().root().movie();
    const std::optional<uint16_t> id = engine->exportedCharacter(movie, vm.toString(c[0]));
    if (!id)
        return Value();
    const std::shared_ptr<const QImage> image = bitmapImage(movie, *id, engine->stage().decoded());
    if (!image)
        return Value();
    std::shared_ptr<BitmapSurface> pixels
        = BitmapSurface::make(image->width(), image->height(), true, 0, budgetOf(vm));
    if (!pixels)
        return Value();
    pixels->image() = image->convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return Value(newBitmapData(vm, std::move(pixels)));
}

// MovieClip.attachBitmap(bitmap, depth, pixelSnapping, smoothing)
Value attachBitmap(Vm& vm, CallArgs& c)
{
    ScriptEngine* engine = vm.engine();
    MovieClip* clip = engine ? engine->movieClipOf(c.thisValue) : nullptr;
    BitmapDataObject* bitmap = asBitmapData(c[0]);
    if (!clip || !bitmap || !bitmap->pixels || c.size() < 2)
        return Value();
    const double depth = vm.toNumber(c[1]);
    if (!std::isfinite(depth))
        return Value();
    const int scriptDepth = int(std::clamp(depth, -2e9, 2e9));
    const bool smoothing = c.size() > 3 && vm.toBoolean(c[3]);
    auto shown = std::make_unique<BitmapDataInstance>(
        engine->stage(), bitmap->pixels, scriptDepth + kScriptDepthOffset, smoothing);
    clip->adoptByScript(std::move(shown), std::string(), scriptDepth);
    return Value();
}

} // namespace

Ref<Object> newBitmapData(Vm& vm, std::shared_ptr<BitmapSurface> pixels)
{
    Ref<Object> made = newBitmapDataInstance(vm, vm.protos().bitmapData.get());
    static_cast<BitmapDataObject*>(made.get())->pixels = std::move(pixels);
    return made;
}

void installBitmapData(Vm& vm)
{
    Ref<Object> proto(new BitmapDataPrototype(vm));
    vm.protos().bitmapData = proto;
    vm.setInstanceFactory(proto.get(), newBitmapDataInstance);
    Ref<NativeFunction> ctor = packageClass(
        vm, QStringLiteral("flash.display"), QStringLiteral("BitmapData"), constructor, proto.get());
    vm.accessor(proto.get(), QStringLiteral("width"), getWidth, nullptr);
    vm.accessor(proto.get(), QStringLiteral("height"), getHeight, nullptr);
    vm.accessor(proto.get(), QStringLiteral("transparent"), getTransparent, nullptr);
    vm.accessor(proto.get(), QStringLiteral("rectangle"), getRectangle, nullptr);
    defineMethods(vm, proto.get(),
        { { "getPixel", getPixel }, { "getPixel32", getPixel32 }, { "setPixel", setPixel<false> },
            { "setPixel32", setPixel<true> }, { "fillRect", fillRect }, { "copyPixels", copyPixels },
            { "colorTransform", colorTransform }, { "copyChannel", copyChannel }, { "floodFill", floodFill },
            { "threshold", threshold }, { "hitTest", hitTest }, { "getColorBoundsRect", getColorBoundsRect },
            { "noise", noise }, { "perlinNoise", perlinNoise }, { "pixelDissolve", pixelDissolve },
            { "merge", merge }, { "paletteMap", paletteMap }, { "scroll", scroll }, { "compare", compare },
            { "clone", cloneBitmap }, { "dispose", dispose }, { "draw", draw },
            { "applyFilter", applyFilter }, { "generateFilterRect", generateFilterRect } });
    vm.method(ctor.get(), QStringLiteral("loadBitmap"), loadBitmap);
    const std::pair<const char*, double> channels[]
        = { { "RED_CHANNEL", 1 }, { "GREEN_CHANNEL", 2 }, { "BLUE_CHANNEL", 4 }, { "ALPHA_CHANNEL", 8 } };
    for (const auto& [name, value] : channels)
        ctor->define(QString::fromLatin1(name), Value(value), 0);
    if (Object* clipProto = vm.protos().movieClip.get())
        vm.method(clipProto, QStringLiteral("attachBitmap"), attachBitmap, kBuiltin | OnlySwf8);
}

} // namespace swf::script
