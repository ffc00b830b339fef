// The script engine's answers to the interpreter: variables and paths, the timeline
// actions, properties by index, clips made and removed, drags and URLs.

#include "Array.h"
#include "Builtins.h"
#include "Numbers.h"
#include "ScriptEngine.h"

#include "swf/display/Names.h"
#include "swf/display/Stage.h"
#include "swf/display/TargetPath.h"
#include "swf/sound/SoundEngine.h"

#include <algorithm>
#include <cmath>

namespace swf::script {
namespace {

// The root clip of the level `d` is on.
DisplayObject* levelRoot(DisplayObject* d)
{
    while (d && d->container())
        d = d->container();
    return d;
}

} // namespace

// ---- Variables ------------------------------------------------------------------------------------

Object* ScriptEngine::variableScope(ExecContext& ctx)
{
    Object* target = ctx.target.get();
    if (!target)
        return objectFor(stage_.root());
    if (ClipObject* clip = target->asClip()) {
        Object* live = liveClip(*clip);
        ClipObject* liveObject = live->asClip();
        if (!liveObject || !liveObject->display())
            return objectFor(stage_.root());
        return live;
    }
    return target;
}

Object* ScriptEngine::pathObject(ExecContext& ctx, const QString& path)
{
    Object* at = variableScope(ctx);
    if (path.isEmpty())
        return at;
    const std::string utf8 = path.toStdString();
    const auto steps = splitTargetPath(utf8);
    if (!steps)
        return nullptr;
    Vm& vm = *vm_;
    const bool caseSensitive = vm.caseSensitive();
    bool first = true;
    for (const PathStep& step : *steps) {
        DisplayObject* d = at ? displayOf(Value(at)) : nullptr;
        const bool firstStep = std::exchange(first, false);
        if (!at)
            return nullptr;
        if (step.kind != PathStep::Kind::Name) {
            DisplayObject* next = stage_.resolveStep(d ? *d : stage_.root(), step, caseSensitive);
            at = next ? objectFor(*next) : nullptr;
            continue;
        }
        // "this" begins a path at the script's own timeline.
        if (firstStep && sameName(step.name, "this", caseSensitive))
            continue;
        if (d) {
            if (DisplayObject* next = stage_.resolveStep(*d, step, caseSensitive)) {
                at = objectFor(*next);
                continue;
            }
        }
        // No clip of that name: an object held in a variable of that name.
        at = vm.get(at, QString::fromUtf8(step.name.data(), qsizetype(step.name.size()))).object();
    }
    return at;
}

namespace {

// A scope as lookups see it: a clip stands for its live self, and a clip that is gone
// for the root of the movie.
Object* scopeObject(ScriptEngine& engine, Object* scope)
{
    if (ClipObject* clip = scope->asClip()) {
        Object* live = liveClip(*clip);
        ClipObject* liveObject = live->asClip();
        if (!liveObject || !liveObject->display())
            return engine.objectFor(engine.stage().root());
        return live;
    }
    return scope;
}

} // namespace

// "a.b.c" is looked for scope by scope: the first scope where the whole path leads to a
// value gives it. `objectWanted` asks for a path that ends at an object (to set into).
std::optional<Value> ScriptEngine::dotPath(ExecContext& ctx, const QStringList& parts, bool objectWanted)
{
    Vm& vm = *vm_;
    const auto follow = [&](Value v) -> std::optional<Value> {
        for (qsizetype i = 1; i < parts.size(); ++i) {
            if (parts[i].isEmpty())
                continue;
            if (!v.isObject() && !v.isString())
                return std::nullopt;
            v = vm.getMember(v, parts[i]);
        }
        if (objectWanted ? !v.isObject() : v.isUndefined())
            return std::nullopt;
        return v;
    };
    // The clips on the way are found in the display list first: a variable that shares
    // a child's name does not hide the child from a path through it.
    // (A path to set into is all clips on the way.)
    // ("this" at the start is the timeline the walk starts from.)
    const qsizetype skip = vm.sameName(parts.front(), QStringLiteral("this")) ? 1 : 0;
    DisplayObject* from = displayOf(Value(variableScope(ctx)));
    if (objectWanted) {
        if (DisplayObject* d = resolvePath(parts.mid(skip).join(QLatin1Char('.')), from))
            return Value(objectFor(*d));
    } else if (parts.size() > 1) {
        if (DisplayObject* d
            = resolvePath(parts.mid(skip, parts.size() - 1 - skip).join(QLatin1Char('.')), from)) {
            const Value v = parts.back().isEmpty() ? Value(objectFor(*d))
                                                   : vm.getMember(Value(objectFor(*d)), parts.back());
            if (objectWanted ? v.isObject() : !v.isUndefined())
                return v;
        }
    }
    const QString& first = parts.front();
    std::vector<Object*> scopes;
    for (auto it = ctx.scopes.rbegin(); it != ctx.scopes.rend(); ++it)
        scopes.push_back(scopeObject(*this, it->get()));
    scopes.push_back(vm.global());
    std::optional<Value> found;
    for (Object* scope : scopes) {
        if (!vm.has(scope, first))
            continue;
        if ((found = follow(vm.get(scope, first))))
            return found;
    }
    // Names that are no variable: this, _global, _root, _levelN.
    const Value start = getVariable(ctx, first);
    if (!start.isUndefined())
        return follow(start);
    return std::nullopt;
}

Value ScriptEngine::getVariable(ExecContext& ctx, const QString& name)
{
    // SWF 4 knows no movie clip values: a name or path that reaches a clip is undefined.
    Value value = lookUpVariable(ctx, name);
    if (ctx.version < 5 && value.object() && value.object()->asClip())
        return Value();
    return value;
}

DisplayObject* ScriptEngine::slashVariableOwner(ExecContext& ctx, const QString& name, QString& variable)
{
    const qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
    variable = name.mid(colon + 1);
    if (colon <= 0 || variable.isEmpty())
        return nullptr;
    return resolvePath(name.left(colon), displayOf(Value(variableScope(ctx))), true);
}

Value ScriptEngine::lookUpVariable(ExecContext& ctx, const QString& name)
{
    if (name.isEmpty())
        return Value();
    Vm& vm = *vm_;
    // SWF 4 scripts name a variable of another clip after a colon; a dot is part of a
    // name there.
    const bool slashOnly = ctx.version < 5;
    if (slashOnly && name.contains(QLatin1Char(':'))) {
        QString variable;
        DisplayObject* owner = slashVariableOwner(ctx, name, variable);
        return owner ? vm.get(objectFor(*owner), variable) : Value();
    }
    if (slashOnly && name.contains(QLatin1Char('/'))) {
        DisplayObject* d = resolvePath(name, displayOf(Value(variableScope(ctx))), true);
        return d ? Value(objectFor(*d)) : Value();
    }
    // A path with a slash or a colon: the variable follows its last colon or dot. With
    // neither the path names a clip, or else it is the name of a variable itself.
    const bool slashPath = name.contains(QLatin1Char(':')) || name.contains(QLatin1Char('/'));
    const qsizetype split
        = slashPath ? std::max(name.lastIndexOf(QLatin1Char(':')), name.lastIndexOf(QLatin1Char('.'))) : -1;
    if (slashPath && split >= 0) {
        Object* o = pathObject(ctx, name.left(split));
        const QString variable = name.mid(split + 1);
        return o && !variable.isEmpty() ? vm.get(o, variable) : Value();
    }
    if (slashPath) {
        if (DisplayObject* d = resolvePath(name, displayOf(Value(variableScope(ctx)))))
            return Value(objectFor(*d));
    } else if (!slashOnly && name.contains(QLatin1Char('.'))) {
        return dotPath(ctx, name.split(QLatin1Char('.')), false).value_or(Value());
    }
    // A function that keeps `this` in a register (or has none) has no variable of that
    // name: from SWF 6 the name then reaches the timeline, before it goes on through the
    // scopes like any other.
    if (vm.sameName(name, QStringLiteral("this"))) {
        if (ctx.thisVisible)
            return ctx.thisValue;
        if (ctx.version >= 6)
            return Value(variableScope(ctx));
    }
    if (vm.sameName(name, QStringLiteral("_global")))
        return Value(vm.global());
    for (auto it = ctx.scopes.rbegin(); it != ctx.scopes.rend(); ++it) {
        Object* scope = scopeObject(*this, it->get());
        if (vm.has(scope, name))
            return vm.get(scope, name);
    }
    // SWF 4 scripts see no global object: NaN and Infinity are unset names there.
    if (ctx.version >= 5 && vm.has(vm.global(), name))
        return vm.get(vm.global(), name);
    if (name.startsWith(QLatin1String("_level"), Qt::CaseInsensitive)
        || vm.sameName(name, QStringLiteral("_root"))) {
        DisplayObject* from = displayOf(Value(variableScope(ctx)));
        if (DisplayObject* d = resolvePath(name, from ? from : &stage_.root(), slashOnly))
            return Value(objectFor(*d));
    }
    return Value();
}

void ScriptEngine::setVariable(ExecContext& ctx, const QString& name, const Value& value)
{
    if (name.isEmpty())
        return;
    Vm& vm = *vm_;
    if (ctx.version < 5 && name.contains(QLatin1Char(':'))) {
        QString variable;
        if (DisplayObject* owner = slashVariableOwner(ctx, name, variable))
            vm.set(objectFor(*owner), variable, value);
        return;
    }
    // As for reading: a path with a slash or a colon has the variable after its last colon
    // or dot; with neither, the whole is the name of a variable.
    const bool slashPath = name.contains(QLatin1Char(':')) || name.contains(QLatin1Char('/'));
    const qsizetype split = std::max(name.lastIndexOf(QLatin1Char(':')), name.lastIndexOf(QLatin1Char('.')));
    if (slashPath && split >= 0) {
        if (Object* o = pathObject(ctx, name.left(split)))
            vm.set(o, name.mid(split + 1), value);
        return;
    }
    if (!slashPath && split > 0 && ctx.version >= 5) {
        if (auto owner = dotPath(ctx, name.left(split).split(QLatin1Char('.')), true))
            vm.setMember(*owner, name.mid(split + 1), value);
        return;
    }
    for (auto it = ctx.scopes.rbegin(); it != ctx.scopes.rend(); ++it) {
        Object* scope = scopeObject(*this, it->get());
        if (vm.has(scope, name)) {
            vm.set(scope, name, value);
            return;
        }
    }
    vm.set(variableScope(ctx), name, value);
}

bool ScriptEngine::deleteVariable(ExecContext& ctx, const QString& name)
{
    Vm& vm = *vm_;
    for (auto it = ctx.scopes.rbegin(); it != ctx.scopes.rend(); ++it) {
        Object* scope = scopeObject(*this, it->get());
        if (vm.hasOwn(scope, name))
            return vm.remove(scope, name);
    }
    if (vm.hasOwn(vm.global(), name))
        return vm.remove(vm.global(), name);
    return false;
}

Value ScriptEngine::callFunction(ExecContext& ctx, const QString& name, std::span<const Value> args)
{
    Vm& vm = *vm_;
    Value fn;
    Value self;
    bool found = false;
    if (!name.contains(QLatin1Char('.')) && !name.contains(QLatin1Char(':'))
        && !name.contains(QLatin1Char('/'))) {
        for (auto it = ctx.scopes.rbegin(); it != ctx.scopes.rend() && !found; ++it) {
            Object* scope = scopeObject(*this, it->get());
            if (vm.has(scope, name)) {
                fn = vm.get(scope, name);
                // A function is called on where it was found: a timeline, a with object,
                // or the activation of the function that holds it.
                self = Value(scope);
                found = true;
            }
        }
        if (!found && vm.has(vm.global(), name)) {
            fn = vm.get(vm.global(), name);
            found = true;
        }
    } else {
        fn = getVariable(ctx, name);
    }
    if (Object* o = fn.object(); o && o->isSuper())
        return superConstruct(vm, *o, args);
    return vm.call(fn, self, args);
}

Value ScriptEngine::callMethod(
    ExecContext& ctx, const Value& object, const Value& name, std::span<const Value> args)
{
    (void)ctx;
    Vm& vm = *vm_;
    const QString method = name.isUndefined() ? QString() : vm.toString(name);
    if (method.isEmpty()) {
        if (Object* o = object.object(); o && o->isSuper())
            return superConstruct(vm, *o, args);
        return vm.call(object, Value(), args);
    }
    if (Object* o = object.object(); o && o->isSuper())
        return superCall(vm, *o, method, args);
    const Value fn = vm.getMember(object, method);
    return vm.call(fn, object, args);
}

// ---- The timeline ------------------------------------------------------------------------------

void ScriptEngine::setTarget(ExecContext& ctx, const Value& target)
{
    const bool back = target.isUndefined() ? version_ < 7 : (target.isString() && target.string().isEmpty());
    ctx.targetLost = false;
    if (back) {
        ctx.target = ctx.baseClip;
    } else {
        // The target is taken as a path: a clip stands for its own (so that of two clips of
        // one name the first is reached), any other object for its text.
        // (A reference to a clip that is gone has no path and reaches nothing.)
        Value path = target;
        bool none = target.isNullish();
        if (Object* o = target.object()) {
            path = Value(o->asClip() ? clipPath(*o->asClip()) : vm_->toString(target));
            none = o->asClip() && path.string().isEmpty();
        }
        DisplayObject* base = displayOf(Value(ctx.baseClip));
        DisplayObject* d = none ? nullptr : resolveTarget(path, base, ctx.version < 5);
        // A target that is not found is the level's root in SWF 5 and 6; in SWF 4 and
        // from SWF 7 on there is none.
        if (!d) {
            d = levelRoot(base ? base : &stage_.root());
            ctx.targetLost = ctx.version >= 7 || ctx.version < 5;
        }
        ctx.target = Ref<Object>(objectFor(*d));
    }
    if (!ctx.activation && !ctx.scopes.empty())
        ctx.scopes.front() = ctx.target;
}

DisplayObject* ScriptEngine::targetOf(ExecContext& ctx)
{
    return ctx.targetLost ? nullptr : displayOf(Value(ctx.target));
}

DisplayObject* ScriptEngine::callerTimeline()
{
    DisplayObject* d = runningCode_ ? targetOf(*runningCode_) : nullptr;
    return d ? d : &stage_.root();
}

namespace {

MovieClip* timelineOf(ScriptEngine& engine, ExecContext& ctx)
{
    DisplayObject* d = engine.targetOf(ctx);
    return d ? d->asMovieClip() : nullptr;
}

} // namespace

void ScriptEngine::timelineAction(ExecContext& ctx, TimelineStep action)
{
    MovieClip* clip = timelineOf(*this, ctx);
    if (!clip)
        return;
    switch (action) {
    case TimelineStep::Next:
        clip->gotoFrame(clip->currentFrame() + 1);
        clip->stop();
        break;
    case TimelineStep::Previous:
        if (clip->currentFrame() > 0)
            clip->gotoFrame(clip->currentFrame() - 1);
        clip->stop();
        break;
    case TimelineStep::Play:
        clip->play();
        break;
    case TimelineStep::Stop:
        clip->stop();
        break;
    }
}

std::optional<int> ScriptEngine::frameIndex(MovieClip& clip, const Value& frame)
{
    Value number = vm_->toPrimitive(frame);
    // An object that has no number of its own is read as its text (a frame label).
    if (number.isObject())
        number = vm_->toString(number);
    if (number.isString()) {
        const QString s = number.string();
        const double n = vm_->stringToNumber(s);
        if (std::isnan(n)) {
            if (auto f = clip.frameOfLabel(s.toStdString(), false))
                return *f;
            return std::nullopt;
        }
        number = n;
    }
    // 1-based, in 32-bit arithmetic: frame 0 and below go nowhere, huge ones wrap.
    const int32_t frameNumber = vm_->toInt32(number);
    const int32_t index = int32_t(uint32_t(frameNumber) - 1u);
    if (index < 0)
        return std::nullopt;
    return index;
}

// "path:frame" names another clip's frame: `clip` becomes that clip (null when the path
// reaches none) and `frame` the part after the colon.
void ScriptEngine::splitFramePath(ExecContext& ctx, MovieClip*& clip, Value& frame)
{
    if (!frame.isString())
        return;
    const QString s = frame.string();
    const qsizetype colon = s.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return;
    DisplayObject* d = resolvePath(s.left(colon), targetOf(ctx));
    clip = d ? d->asMovieClip() : nullptr;
    frame = Value(s.mid(colon + 1));
}

void ScriptEngine::gotoFrame(ExecContext& ctx, const Value& frame, bool fromStack, bool play, int bias)
{
    MovieClip* clip = timelineOf(*this, ctx);
    Value which = frame;
    if (fromStack)
        splitFramePath(ctx, clip, which);
    if (!clip)
        return;
    std::optional<int> index = frameIndex(*clip, which);
    if (!index)
        return;
    if (bias && !(which.isString() && std::isnan(vm_->stringToNumber(which.string()))))
        *index += bias;
    // GotoFrame is gotoAndStop to a frame of the file, which must be there; GotoFrame2
    // says whether to play, and goes to the last frame for one past the end.
    gotoClipFrame(*clip, *index, fromStack ? (play ? 1 : 0) : 0, fromStack);
}

void ScriptEngine::gotoClipFrame(MovieClip& clip, int frame, int play, bool clampPastEnd)
{
    if (frame < 0)
        frame = 0;
    if (frame >= clip.frameCount()) {
        if (!clampPastEnd)
            return;
        frame = clip.frameCount() - 1;
    }
    if (play == 1)
        clip.play();
    else if (play == 0)
        clip.stop();
    if (frame >= clip.framesLoaded())
        frame = clip.framesLoaded() - 1;
    clip.gotoFrame(frame);
}

void ScriptEngine::gotoLabel(ExecContext& ctx, const QString& label)
{
    MovieClip* clip = timelineOf(*this, ctx);
    if (!clip)
        return;
    if (auto f = clip->frameOfLabel(label.toStdString(), false))
        gotoClipFrame(*clip, *f, 0, false);
}

bool ScriptEngine::frameLoaded(ExecContext& ctx, const Value& frame)
{
    MovieClip* clip = timelineOf(*this, ctx);
    if (!clip)
        return true;
    // A number with a fraction names no frame, like a label that is not there: nothing
    // to wait for.
    if (frame.isNumber() && std::isfinite(frame.number()) && frame.number() != std::trunc(frame.number()))
        return true;
    std::optional<int> index = frameIndex(*clip, frame);
    if (!index)
        return true;
    // Once the whole timeline is there, every frame a timeline may have counts as loaded.
    constexpr int kMostFrames = 16001;
    const bool complete = clip->framesLoaded() >= clip->frameCount();
    return *index < clip->framesLoaded() || (complete && *index < kMostFrames);
}

void ScriptEngine::callFrame(ExecContext& ctx, const Value& frame)
{
    MovieClip* clip = timelineOf(*this, ctx);
    Value which = frame;
    splitFramePath(ctx, clip, which);
    if (!clip)
        return;
    std::optional<int> index = frameIndex(*clip, which);
    if (!index || *index < 0 || *index >= clip->framesLoaded())
        return;
    const Frame* f = frameOf(*clip, *index);
    if (!f)
        return;
    for (const ControlTag& tag : f->tags) {
        if (const auto* action = std::get_if<DoAction>(&tag)) {
            Ref<Object> keep(objectFor(*clip));
            runActions(*this, frameProgram(*f, *action, clip->movie()), keep.get());
        }
    }
}

// ---- Properties by index ---------------------------------------------------------------------------

Value ScriptEngine::getProperty(ExecContext& ctx, const Value& target, int index)
{
    DisplayObject* d = resolveTarget(target, targetOf(ctx), ctx.version < 5);
    if (!d)
        return Value();
    return objectFor(*d)->property(index);
}

void ScriptEngine::setProperty(ExecContext& ctx, const Value& target, int index, const Value& value)
{
    DisplayObject* d = resolveTarget(target, targetOf(ctx), ctx.version < 5);
    if (!d)
        return;
    // The action reads _visible as a number, and what is no number ("10x") leaves it
    // as it is; a member set reads it as a boolean.
    if (index == 7) {
        const double n = vm_->toNumber(value);
        if (!std::isnan(n))
            objectFor(*d)->setProperty(index, Value(n));
        return;
    }
    objectFor(*d)->setProperty(index, value);
}

void ScriptEngine::cloneSprite(ExecContext& ctx, const Value& source, const QString& name, double depth)
{
    DisplayObject* d = resolveTarget(source, targetOf(ctx), ctx.version < 5);
    if (!d || !std::isfinite(depth))
        return;
    // Far past any depth a clip can have, the number is only kept within an int.
    duplicate(*d, name, int(std::clamp(depth, -2e9, 2147483647.0)) - kScriptDepthOffset, nullptr);
}

void ScriptEngine::removeSprite(ExecContext& ctx, const Value& target)
{
    DisplayObject* d = resolveTarget(target, targetOf(ctx), ctx.version < 5);
    if (!d || !d->parent() || d->scriptDepth() < 0)
        return;
    removeClip(*d);
}

// ---- URLs, movies and variables from outside ------------------------------------------------------------

void ScriptEngine::getUrl(ExecContext& ctx, const QString& url, const QString& target, int method,
    bool loadTarget, bool loadVariables)
{
    if (url.startsWith(QLatin1String("FSCommand:"), Qt::CaseInsensitive)) {
        fsCommand(url.mid(10), target);
        return;
    }
    DisplayObject* from = targetOf(ctx);
    int level = -1;
    if (target.startsWith(QLatin1String("_level"), Qt::CaseInsensitive)) {
        bool ok = false;
        const int n = target.mid(6).toInt(&ok);
        if (ok && n >= 0)
            level = n;
    }
    if (loadVariables) {
        DisplayObject* d = level >= 0 ? stage_.level(level) : resolvePath(target, from);
        loadVariablesInto(d, level, url, method);
        return;
    }
    if (loadTarget || level >= 0) {
        DisplayObject* d = level >= 0 ? nullptr : resolvePath(target, from);
        if (level < 0 && !d)
            return;
        if (url.isEmpty())
            unloadMovie(d, level);
        else
            loadMovie(d, level, url);
        return;
    }
    host_.openUrl(url, target);
}

// ---- Dragging ------------------------------------------------------------------------------------------

void ScriptEngine::startDrag(
    ExecContext& ctx, const Value& target, bool lockCenter, std::optional<QRectF> area)
{
    DisplayObject* d = resolveTarget(target, targetOf(ctx));
    if (!d)
        return;
    startDragging(*d, lockCenter, area);
}

void ScriptEngine::startDragging(DisplayObject& d, bool lockCenter, std::optional<QRectF> area)
{
    Drag drag;
    drag.object = d.id();
    drag.area = area;
    const QTransform toParent = d.parent() ? d.parent()->stageTransform().inverted() : QTransform();
    const QPointF pointer = toParent.map(mouse());
    if (!lockCenter)
        drag.offset = QPointF(d.matrix().tx, d.matrix().ty) - pointer;
    drag_ = drag;
    updateDrag();
}

void ScriptEngine::stopDrag()
{
    drag_.reset();
}

DisplayObject* ScriptEngine::dragged()
{
    return drag_ ? stage_.find(drag_->object) : nullptr;
}

void ScriptEngine::updateDrag()
{
    DisplayObject* d = dragged();
    if (!d)
        return;
    const QTransform toParent = d->parent() ? d->parent()->stageTransform().inverted() : QTransform();
    QPointF at = toParent.map(mouse()) + drag_->offset;
    if (drag_->area) {
        const QRectF a = drag_->area->normalized();
        at.setX(std::clamp(at.x(), a.left() * 20, a.right() * 20));
        at.setY(std::clamp(at.y(), a.top() * 20, a.bottom() * 20));
    }
    Matrix m = d->matrix();
    m.tx = int32_t(std::lround(at.x()));
    m.ty = int32_t(std::lround(at.y()));
    d->setMatrix(m);
    if (ClipObject* o = objectFor(*d))
        o->forgetTransformCache();
}

QString ScriptEngine::dropTarget(DisplayObject& object)
{
    // The topmost object under the dragged one's origin, other than itself and its own.
    const QPointF at = object.stageTransform().map(QPointF(0, 0));
    DisplayObject* under = stage_.objectAt(mouse());
    (void)at;
    for (DisplayObject* p = under; p; p = p->parent()) {
        if (p == &object)
            return QString();
    }
    while (under && !under->asMovieClip())
        under = under->parent();
    return under ? slashPath(*under) : QString();
}

void ScriptEngine::stopSounds()
{
    if (SoundEngine* sound = host_.soundEngine())
        sound->stopAll();
}

} // namespace swf::script
