// Color, Sound, System, LoadVars, SharedObject and MovieClipLoader.

#include "Classes.h"
#include "Native.h"

#include "swf/display/Stage.h"
#include "swf/script/ClipObject.h"
#include "swf/script/ScriptEngine.h"
#include "swf/sound/ScriptSound.h"
#include "swf/sound/SoundEngine.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QUrl>

namespace swf::script {
namespace {

ScriptEngine& engineOf(Vm& vm)
{
    return *vm.engine();
}

// ---- Color ----------------------------------------------------------------------------------

DisplayObject* colorTarget(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!self)
        return nullptr;
    const Value target = vm.get(self, QStringLiteral("target"));
    if (target.isObject())
        return engineOf(vm).displayOf(target);
    if (target.isString()) {
        DisplayObject* root = &engineOf(vm).stage().root();
        return engineOf(vm).resolvePath(target.string(), root);
    }
    return nullptr;
}

Value colorConstructor(Vm&, CallArgs& c)
{
    if (Object* self = c.thisObject())
        self->define(QStringLiteral("target"), c[0], kHidden & ~ReadOnly);
    return Value();
}

Value colorSetRgb(Vm& vm, CallArgs& c)
{
    DisplayObject* d = colorTarget(vm, c);
    if (!d || c.size() == 0)
        return Value();
    const uint32_t rgb = vm.toUint32(c[0]);
    ColorTransform cx = d->colorTransform();
    cx.rMul = cx.gMul = cx.bMul = 0;
    cx.rAdd = int16_t((rgb >> 16) & 0xFF);
    cx.gAdd = int16_t((rgb >> 8) & 0xFF);
    cx.bAdd = int16_t(rgb & 0xFF);
    d->setColorTransform(cx);
    return Value();
}

Value colorGetRgb(Vm& vm, CallArgs& c)
{
    DisplayObject* d = colorTarget(vm, c);
    if (!d)
        return Value();
    const ColorTransform& cx = d->colorTransform();
    return double(((cx.rAdd & 0xFF) << 16) | ((cx.gAdd & 0xFF) << 8) | (cx.bAdd & 0xFF));
}

Value colorSetTransform(Vm& vm, CallArgs& c)
{
    DisplayObject* d = colorTarget(vm, c);
    Object* t = c[0].object();
    if (!d || !t)
        return Value();
    ColorTransform cx = d->colorTransform();
    const auto field = [&](const char* name, int16_t& out, double scale) {
        const Value v = vm.get(t, QString::fromLatin1(name));
        if (v.isUndefined())
            return;
        const double n = vm.toNumber(v);
        out = std::isfinite(n) ? int16_t(std::clamp(n * scale, -32768.0, 32767.0)) : 0;
    };
    field("ra", cx.rMul, 2.56);
    field("ga", cx.gMul, 2.56);
    field("ba", cx.bMul, 2.56);
    field("aa", cx.aMul, 2.56);
    field("rb", cx.rAdd, 1);
    field("gb", cx.gAdd, 1);
    field("bb", cx.bAdd, 1);
    field("ab", cx.aAdd, 1);
    d->setColorTransform(cx);
    return Value();
}

Value colorGetTransform(Vm& vm, CallArgs& c)
{
    DisplayObject* d = colorTarget(vm, c);
    if (!d)
        return Value();
    const ColorTransform& cx = d->colorTransform();
    Ref<Object> t = vm.newObject();
    vm.set(t.get(), QStringLiteral("ra"), cx.rMul / 2.56);
    vm.set(t.get(), QStringLiteral("rb"), double(cx.rAdd));
    vm.set(t.get(), QStringLiteral("ga"), cx.gMul / 2.56);
    vm.set(t.get(), QStringLiteral("gb"), double(cx.gAdd));
    vm.set(t.get(), QStringLiteral("ba"), cx.bMul / 2.56);
    vm.set(t.get(), QStringLiteral("bb"), double(cx.bAdd));
    vm.set(t.get(), QStringLiteral("aa"), cx.aMul / 2.56);
    vm.set(t.get(), QStringLiteral("ab"), double(cx.aAdd));
    return Value(t);
}

// ---- Sound ----------------------------------------------------------------------------------

// A Sound object: its engine side (made when the movie has a sound engine) and what the
// engine tells it later, run as queued script work. A Sound made for a clip holds it as
// its target path, looked up again at each call as a path the script gave as text is,
// from the timeline of the code that calls: a clip renamed since is reached only through
// a variable on the way that still holds it. While nothing lives there the getters answer
// undefined.
class SoundObject final : public Object, private ScriptSound::Listener {
public:
    SoundObject(Vm& vm, Object* proto)
        : Object(vm, proto)
        , vm_(vm)
    {
    }
    bool valid = true; // false when made for something that is no clip
    bool whole = true; // made without a target: the whole movie's sounds
    QString path; // the target's path, when made for one
    bool hasSound = false; // a sound was attached or loaded: duration and position mean something
    std::unique_ptr<ScriptSound> sound;

