// MovieClip: timeline control, clips made and removed, depths, bounds and hit tests,
// coordinates, dragging, loading.

#include "Classes.h"
#include "Native.h"

#include "swf/display/Stage.h"
#include "swf/script/Builtins.h"
#include "swf/script/ClipObject.h"
#include "swf/script/Drawing.h"
#include "swf/script/ScriptEngine.h"

namespace swf::script {
namespace {

ScriptEngine& engineOf(Vm& vm)
{
    return *vm.engine();
}

DisplayObject* thisDisplay(Vm& vm, CallArgs& c)
{
    return engineOf(vm).displayOf(c.thisValue);
}

MovieClip* thisClip(Vm& vm, CallArgs& c)
{
    return engineOf(vm).movieClipOf(c.thisValue);
}

Value play(Vm& vm, CallArgs& c)
{
    if (MovieClip* clip = thisClip(vm, c))
        clip->play();
    return Value();
}

Value stop(Vm& vm, CallArgs& c)
{
    if (MovieClip* clip = thisClip(vm, c))
        clip->stop();
    return Value();
}

Value nextFrame(Vm& vm, CallArgs& c)
{
    if (MovieClip* clip = thisClip(vm, c))
        engineOf(vm).gotoClipFrame(*clip, clip->currentFrame() + 1, 0, false);
    return Value();
}

Value prevFrame(Vm& vm, CallArgs& c)
{
    if (MovieClip* clip = thisClip(vm, c); clip && clip->currentFrame() > 0)
        engineOf(vm).gotoClipFrame(*clip, clip->currentFrame() - 1, 0, false);
    return Value();
}

template <bool Play> Value gotoAnd(Vm& vm, CallArgs& c)
{
    if (MovieClip* clip = thisClip(vm, c); clip && c.size() > 0)
        engineOf(vm).gotoClip(*clip, c[c.size() > 1 ? 1 : 0], Play);
    return Value();
}

Value getBytesLoaded(Vm& vm, CallArgs& c)
{
    MovieClip* clip = thisClip(vm, c);
    if (!clip)
        return Value();
    // A clip a script made empty holds no part of any file.
    if (!clip->character() && !clip->isMovieRoot() && clip->framesLoaded() == 0)
        return 0.0;
    return double(clip->movie().header.fileLength);
}

Value getBytesTotal(Vm& vm, CallArgs& c)
{
    MovieClip* clip = thisClip(vm, c);
    if (clip && clip->movie().failedLoad)
        return -1.0;
    return getBytesLoaded(vm, c);
}

Value getDepth(Vm& vm, CallArgs& c)
{
    DisplayObject* d = thisDisplay(vm, c);
    return d ? Value(double(d->scriptDepth())) : Value();
}

Value getNextHighestDepth(Vm& vm, CallArgs& c)
{
    MovieClip* clip = thisClip(vm, c);
    return clip ? Value(double(clip->nextHighestDepth())) : Value();
}

Value getInstanceAtDepth(Vm& vm, CallArgs& c)
{
    MovieClip* clip = thisClip(vm, c);
    if (!clip || c.size() == 0)
        return Value();
    const double depth = vm.toNumber(c[0]);
    if (!std::isfinite(depth))
        return Value();
    DisplayObject* d = clip->atScriptDepth(int(depth));
    if (!d)
        return Value();
    ClipObject* o = engineOf(vm).objectFor(*d);
    return o->kind() == ClipObject::Kind::Other ? Value(engineOf(vm).objectFor(*clip)) : Value(o);
}

Value swapDepths(Vm& vm, CallArgs& c)
{
    DisplayObject* d = thisDisplay(vm, c);
    if (!d || !d->parent() || c.size() == 0)
        return Value();
    MovieClip* parent = d->parent();
    int depth = 0;
    if (DisplayObject* other = engineOf(vm).displayOf(c[0])) {
        if (other->parent() != parent)
            return Value();
        depth = other->scriptDepth();
    } else {
        const double n = vm.toNumber(c[0]);
        if (!std::isfinite(n))
            return Value();
        depth = int(n);
    }
    parent->swapDepths(*d, depth);
    return Value();
}

Value attachMovie(Vm& vm, CallArgs& c)
{
    MovieClip* clip = thisClip(vm, c);
    if (!clip || c.size() < 3)
        return Value();
    const double depth = vm.toNumber(c[2]);
    if (!std::isfinite(depth))
        return Value();
    DisplayObject* made
        = engineOf(vm).attach(*clip, vm.toString(c[0]), vm.toString(c[1]), int(depth), c[3].object());
    return made ? Value(engineOf(vm).objectFor(*made)) : Value();
}

Value duplicateMovieClip(Vm& vm, CallArgs& c)
{
    DisplayObject* d = thisDisplay(vm, c);
    if (!d || c.size() < 2)
        return Value();
    // The name is read before the depth.
    const QString name = vm.toString(c[0]);
    const double depth = vm.toNumber(c[1]);
    if (!std::isfinite(depth))
        return Value();
    DisplayObject* made
        = engineOf(vm).duplicate(*d, name, int(std::clamp(depth, -2e9, 2147483647.0)), c[2].object());
    return made ? Value(engineOf(vm).objectFor(*made)) : Value();
}

Value createEmptyMovieClip(Vm& vm, CallArgs& c)
{
    MovieClip* clip = thisClip(vm, c);
    if (!clip || c.size() < 2)
        return Value();
    const double depth = vm.toNumber(c[1]);
    if (!std::isfinite(depth))
        return Value();
    MovieClip* made = clip->createEmptyClip(vm.toString(c[0]).toStdString(), int(depth));
    if (!made)
        return Value();
    engineOf(vm).construct(*made, nullptr);
    return Value(engineOf(vm).objectFor(*made));
}

Value removeMovieClip(Vm& vm, CallArgs& c)
{
    DisplayObject* d = thisDisplay(vm, c);
    if (!d)
        return Value();
    if (d->parent() && d->scriptDepth() < 0)
        return Value();
    engineOf(vm).removeClip(*d);
    return Value();
}

// A rectangle of `d` in the coordinates of `space`, in pixels.
Value boundsIn(Vm& vm, DisplayObject& d, DisplayObject* space)
{
    const QRectF own = d.bounds();
    Ref<Object> out = vm.newObject();
    if (own.isNull() || (own.isEmpty() && own.width() == 0 && own.height() == 0 && own.topLeft() == QPointF())) {
        // The empty box's corners are the largest coordinate twips hold; taken into
        // another object's space they pass through single precision and round up.
        const double none = space && space != &d ? 6710886.4 : 6710886.35;
        for (const char* name : { "xMin", "xMax", "yMin", "yMax" })
            vm.set(out.get(), QString::fromLatin1(name), none);
        return Value(out);
    }
    QTransform t = d.stageTransform();
    if (space)
        t = t * space->stageTransform().inverted();
    const QRectF r = t.mapRect(own);
    vm.set(out.get(), QStringLiteral("xMin"), r.left() / 20);
    vm.set(out.get(), QStringLiteral("xMax"), r.right() / 20);
    vm.set(out.get(), QStringLiteral("yMin"), r.top() / 20);
    vm.set(out.get(), QStringLiteral("yMax"), r.bottom() / 20);
    return Value(out);
}

Value getBounds(Vm& vm, CallArgs& c)
{
    DisplayObject* d = thisDisplay(vm, c);
    if (!d)
        return Value();
    DisplayObject* space = c.size() > 0 ? engineOf(vm).resolveTarget(c[0], d) : d;
    if (c.size() > 0 && !space)
        return Value();
    return boundsIn(vm, *d, space);
}

Value hitTest(Vm& vm, CallArgs& c)
{
    DisplayObject* d = thisDisplay(vm, c);
    if (!d || c.size() == 0)
        return false;
    if (c.size() >= 2) {
        const double x = vm.toNumber(c[0]);
        const double y = vm.toNumber(c[1]);
        if (!std::isfinite(x) || !std::isfinite(y))
            return false;
        const bool shape = c.size() > 2 && vm.toBoolean(c[2]);
        // The point is in the coordinates of the movie the clip belongs to: its level's
        // own placement (a script may move or scale _root) carries it onto the stage.
        const DisplayObject* level = d;
        while (level->container())
            level = level->container();
        const QPointF stagePoint = toQTransform(level->matrix()).map(QPointF(x * 20, y * 20));
        const QPointF local = d->stageTransform().inverted().map(stagePoint);
        if (shape)
            return d->hitTest(local, true);
        return d->bounds().contains(local);
    }
    DisplayObject* other = engineOf(vm).resolveTarget(c[0], d->parent());
    if (!other)
        return false;
    const QRectF a = d->stageTransform().mapRect(d->bounds());
    const QRectF b = other->stageTransform().mapRect(other->bounds());
    return a.intersects(b);
}

Value convertPoint(Vm& vm, CallArgs& c, bool toGlobal)
{
    DisplayObject* d = thisDisplay(vm, c);
    Object* point = c[0].object();
    if (!d || !point)
        return Value();
    const double x = vm.toNumber(vm.get(point, QStringLiteral("x")));
    const double y = vm.toNumber(vm.get(point, QStringLiteral("y")));
    QTransform t = d->stageTransform();
    if (!toGlobal)
        t = t.inverted();
    const QPointF p = t.map(QPointF(x * 20, y * 20));
    vm.set(point, QStringLiteral("x"), p.x() / 20);
    vm.set(point, QStringLiteral("y"), p.y() / 20);
    return Value();
}

Value localToGlobal(Vm& vm, CallArgs& c)
{
    return convertPoint(vm, c, true);
}

Value globalToLocal(Vm& vm, CallArgs& c)
{
    return convertPoint(vm, c, false);
}

Value startDrag(Vm& vm, CallArgs& c)
{
    DisplayObject* d = thisDisplay(vm, c);
    if (!d)
        return Value();
    std::optional<QRectF> area;
    if (c.size() >= 5) {
        area = QRectF(QPointF(vm.toNumber(c[1]), vm.toNumber(c[2])), QPointF(vm.toNumber(c[3]), vm.toNumber(c[4])));
    }
    engineOf(vm).startDragging(*d, c.size() > 0 && vm.toBoolean(c[0]), area);
    return Value();
}

Value stopDrag(Vm& vm, CallArgs&)
{
    engineOf(vm).stopDrag();
    return Value();
}

Value loadMovie(Vm& vm, CallArgs& c)
{
    if (DisplayObject* d = thisDisplay(vm, c); d && c.size() > 0)
        engineOf(vm).loadMovie(d, -1, vm.toString(c[0]));
    return Value();
}

Value unloadMovie(Vm& vm, CallArgs& c)
{
    if (DisplayObject* d = thisDisplay(vm, c))
        engineOf(vm).unloadMovie(d, -1);
    return Value();
}

Value loadVariables(Vm& vm, CallArgs& c)
{
    if (DisplayObject* d = thisDisplay(vm, c); d && c.size() > 0)
        engineOf(vm).loadVariablesInto(d, -1, vm.toString(c[0]), 0);
    return Value();
}

Value getUrl(Vm& vm, CallArgs& c)
{
    if (c.size() == 0)
        return Value();
    const QString url = vm.toString(c[0]);
    const QString window = c.size() > 1 ? vm.toString(c[1]) : QString();
    if (url.startsWith(QLatin1String("FSCommand:"), Qt::CaseInsensitive))
        engineOf(vm).fsCommand(url.mid(10), window);
    else
        engineOf(vm).host().openUrl(url, window);
    return Value();
}

Value getSwfVersion(Vm& vm, CallArgs& c)
{
    MovieClip* clip = thisClip(vm, c);
    return clip && !clip->movie().failedLoad ? Value(double(clip->movie().header.version)) : Value(-1.0);
}

Value setMask(Vm& vm, CallArgs& c)
{
    DisplayObject* d = thisDisplay(vm, c);
    if (!d)
        return Value();
    DisplayObject* mask = c.size() > 0 ? engineOf(vm).displayOf(c[0]) : nullptr;
    setScriptMask(*d, mask);
    return Value();
}

Value noop(Vm&, CallArgs&)
{
    return Value();
}

// MovieClip.transform: a Transform of the clip, made anew at each read; one assigned
// gives the clip its matrix and colours.
Value transformOf(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    return self && self->asClip() ? clipTransform(vm, self) : Value();
}

Value setTransformOf(Vm& vm, CallArgs& c)
{
    if (Object* self = c.thisObject(); self && self->asClip())
        setClipTransform(vm, self, c[0]);
    return Value();
}

// The names blend modes go by, from 1 (0 reads as normal too).
const char* const kBlendModes[] = { "normal", "layer", "multiply", "screen", "lighten", "darken",
    "difference", "add", "subtract", "invert", "alpha", "erase", "overlay", "hardlight" };

Value blendModeOf(Vm& vm, CallArgs& c)
{
    DisplayObject* d = thisDisplay(vm, c);
    if (!d)
        return Value();
    const int mode = std::max<int>(1, d->blendMode());
    return mode <= int(std::size(kBlendModes)) ? Value(QString::fromLatin1(kBlendModes[mode - 1]))
                                               : Value(QStringLiteral("normal"));
}

// A mode is given by its name or its number; anything else leaves the mode as it was.
Value setBlendModeOf(Vm& vm, CallArgs& c)
{
    DisplayObject* d = thisDisplay(vm, c);
    if (!d || c.size() == 0)
        return Value();
    if (c[0].isNumber()) {
        const double n = c[0].number();
        if (n >= 1 && n <= double(std::size(kBlendModes)) && n == std::floor(n))
            d->setBlendMode(uint8_t(n));
        return Value();
    }
    if (!c[0].isString())
        return Value();
    const QString name = vm.toString(c[0]);
    for (std::size_t i = 0; i < std::size(kBlendModes); ++i) {
        if (name == QLatin1String(kBlendModes[i])) {
            d->setBlendMode(uint8_t(i + 1));
            break;
        }
    }
    return Value();
}

Value cacheAsBitmapOf(Vm& vm, CallArgs& c)
{
    DisplayObject* d = thisDisplay(vm, c);
    return d ? Value(d->cacheAsBitmap()) : Value();
}

Value setCacheAsBitmapOf(Vm& vm, CallArgs& c)
{
    if (DisplayObject* d = thisDisplay(vm, c); d && c.size() > 0)
        d->setCacheAsBitmap(vm.toBoolean(c[0]));
    return Value();
}

} // namespace

void installMovieClip(Vm& vm, ScriptEngine& engine)
{
    (void)engine;
    vm.protos().movieClip = vm.newObject();
    Object* proto = vm.protos().movieClip.get();
    vm.makeClass(QStringLiteral("MovieClip"), noop, proto);
    defineMethods(vm, proto,
        { { "play", play }, { "stop", stop }, { "nextFrame", nextFrame }, { "prevFrame", prevFrame },
            { "gotoAndPlay", gotoAnd<true> }, { "gotoAndStop", gotoAnd<false> }, { "getBytesLoaded", getBytesLoaded },
            { "getBytesTotal", getBytesTotal }, { "getDepth", getDepth }, { "swapDepths", swapDepths },
            { "attachMovie", attachMovie }, { "duplicateMovieClip", duplicateMovieClip },
            { "removeMovieClip", removeMovieClip }, { "getBounds", getBounds }, { "hitTest", hitTest },
            { "localToGlobal", localToGlobal }, { "globalToLocal", globalToLocal }, { "startDrag", startDrag },
            { "stopDrag", stopDrag }, { "loadMovie", loadMovie }, { "unloadMovie", unloadMovie },
            { "loadVariables", loadVariables }, { "getURL", getUrl }, { "nextScene", noop }, { "prevScene", noop } });
    defineMethods(vm, proto,
        { { "createEmptyMovieClip", createEmptyMovieClip }, { "setMask", setMask },
            { "getSWFVersion", getSwfVersion } },
        kBuiltin | OnlySwf6);
    defineMethods(vm, proto,
        { { "getNextHighestDepth", getNextHighestDepth }, { "getInstanceAtDepth", getInstanceAtDepth } },
        kBuiltin | OnlySwf7);
    defineMethods(vm, proto, { { "getRect", getBounds } }, kBuiltin | OnlySwf8);
    vm.accessor(proto, QStringLiteral("transform"), transformOf, setTransformOf, kBuiltin | OnlySwf8);
    vm.accessor(proto, QStringLiteral("blendMode"), blendModeOf, setBlendModeOf, kBuiltin | OnlySwf8);
    vm.accessor(
        proto, QStringLiteral("cacheAsBitmap"), cacheAsBitmapOf, setCacheAsBitmapOf, kBuiltin | OnlySwf8);
    installDrawingMethods(vm, proto);
}

} // namespace swf::script