    // The engine side for the clip now at the target's path; null when none lives there.
    ScriptSound* current()
    {
        if (!valid)
            return nullptr;
        ScriptEngine& engine = *vm_.engine();
        DisplayObject* target = nullptr;
        if (!whole) {
            target = lookUp(engine, path, engine.callerTimeline());
            if (!target)
                return nullptr;
        }
        const ObjectId id = target ? target->id() : 0;
        if (!sound || id != boundTo_) {
            bind(target);
            boundTo_ = id;
        }
        return sound.get();
    }

    // The clip at `path` from `from`: by the display list, or else member by member, so
    // that a variable on the way that holds a clip leads to it.
    DisplayObject* lookUp(ScriptEngine& engine, const QString& target, DisplayObject* from)
    {
        if (DisplayObject* d = engine.resolvePath(target, from))
            return d;
        if (!from || target.isEmpty() || target.contains(QLatin1Char('/')) || target.contains(QLatin1Char(':')))
            return nullptr;
        const QStringList parts = target.split(QLatin1Char('.'));
        DisplayObject* first = engine.resolvePath(parts.front(), from);
        Value v = first ? Value(engine.objectFor(*first)) : vm_.getMember(Value(engine.objectFor(*from)), parts.front());
        for (qsizetype i = 1; i < parts.size() && v.isObject(); ++i)
            v = vm_.getMember(v, parts[i]);
        return engine.displayOf(v);
    }

    void bind(DisplayObject* target)
    {
        sound.reset();
        if (SoundEngine* engine = vm_.engine()->host().soundEngine()) {
            sound = engine->createSound(target);
            sound->setListener(this);
        }
    }

private:
    void soundCompleted() override { later(QStringLiteral("onSoundComplete"), {}); }
    void soundLoaded(bool success) override { later(QStringLiteral("onLoad"), { Value(success) }); }
    void id3Loaded() override
    {
        Ref<Object> tags = vm_.newObject();
        for (const auto& [name, text] : sound->id3())
            vm_.set(tags.get(), QString::fromStdString(name), Value(QString::fromStdString(text)));
        vm_.set(this, QStringLiteral("id3"), Value(tags));
        later(QStringLiteral("onID3"), {});
    }
    void later(const QString& method, std::vector<Value> args)
    {
        ScriptEngine& engine = *vm_.engine();
        const Value self { Ref<Object>(this) };
        engine.enqueue(
            0, [&engine, self, method, args]() { engine.callEvent(self.object(), method, args); }, true);
        engine.runQueue();
    }
    Vm& vm_;
    ObjectId boundTo_ = 0;
};

SoundObject* soundSelf(CallArgs& c)
{
    return c.thisObject() ? dynamic_cast<SoundObject*>(c.thisObject()) : nullptr;
}

// The engine side of the Sound a method was called on, when it reaches one.
ScriptSound* scriptSound(CallArgs& c)
{
    SoundObject* s = soundSelf(c);
    return s ? s->current() : nullptr;
}

Ref<Object> newSound(Vm& vm, Object* proto)
{
    return Ref<Object>(new SoundObject(vm, proto));
}

Value soundConstructor(Vm& vm, CallArgs& c)
{
    SoundObject* self = soundSelf(c);
    if (!self)
        return Value();
    if (c.size() > 0 && !c[0].isUndefined()) {
        self->whole = false;
        if (c[0].isString()) {
            self->path = c[0].string();
        } else if (DisplayObject* target = engineOf(vm).displayOf(c[0])) {
            self->path = engineOf(vm).targetPath(*target);
        } else {
            self->valid = false;
        }
    }
    self->current();
    return Value();
}

// Volume, balance and mix take whole numbers as the player's 32-bit conversion gives
// them: fractions cut off, and NaN or anything out of range the lowest integer;
// undefined (a missing argument) is 0.
double soundInteger(Vm& vm, const Value& v)
{
    if (v.isUndefined())
        return 0;
    const double n = vm.toNumber(v);
    if (!std::isfinite(n) || n >= 2147483648.0 || n < -2147483648.0)
        return -2147483648.0;
    return std::trunc(n);
}

Value soundGetVolume(Vm&, CallArgs& c)
{
    SoundObject* self = soundSelf(c);
    if (!self || !self->valid)
        return Value();
    ScriptSound* s = self->current();
    if (!s && !self->whole)
        return Value();
    return s ? s->volume() : 100.0;
}

Value soundSetVolume(Vm& vm, CallArgs& c)
{
    if (ScriptSound* s = scriptSound(c))
        s->setVolume(soundInteger(vm, c[0]));
    return Value();
}

// The player's balance and mix are 32-bit integers that wrap around.
double wrap32(int64_t n)
{
    return double(int32_t(uint32_t(uint64_t(n))));
}

// The balance as the mix shows it: while the left channel is at its full 100, how far the
// right one is from it (negative when turned down); otherwise how far the left one is
// turned down. Only the two straight channels count.
double panOf(const SoundTransform& t)
{
    const int64_t ll = int64_t(t.ll);
    const int64_t rr = int64_t(t.rr);
    return ll == 100 ? wrap32(std::abs(rr) - 100) : wrap32(100 - std::abs(ll));
}

// setPan: the side away from the balance is turned down; no limits, as in the reference
// player (the values wrap as its integers do).
SoundTransform withPan(SoundTransform t, double pan)
{
    const int64_t p = int64_t(pan);
    t.ll = p >= 0 ? wrap32(100 - p) : 100;
    t.rr = p >= 0 ? 100 : wrap32(100 + p);
    t.lr = 0;
    t.rl = 0;
    return t;
}

Value soundGetPan(Vm&, CallArgs& c)
{
    SoundObject* self = soundSelf(c);
    if (!self || !self->valid)
        return Value();
    ScriptSound* s = self->current();
    if (!s && !self->whole)
        return Value();
    return s ? panOf(s->transform()) : 0.0;
}

Value soundSetPan(Vm& vm, CallArgs& c)
{
    if (ScriptSound* s = scriptSound(c))
        s->setTransform(withPan(s->transform(), soundInteger(vm, c[0])));
    return Value();
}

Value soundGetTransform(Vm& vm, CallArgs& c)
{
    SoundObject* self = soundSelf(c);
    if (!self || !self->valid)
        return Value();
    ScriptSound* s = self->current();
    if (!s && !self->whole)
        return Value();
    const SoundTransform t = s ? s->transform() : SoundTransform {};
    Ref<Object> o = vm.newObject();
    vm.set(o.get(), QStringLiteral("ll"), t.ll);
    vm.set(o.get(), QStringLiteral("lr"), t.lr);
    vm.set(o.get(), QStringLiteral("rr"), t.rr);
    vm.set(o.get(), QStringLiteral("rl"), t.rl);
    return Value(o);
}

Value soundSetTransform(Vm& vm, CallArgs& c)
{
    ScriptSound* s = scriptSound(c);
    Object* o = c[0].object();
    if (!s || !o)
        return Value();
    SoundTransform t = s->transform();
    // Only the object's own fields count (not its prototype's), wrapped to 32 bits as the
    // player's integers are; NaN is 0.
    const auto field = [&](const char* name, double& out) {
        const QString key = QString::fromLatin1(name);
        if (!vm.hasOwn(o, key))
            return;
        const Value v = vm.get(o, key);
        if (!v.isUndefined())
            out = vm.toInt32(v);
    };
    field("ll", t.ll);
    field("lr", t.lr);
    field("rr", t.rr);
    field("rl", t.rl);
    s->setTransform(t);
    return Value();
}

Value soundAttach(Vm& vm, CallArgs& c)
{
    if (ScriptSound* s = scriptSound(c); s && c.size() > 0) {
        if (s->attachSound(vm.toString(c[0]).toStdString()))
            soundSelf(c)->hasSound = true;
    }
    return Value();
}

Value soundStart(Vm& vm, CallArgs& c)
{
    if (ScriptSound* s = scriptSound(c)) {
        const double offset = c.size() > 0 ? vm.toNumber(c[0]) : 0;
        const double loops = c.size() > 1 ? vm.toNumber(c[1]) : 1;
        s->start(std::isfinite(offset) ? std::max(offset, 0.0) : 0,
            std::isfinite(loops) ? int(std::clamp(loops, 1.0, 32767.0)) : 1);
    }
    return Value();
}

Value soundStop(Vm& vm, CallArgs& c)
{
    if (ScriptSound* s = scriptSound(c)) {
        if (c.size() > 0)
            s->stop(vm.toString(c[0]).toStdString());
        else
            s->stop();
    }
    return Value();
}

// Undefined until the Sound has a sound of its own.
Value soundDuration(Vm&, CallArgs& c)
{
    ScriptSound* s = scriptSound(c);
    return s && soundSelf(c)->hasSound ? Value(std::round(s->durationMs())) : Value();
}

Value soundPosition(Vm&, CallArgs& c)
{
    ScriptSound* s = scriptSound(c);
    return s && soundSelf(c)->hasSound ? Value(std::round(s->positionMs())) : Value();
}

Value soundLoad(Vm& vm, CallArgs& c)
{
    if (ScriptSound* s = scriptSound(c); s && c.size() > 0) {
        s->loadSound(engineOf(vm).resolveUrl(vm.toString(c[0])), vm.toBoolean(c[1]));
        soundSelf(c)->hasSound = true;
    }
    return Value();
}

Value soundBytesLoaded(Vm&, CallArgs& c)
{
    ScriptSound* s = scriptSound(c);
    return s && (s->bytesLoaded() > 0 || s->bytesTotal() >= 0) ? Value(double(s->bytesLoaded())) : Value();
}

Value soundBytesTotal(Vm&, CallArgs& c)
{
    ScriptSound* s = scriptSound(c);
    return s && s->bytesTotal() >= 0 ? Value(double(s->bytesTotal())) : Value();
}

Value noop(Vm&, CallArgs&)
{
    return Value();
}

// ---- System ---------------------------------------------------------------------------------

Value systemSetClipboard(Vm&, CallArgs&)
{
    return false;
}

// ---- LoadVars -------------------------------------------------------------------------------

Value loadVarsDecode(Vm& vm, CallArgs& c)
{
    if (Object* self = c.thisObject())
        decodeVariables(vm, self, vm.toString(c[0]));
    return Value();
}

Value loadVarsToString(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!self)
        return Value();
    QStringList pairs;
    const std::vector<QString> names = vm.enumerate(self);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        const Value v = vm.get(self, *it);
        if (v.object() && v.object()->asFunction())
            continue;
        pairs << QString::fromUtf8(QUrl::toPercentEncoding(*it)) + QLatin1Char('=')
                + QString::fromUtf8(QUrl::toPercentEncoding(vm.toString(v)));
    }
    return pairs.join(QLatin1Char('&'));
}

// Starts fetching `url` for `target` (a LoadVars or XML object): not loaded yet, no
// bytes in.
void startLoad(Vm& vm, Object* target, const Value& targetValue, const QString& url)
{
    vm.set(target, QStringLiteral("loaded"), false);
    target->define(QStringLiteral("__bytesLoaded"), 0.0, kHidden);
    engineOf(vm).loadData(targetValue, url);
}

Value loadVarsLoad(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!self || c.size() == 0)
        return false;
    startLoad(vm, self, c.thisValue, vm.toString(c[0]));
    return true;
}

// sendAndLoad(url, target, method): the answer goes to `target`.
Value loadVarsSendAndLoad(Vm& vm, CallArgs& c)
{
    Object* target = c[1].object();
    if (!c.thisObject() || c.size() < 2 || !target)
        return false;
    startLoad(vm, target, c[1], vm.toString(c[0]));
    return true;
}

Value loadVarsOnData(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!self)
        return Value();
    if (c[0].isUndefined()) {
        const Value args[] = { Value(false) };
        vm.callMethod(c.thisValue, QStringLiteral("onLoad"), args);
        return Value();
    }
    decodeVariables(vm, self, vm.toString(c[0]));
    vm.set(self, QStringLiteral("loaded"), true);
    const Value args[] = { Value(true) };
    vm.callMethod(c.thisValue, QStringLiteral("onLoad"), args);
    return Value();
}

Value loadVarsSend(Vm&, CallArgs&)
{
    return true;
}

// ---- SharedObject ---------------------------------------------------------------------------

QJsonValue toJson(Vm& vm, const Value& v, int depth)
{
    if (depth > 64)
        return QJsonValue();
    switch (v.type()) {
    case Value::Type::Boolean:
        return v.boolean();
    case Value::Type::Number:
        return v.number();
    case Value::Type::String:
        return QJsonObject { { QStringLiteral("s"), v.string() } };
    case Value::Type::Null:
        return QJsonValue::Null;
    case Value::Type::Object: {
        Object* o = v.object();
        if (o->asFunction() || o->asClip())
            return QJsonValue(QJsonValue::Undefined);
        QJsonObject fields;
        for (const QString& name : vm.enumerate(o)) {
            const QJsonValue field = toJson(vm, vm.get(o, name), depth + 1);
            if (!field.isUndefined())
                fields.insert(name, field);
        }
        QJsonObject wrapped { { o->asArray() ? QStringLiteral("a") : QStringLiteral("o"), fields } };
        if (ArrayObject* a = o->asArray())
            wrapped.insert(QStringLiteral("n"), double(a->length()));
        return wrapped;
    }
    default:
        return QJsonValue(QJsonValue::Undefined);
    }
}

Value fromJson(Vm& vm, const QJsonValue& j, int depth)
{
    if (depth > 64)
        return Value();
    if (j.isBool())
        return j.toBool();
    if (j.isDouble())
        return j.toDouble();
    if (j.isNull())
        return Value::null();
    if (!j.isObject())
        return Value();
    const QJsonObject o = j.toObject();
    if (o.contains(QStringLiteral("s")))
        return o.value(QStringLiteral("s")).toString();
    const bool array = o.contains(QStringLiteral("a"));
    Ref<Object> made = array ? Ref<Object>(vm.newArray()) : vm.newObject();
    const QJsonObject fields = o.value(array ? QStringLiteral("a") : QStringLiteral("o")).toObject();
    // Written newest first: set oldest first, so that for..in lists them as before.
    const QStringList keys = fields.keys();
    std::vector<QString> order(keys.begin(), keys.end());
    for (const QString& name : order)
        vm.set(made.get(), name, fromJson(vm, fields.value(name), depth + 1));
    if (array)
        made->asArray()->setLength(uint32_t(o.value(QStringLiteral("n")).toDouble()));
    return Value(made);
}

// Shared objects live under the user's data folder, one folder per movie.
QString sharedObjectPath(Vm& vm, const QString& name)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (base.isEmpty())
        return QString();
    const QByteArray movie
        = QCryptographicHash::hash(engineOf(vm).movieUrl().toUtf8(), QCryptographicHash::Sha1);
    QString safe = name;
    for (QChar& ch : safe) {
        if (!ch.isLetterOrNumber() && ch != QLatin1Char('_') && ch != QLatin1Char('-'))
            ch = QLatin1Char('_');
    }
    return base + QStringLiteral("/SharedObjects/") + QString::fromLatin1(movie.toHex().left(16))
        + QLatin1Char('/') + safe + QStringLiteral(".json");
}

Value sharedObjectGetLocal(Vm& vm, CallArgs& c)
{
    const QString name = vm.toString(c[0]);
    if (name.isEmpty())
        return Value::null();
    Ref<Object> so(new Object(vm, vm.protos().sharedObject.get()));
    Ref<Object> data = vm.newObject();
    so->define(QStringLiteral("data"), Value(data), DontDelete);
    so->define(QStringLiteral("__name"), name, kHidden);
    const QString path = sharedObjectPath(vm, name);
    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::ReadOnly)) {
        const QJsonDocument doc = QJsonDocument::fromJson(file.read(4 << 20));
        const Value stored = fromJson(vm, doc.object(), 0);
        if (stored.object())
            so->define(QStringLiteral("data"), stored, DontDelete);
    }
    return Value(so);
}

Value sharedObjectFlush(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!self)
        return false;
    const QString path = sharedObjectPath(vm, vm.toString(vm.get(self, QStringLiteral("__name"))));
    if (path.isEmpty())
        return false;
    const QJsonValue data = toJson(vm, vm.get(self, QStringLiteral("data")), 0);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = QJsonDocument(data.toObject()).toJson(QJsonDocument::Compact);
    if (bytes.size() > (1 << 20))
        return false;
    return file.write(bytes) == bytes.size();
}

Value sharedObjectClear(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!self)
        return Value();
    self->define(QStringLiteral("data"), Value(vm.newObject()), DontDelete);
    const QString path = sharedObjectPath(vm, vm.toString(vm.get(self, QStringLiteral("__name"))));
    if (!path.isEmpty())
        QFile::remove(path);
    return Value();
}

Value sharedObjectGetSize(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!self)
        return 0.0;
    const QJsonValue data = toJson(vm, vm.get(self, QStringLiteral("data")), 0);
    return double(QJsonDocument(data.toObject()).toJson(QJsonDocument::Compact).size());
}

// ---- MovieClipLoader ------------------------------------------------------------------------

void makeBroadcasterAndInit(Vm& vm, Object* o)
{
    makeBroadcaster(vm, o);
    vm.method(o, QStringLiteral("addListener"), [](Vm& vm, CallArgs& c) -> Value {
        Object* list
            = c.thisObject() ? vm.get(c.thisObject(), QStringLiteral("_listeners")).object() : nullptr;
        if (ArrayObject* a = list ? list->asArray() : nullptr) {
            for (const Value& v : a->items()) {
                if (vm.strictEquals(v, c[0]))
                    return true;
            }
            a->push(c[0]);
        }
        return true;
    });
}

Value movieClipLoaderConstructor(Vm& vm, CallArgs& c)
{
    if (Object* self = c.thisObject()) {
        Ref<Object> listeners = vm.newArray();
        self->define(QStringLiteral("_listeners"), Value(listeners), DontEnum);
        if (ArrayObject* a = listeners->asArray())
            a->push(c.thisValue);
    }
    return Value();
}

Value movieClipLoaderLoadClip(Vm& vm, CallArgs& c)
{
    if (c.size() < 2)
        return Value();
    if (!c[0].isString())
        return false;
    ScriptEngine& engine = engineOf(vm);
    DisplayObject* target = engine.displayOf(c[1]);
    int level = -1;
    if (!target) {
        if (c[1].isNumber()) {
            const double n = vm.toNumber(c[1]);
            if (!std::isfinite(n) || n < 0)
                return false;
            level = int(std::min(n, 1e6));
        } else if (c[1].isString()) {
            const QString path = vm.toString(c[1]);
            bool ok = false;
            const int n = path.startsWith(QLatin1String("_level"), Qt::CaseInsensitive) ? path.mid(6).toInt(&ok) : -1;
            if (ok && n >= 0)
                level = n;
            else
                target = engine.resolvePath(path, &engine.stage().root());
        }
    }
    if (target && !target->asMovieClip())
        return false;
    if (!target && level < 0)
        return false;
    if (target)
        level = -1;
    return engine.loadClip(target, level, vm.toString(c[0]), c.thisObject());
}

Value movieClipLoaderUnloadClip(Vm& vm, CallArgs& c)
{
    DisplayObject* target = engineOf(vm).displayOf(c[0]);
    int level = -1;
    if (!target && c[0].isNumber())
        level = vm.toInt32(c[0]);
    if (!target && level < 0)
        return false;
    engineOf(vm).unloadMovie(target, level);
    return true;
}

Value movieClipLoaderGetProgress(Vm& vm, CallArgs& c)
{
    Ref<Object> progress = vm.newObject();
    DisplayObject* target = engineOf(vm).displayOf(c[0]);
    if (MovieClip* clip = target ? target->asMovieClip() : nullptr) {
        const double bytes = clip->movie().header.fileLength;
        vm.set(progress.get(), QStringLiteral("bytesLoaded"), bytes);
        vm.set(progress.get(), QStringLiteral("bytesTotal"), bytes);
    }
    return Value(progress);
}

} // namespace

Value loadedBytes(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    return self ? vm.get(self, QStringLiteral("__bytesLoaded")) : Value();
}

Value totalBytes(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    return self ? vm.get(self, QStringLiteral("__bytesTotal")) : Value();
}

void decodeVariables(Vm& vm, Object* target, const QString& text)
{
    for (const QString& pair : text.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        const auto decode = [](QString s) {
            s.replace(QLatin1Char('+'), QLatin1Char(' '));
            return QUrl::fromPercentEncoding(s.toUtf8());
        };
        const QString name = decode(eq < 0 ? pair : pair.left(eq));
        const QString value = eq < 0 ? QString() : decode(pair.mid(eq + 1));
        if (!name.isEmpty())
            vm.set(target, name, value);
    }
}

void installColorAndSound(Vm& vm, ScriptEngine&)
{
    vm.protos().color = vm.newObject();
    Object* color = vm.protos().color.get();
    vm.makeClass(QStringLiteral("Color"), colorConstructor, color);
    defineMethods(vm, color,
        { { "setRGB", colorSetRgb }, { "getRGB", colorGetRgb }, { "setTransform", colorSetTransform },
            { "getTransform", colorGetTransform } });

    vm.protos().sound = vm.newObject();
    Object* sound = vm.protos().sound.get();
    vm.makeClass(QStringLiteral("Sound"), soundConstructor, sound);
    vm.setInstanceFactory(sound, newSound);
    defineMethods(vm, sound,
        { { "getPan", soundGetPan }, { "getTransform", soundGetTransform }, { "getVolume", soundGetVolume },
            { "setPan", soundSetPan }, { "setTransform", soundSetTransform }, { "setVolume", soundSetVolume },
            { "stop", soundStop }, { "attachSound", soundAttach }, { "start", soundStart } });
    defineMethods(vm, sound,
        { { "getDuration", soundDuration }, { "setDuration", noop }, { "getPosition", soundPosition },
            { "setPosition", noop }, { "loadSound", soundLoad }, { "getBytesLoaded", soundBytesLoaded },
            { "getBytesTotal", soundBytesTotal } },
        kBuiltin | OnlySwf6);
    vm.accessor(sound, QStringLiteral("duration"), soundDuration, nullptr, kBuiltin | OnlySwf6);
    vm.accessor(sound, QStringLiteral("position"), soundPosition, nullptr, kBuiltin | OnlySwf6);
    sound->define(QStringLiteral("checkPolicyFile"), false, kBuiltin | OnlySwf8);
}

// The sandbox a movie plays in: a movie from the network is remote; a local one may reach
// either local files or the network, as its FileAttributes ask (local files without them).
static Value sandboxType(Vm& vm, CallArgs&)
{
    ScriptEngine& engine = *vm.engine();
    const QString url = engine.movieUrl();
    if (url.startsWith(QLatin1String("http:"), Qt::CaseInsensitive)
        || url.startsWith(QLatin1String("https:"), Qt::CaseInsensitive))
        return QStringLiteral("remote");
    const auto& attributes = engine.stage().root().movie().fileAttributes;
    return attributes && attributes->useNetwork ? QStringLiteral("localWithNetwork")
                                                : QStringLiteral("localWithFile");
}

void installSystem(Vm& vm, ScriptEngine&)
{
    Ref<Object> system = vm.newObject();
    vm.global()->define(QStringLiteral("System"), Value(system), kBuiltin);
    system->define(QStringLiteral("useCodepage"), false, DontDelete);
    system->define(QStringLiteral("exactSettings"), true, DontDelete);
    vm.method(system.get(), QStringLiteral("setClipboard"), systemSetClipboard);
    vm.method(system.get(), QStringLiteral("showSettings"), noop);

    Ref<Object> capabilities = vm.newObject();
    system->define(QStringLiteral("capabilities"), Value(capabilities), DontDelete);
    const std::pair<const char*, Value> caps[] = { { "version", Value("WIN 8,0,24,0") },
        { "os", Value("Windows XP") }, { "manufacturer", Value("Macromedia Windows") },
        { "playerType", Value("StandAlone") }, { "language", Value("zh-CN") },
        { "screenResolutionX", Value(1024) }, { "screenResolutionY", Value(768) }, { "screenDPI", Value(72) },
        { "screenColor", Value("color") }, { "pixelAspectRatio", Value(1) }, { "hasAudio", Value(true) },
        { "hasMP3", Value(true) }, { "hasAudioEncoder", Value(true) }, { "hasVideoEncoder", Value(true) },
        { "hasEmbeddedVideo", Value(true) }, { "hasStreamingAudio", Value(true) },
        { "hasStreamingVideo", Value(true) }, { "hasPrinting", Value(true) },
        { "hasScreenBroadcast", Value(false) }, { "hasScreenPlayback", Value(false) },
        { "hasAccessibility", Value(true) }, { "isDebugger", Value(false) },
        { "localFileReadDisable", Value(false) }, { "avHardwareDisable", Value(false) },
        { "hasIME", Value(true) }, { "windowlessDisable", Value(false) } };
    for (const auto& [name, value] : caps)
        capabilities->define(QString::fromLatin1(name), value);

    Ref<Object> security = vm.newObject();
    system->define(QStringLiteral("security"), Value(security), DontDelete);
    defineMethods(vm, security.get(),
        { { "allowDomain", noop }, { "allowInsecureDomain", noop }, { "loadPolicyFile", noop } });
    vm.accessor(security.get(), QStringLiteral("sandboxType"), sandboxType, nullptr);

    Ref<Object> ime = vm.newObject();
    makeBroadcaster(vm, ime.get());
    system->define(QStringLiteral("IME"), Value(ime), DontDelete);
}

void installLoadVars(Vm& vm, ScriptEngine&)
{
    vm.protos().loadVars = vm.newObject();
    Object* proto = vm.protos().loadVars.get();
    vm.makeClass(QStringLiteral("LoadVars"), noop, proto, false, kBuiltin | OnlySwf6);
    defineMethods(vm, proto,
        { { "load", loadVarsLoad }, { "send", loadVarsSend }, { "sendAndLoad", loadVarsSendAndLoad },
            { "decode", loadVarsDecode }, { "toString", loadVarsToString }, { "onData", loadVarsOnData },
            { "onLoad", noop }, { "getBytesLoaded", loadedBytes }, { "getBytesTotal", totalBytes },
            { "addRequestHeader", noop } });
    proto->define(
        QStringLiteral("contentType"), QStringLiteral("application/x-www-form-urlencoded"), DontEnum);

    Ref<Object> mclProto = vm.newObject();
    Ref<NativeFunction> mcl = vm.makeClass(QStringLiteral("MovieClipLoader"), movieClipLoaderConstructor,
        mclProto.get(), false, kBuiltin | OnlySwf7);
    makeBroadcaster(vm, mclProto.get());
    mclProto->properties().erase(vm.key(QStringLiteral("_listeners")));
    defineMethods(vm, mclProto.get(),
        { { "loadClip", movieClipLoaderLoadClip }, { "unloadClip", movieClipLoaderUnloadClip },
            { "getProgress", movieClipLoaderGetProgress } });
    (void)mcl;
    (void)makeBroadcasterAndInit;
}

void installSharedObject(Vm& vm, ScriptEngine&)
{
    vm.protos().sharedObject = vm.newObject();
    Object* proto = vm.protos().sharedObject.get();
    Ref<NativeFunction> ctor
        = vm.makeClass(QStringLiteral("SharedObject"), noop, proto, false, kBuiltin | OnlySwf6);
    vm.method(ctor.get(), QStringLiteral("getLocal"), sharedObjectGetLocal);
    defineMethods(vm, proto,
        { { "flush", sharedObjectFlush }, { "clear", sharedObjectClear }, { "getSize", sharedObjectGetSize },
            { "close", noop }, { "connect", noop }, { "send", noop }, { "setFps", noop } });
}

} // namespace swf::script
