#include "ClipObject.h"

#include "Builtins.h"
#include "ScriptEngine.h"
#include "TextFieldBinding.h"
#include "Vm.h"

#include "swf/display/Stage.h"

#include <QHash>

#include <cmath>
#include <numbers>

namespace swf::script {
namespace {

enum NamedProperty : int {
    Parent = 100,
    Root,
    Enabled,
    UseHandCursor,
    LockRoot,
};

// Display properties by lower-case name: the GetProperty indices and the named ones.
const QHash<QString, int>& propertyNames()
{
    static const QHash<QString, int> names = {
        { QStringLiteral("_x"), 0 },
        { QStringLiteral("_y"), 1 },
        { QStringLiteral("_xscale"), 2 },
        { QStringLiteral("_yscale"), 3 },
        { QStringLiteral("_currentframe"), 4 },
        { QStringLiteral("_totalframes"), 5 },
        { QStringLiteral("_alpha"), 6 },
        { QStringLiteral("_visible"), 7 },
        { QStringLiteral("_width"), 8 },
        { QStringLiteral("_height"), 9 },
        { QStringLiteral("_rotation"), 10 },
        { QStringLiteral("_target"), 11 },
        { QStringLiteral("_framesloaded"), 12 },
        { QStringLiteral("_name"), 13 },
        { QStringLiteral("_droptarget"), 14 },
        { QStringLiteral("_url"), 15 },
        { QStringLiteral("_highquality"), 16 },
        { QStringLiteral("_focusrect"), 17 },
        { QStringLiteral("_soundbuftime"), 18 },
        { QStringLiteral("_quality"), 19 },
        { QStringLiteral("_xmouse"), 20 },
        { QStringLiteral("_ymouse"), 21 },
        { QStringLiteral("_parent"), Parent },
        { QStringLiteral("_root"), Root },
        { QStringLiteral("enabled"), Enabled },
        { QStringLiteral("usehandcursor"), UseHandCursor },
        { QStringLiteral("_lockroot"), LockRoot },
    };
    return names;
}

// A clip made by createEmptyMovieClip: no timeline of its own and no movie shown in it.
bool isEmptyClip(const MovieClip& clip)
{
    return !clip.character() && !clip.isMovieRoot() && clip.framesLoaded() == 0;
}

QString lower(const QString& s)
{
    for (QChar c : s) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            return s.toLower();
    }
    return s;
}

bool isMouseEventName(const QString& name)
{
    static const QString names[] = { QStringLiteral("onPress"), QStringLiteral("onRelease"),
        QStringLiteral("onReleaseOutside"), QStringLiteral("onRollOver"), QStringLiteral("onRollOut"),
        QStringLiteral("onDragOver"), QStringLiteral("onDragOut") };
    for (const QString& n : names) {
        if (name.compare(n, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

const QString* qualityNames()
{
    static const QString names[]
        = { QStringLiteral("LOW"), QStringLiteral("MEDIUM"), QStringLiteral("HIGH"), QStringLiteral("BEST") };
    return names;
}

// A number cut to a whole one, the infinities and values past the range held at its ends.
int32_t saturatedInt(double n)
{
    return int32_t(std::clamp(std::trunc(n), double(INT32_MIN), double(INT32_MAX)));
}

// Degrees in (-180, 180]; an infinity has no angle and gives NaN.
double normalizedDegrees(double degrees)
{
    degrees = std::fmod(degrees, 360.0);
    if (degrees > 180)
        degrees -= 360;
    else if (degrees < -180)
        degrees += 360;
    return degrees;
}

} // namespace

ClipObject::ClipObject(ScriptEngine& engine, Object* proto, DisplayObject& display, Kind kind)
    : Object(engine.vm(), proto)
    , engine_(engine)
    , id_(display.id())
    , kind_(kind)
{
    rememberPath();
}

QString ClipObject::typeOf() const
{
    return kind_ == Kind::MovieClip ? QStringLiteral("movieclip") : QStringLiteral("object");
}

DisplayObject* ClipObject::display() const
{
    return removed_ ? nullptr : engine_.stage().find(id_);
}

MovieClip* ClipObject::movieClip() const
{
    DisplayObject* d = display();
    return d ? d->asMovieClip() : nullptr;
}

void ClipObject::rememberPath()
{
    if (DisplayObject* d = engine_.stage().find(id_))
        path_ = engine_.targetPath(*d);
}

int ClipObject::propertyIndex(const QString& name)
{
    auto it = propertyNames().constFind(lower(name));
    return it == propertyNames().constEnd() ? -1 : it.value();
}

ClipObject::TransformCache& ClipObject::transform()
{
    DisplayObject* d = display();
    const Matrix m = d ? d->matrix() : Matrix {};
    if (!cache_ || !(cache_->matrix == m)) {
        TransformCache t;
        t.matrix = m;
        // Each axis keeps its own angle, so a flipped clip reads as turned half round
        // with both scales positive, and keeps its flip when a script turns or scales it.
        t.xscale = std::sqrt(m.a * m.a + m.b * m.b) * 100;
        t.yscale = std::sqrt(m.c * m.c + m.d * m.d) * 100;
        const double xAngle = (m.a == 0 && m.b == 0) ? 0 : std::atan2(m.b, m.a);
        const double yAngle = (m.c == 0 && m.d == 0) ? xAngle : std::atan2(-m.c, m.d);
        t.rotation = xAngle * 180 / std::numbers::pi;
        t.skew = yAngle - xAngle;
        cache_ = t;
    }
    return *cache_;
}

void ClipObject::applyTransform(const TransformCache& t)
{
    DisplayObject* d = display();
    if (!d)
        return;
    Matrix m = d->matrix();
    const double r = t.rotation * std::numbers::pi / 180;
    const double ry = r + t.skew;
    // An infinite scale is kept as the script set it, but draws as a very large one.
    const double sx = std::clamp(t.xscale / 100, -1e6, 1e6);
    const double sy = std::clamp(t.yscale / 100, -1e6, 1e6);
    m.a = std::cos(r) * sx;
    m.b = std::sin(r) * sx;
    m.c = -std::sin(ry) * sy;
    m.d = std::cos(ry) * sy;
    // A turn or scale that is not a number (an infinite turn) leaves no axes to draw on.
    if (!std::isfinite(m.a) || !std::isfinite(m.b) || !std::isfinite(m.c) || !std::isfinite(m.d))
        m.a = m.b = m.c = m.d = 0;
    d->setMatrix(m);
    cache_ = t;
    cache_->matrix = d->matrix();
}

// _focusrect of a level's root is the movie's own switch (a boolean, on at first); any
// other object keeps its own, null until given.
namespace {
const QString& focusRectKey()
{
    static const QString key = QStringLiteral("\x01focusrect");
    return key;
}
} // namespace

Value ClipObject::focusRect()
{
    DisplayObject* d = display();
    Object* holder = d && !d->container() ? engine_.vm().global() : this;
    const Property* stored = holder->findOwn(focusRectKey());
    if (stored)
        return stored->value;
    return holder == this ? Value::null() : Value(true);
}

void ClipObject::setFocusRect(const Value& value)
{
    DisplayObject* d = display();
    Vm& vm = engine_.vm();
    if (d && !d->container()) {
        // Numbers and number strings count as their value; objects are off; undefined,
        // null and what is not a number change nothing.
        if (value.isNullish())
            return;
        bool on = false;
        if (value.isBoolean()) {
            on = value.boolean();
        } else if (value.isNumber() || value.isString()) {
            const double n = vm.toNumber(value);
            if (std::isnan(n))
                return;
            on = n != 0;
        }
        vm.global()->define(focusRectKey(), on, kHidden & ~ReadOnly);
        return;
    }
    define(
        focusRectKey(), value.isNullish() ? Value::null() : Value(vm.toBoolean(value)), kHidden & ~ReadOnly);
}

Value ClipObject::property(int index)
{
    DisplayObject* d = display();
    if (!d)
        return Value();
    MovieClip* clip = d->asMovieClip();
    Vm& vm = engine_.vm();
    switch (index) {
    case 0:
        return d->matrix().tx / 20.0;
    case 1:
        return d->matrix().ty / 20.0;
    case 2:
        return transform().xscale;
    case 3:
        return transform().yscale;
    case 4:
        // A clip a script made empty has no frame to be on.
        if (clip && isEmptyClip(*clip))
            return 0.0;
        return clip ? Value(double(std::max(0, clip->currentFrame()) + 1)) : Value();
    case 5:
        if (clip && clip->movie().failedLoad)
            return 0.0;
        return clip ? Value(double(clip->frameCount())) : Value();
    case 6:
        return d->colorTransform().aMul * 100.0 / 256.0;
    case 7:
        return d->visible();
    case 8:
    case 9: {
        // The box of the corners as they land, each on whole twips.
        const QRectF own = d->bounds();
        const QTransform m = toQTransform(d->matrix());
        double lo = std::numeric_limits<double>::infinity();
        double hi = -lo;
        for (const QPointF& corner : { own.topLeft(), own.topRight(), own.bottomLeft(), own.bottomRight() }) {
            const QPointF p = m.map(corner);
            const double v = std::round(index == 8 ? p.x() : p.y());
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        return own.isEmpty() && own.isNull() ? 0.0 : (hi - lo) / 20.0;
    }
    case 10:
        return normalizedDegrees(transform().rotation);
    case 11:
        return engine_.slashPath(*d);
    case 12:
        if (clip && clip->movie().failedLoad)
            return -1.0;
        if (clip && isEmptyClip(*clip))
            return 1.0;
        return clip ? Value(double(clip->framesLoaded())) : Value();
    case 13:
        return QString::fromStdString(d->name());
    case 14:
        return engine_.dropTarget(*d);
    case 15:
        return engine_.urlOf(*d);
    case 16: {
        // Only high and best count as high quality.
        const int quality = engine_.quality();
        return quality == ScriptEngine::Best ? 2.0 : quality == ScriptEngine::High ? 1.0 : 0.0;
    }
    case 17:
        return focusRect();
    case 18:
        return double(engine_.soundBufferTime());
    case 19:
        return qualityNames()[engine_.quality()];
    case 20:
    case 21: {
        const QTransform toLocal = d->stageTransform().inverted();
        const QPointF local = toLocal.map(engine_.mouse());
        return std::round(index == 20 ? local.x() / 20 : local.y() / 20);
    }
    case Parent:
        return d->container() ? Value(engine_.objectFor(*d->container())) : Value();
    case Root: {
        DisplayObject* root = d;
        while (root->container())
            root = root->container();
        return Value(engine_.objectFor(*root));
    }
    case Enabled:
        return d->enabled();
    case UseHandCursor:
        return d->useHandCursor();
    default:
        (void)vm;
        return Value();
    }
}

void ClipObject::setProperty(int index, const Value& value)
{
    DisplayObject* d = display();
    if (!d)
        return;
    Vm& vm = engine_.vm();
    const auto number = [&](double& out) {
        const double n = vm.toNumber(value);
        if (!std::isfinite(n))
            return false;
        out = n;
        return true;
    };
    double n = 0;
    // Undefined and null change none of the display properties.
    if (value.isNullish() && index >= 0 && index <= 10)
        return;
    switch (index) {
    case 0:
    case 1: {
        // NaN leaves the position; an infinity, as any number past the range of twips,
        // becomes the least one.
        n = vm.toNumber(value);
        if (std::isnan(n))
            return;
        Matrix m = d->matrix();
        const double scaled = std::round(n * 20);
        const int32_t twips = std::fabs(scaled) < 2147483648.0 ? int32_t(scaled) : INT32_MIN;
        (index == 0 ? m.tx : m.ty) = twips;
        TransformCache t = transform();
        d->setMatrix(m);
        t.matrix = m;
        cache_ = t;
        return;
    }
    case 2:
    case 3: {
        n = vm.toNumber(value);
        if (std::isnan(n))
            return;
        TransformCache t = transform();
        (index == 2 ? t.xscale : t.yscale) = n;
        applyTransform(t);
        return;
    }
    case 6: {
        // Past the range of 8.8 fixed point the value wraps; an infinity is 0.
        n = vm.toNumber(value);
        if (std::isnan(n))
            return;
        ColorTransform cx = d->colorTransform();
        cx.aMul = int16_t(vm.toInt32(Value(n * 256 / 100)));
        d->setColorTransform(cx);
        return;
    }
    case 7: {
        // Taken as a number: only zero hides, NaN shows. An object counts by what its
        // valueOf gives, and hides when that is no plain value.
        Value plain = value;
        if (value.isObject()) {
            plain = vm.callMethod(value, QStringLiteral("valueOf"), {});
            if (plain.isObject()) {
                d->setVisible(false);
                return;
            }
        }
        d->setVisible(plain.isBoolean() ? plain.boolean() : vm.toNumber(plain) != 0);
        return;
    }
    case 8:
    case 9: {
        if (!number(n) || n < 0)
            return;
        // A size asked of something with no extent has no scale to come from: the
        // object is flattened, and what it holds later stays unseen.
        const QRectF own = d->bounds();
        const auto collapse = [&](TransformCache& t) {
            if (own.width() > 0 || own.height() > 0)
                return;
            t.xscale = t.yscale = 0;
            applyTransform(t);
        };
        TransformCache t = transform();
        const double r = t.rotation * std::numbers::pi / 180;
        const double c = std::fabs(std::cos(r));
        const double s = std::fabs(std::sin(r));
        // The box the object's own extent takes once turned, before any scaling: the
        // asked size divides it. A turned object has its other scale taken from the box
        // it has now on the other axis, so that the turned shape is measured again
        // from its box rather than kept.
        const double turnedW = (own.width() * c + own.height() * s) / 20;
        const double turnedH = (own.width() * s + own.height() * c) / 20;
        const double base = index == 8 ? turnedW : turnedH;
        if (base <= 0) {
            collapse(t);
            return;
        }
        const double other = index == 8 ? turnedH : turnedW;
        const bool turned = s > 1e-9;
        double otherSize = 0;
        if (turned && other > 0) {
            const QRectF now = toQTransform(d->matrix()).mapRect(own);
            otherSize = (index == 8 ? now.height() : now.width()) / 20;
        }
        double& scale = index == 8 ? t.xscale : t.yscale;
        double& otherScale = index == 8 ? t.yscale : t.xscale;
        scale = (scale < 0 ? -1 : 1) * n / base * 100;
        if (turned && other > 0)
            otherScale = (otherScale < 0 ? -1 : 1) * otherSize / other * 100;
        applyTransform(t);
        return;
    }
    case 10: {
        n = vm.toNumber(value);
        if (std::isnan(n))
            return;
        TransformCache t = transform();
        // An infinite turn has no angle: it reads back as NaN, and the object, with no
        // direction left for its axes, is drawn flat until a finite turn restores it.
        t.rotation = normalizedDegrees(n);
        applyTransform(t);
        return;
    }
    case 13:
        // A NaN names the object "0".
        d->setName(value.isNumber() && std::isnan(value.number()) ? std::string("0")
                                                                  : vm.toString(value).toStdString());
        rememberPath();
        return;
    case 17:
        setFocusRect(value);
        return;
    case 16: {
        // Whole values: 0 is low, 1 (and any value below 0) high, 2 and up best.
        n = vm.toNumber(value);
        if (std::isnan(n))
            return;
        const int32_t level = saturatedInt(n);
        engine_.setQuality(level == 0 ? ScriptEngine::Low
                : level >= 2          ? ScriptEngine::Best
                                      : ScriptEngine::High);
        return;
    }
    case 18:
        // Whole seconds; a value past the range of a 32-bit integer is its least one.
        n = vm.toNumber(value);
        if (std::isnan(n))
            return;
        engine_.setSoundBufferTime(std::fabs(n) < 2147483648.0 ? int32_t(n) : INT32_MIN);
        return;
    case 19: {
        // One of the names, in any case; anything else changes nothing.
        const QString name = vm.toString(value).toUpper();
        for (int quality = ScriptEngine::Low; quality <= ScriptEngine::Best; ++quality) {
            if (name == qualityNames()[quality])
                engine_.setQuality(quality);
        }
        return;
    }
    case Enabled:
        d->setEnabled(vm.toBoolean(value));
        return;
    case UseHandCursor:
        d->setUseHandCursor(vm.toBoolean(value));
        return;
    default:
        return;
    }
}

bool ClipObject::getHost(const QString& name, Value& out)
{
    if (kind_ == Kind::TextField && textFieldGet(*this, name, out))
        return true;
    if (name.isEmpty())
        return false;
    const QChar first = name[0];
    if (first == QLatin1Char('_')) {
        if (name.startsWith(QLatin1String("_level"), Qt::CaseInsensitive)) {
            bool ok = false;
            const int n = name.mid(6).toInt(&ok);
            if (ok) {
                MovieClip* level = engine_.stage().level(n);
                out = level ? Value(engine_.objectFor(*level)) : Value();
                return true;
            }
        }
        const int index = propertyIndex(name);
        if (index < 0)
            return false;
        if (index == LockRoot) {
            // Off until a script sets it; then the script's value is what reads back.
            if (findOwn(name) || engine_.vm().version() < 7)
                return false;
            out = false;
            return true;
        }
        if (index == 15 && !display()) {
            out = Value();
            return true;
        }
        out = property(index);
        return true;
    }
    if (first == QLatin1Char('e') || first == QLatin1Char('E') || first == QLatin1Char('u')
        || first == QLatin1Char('U')) {
        const int index = propertyIndex(name);
        if (index == Enabled || index == UseHandCursor) {
            // A script's own value wins once it set one that is not a boolean.
            if (findOwn(name))
                return false;
            out = property(index);
            return true;
        }
    }
    return false;
}

bool ClipObject::setHost(const QString& name, const Value& value)
{
    if (kind_ == Kind::TextField && textFieldSet(*this, name, value))
        return true;
    if (name.isEmpty())
        return false;
    const int index = propertyIndex(name);
    if (index >= 0 && index != LockRoot && index != Parent && index != Root) {
        if (index == Enabled || index == UseHandCursor) {
            setProperty(index, value);
            return false;
        }
        setProperty(index, value);
        return true;
    }
    if (isMouseEventName(name)) {
        if (DisplayObject* d = display(); d && !value.isNullish())
            d->setHandlesMouse(true);
    }
    return false;
}

bool ClipObject::hasHost(const QString& name)
{
    if (kind_ == Kind::TextField && textFieldHas(*this, name))
        return true;
    if (name.startsWith(QLatin1Char('_'))) {
        if (name.startsWith(QLatin1String("_level"), Qt::CaseInsensitive)) {
            bool ok = false;
            name.mid(6).toInt(&ok);
            if (ok)
                return true;
        }
        const int index = propertyIndex(name);
        if (index >= 0 && index != LockRoot)
            return true;
    }
    Value ignored;
    return child(name, ignored);
}

bool ClipObject::child(const QString& name, Value& out)
{
    DisplayObject* d = display();
    if (!d || name.isEmpty())
        return false;
    DisplayObject* object = d->namedChild(name.toStdString(), engine_.vm().caseSensitive());
    if (!object)
        return false;
    out = Value(engine_.objectFor(*object));
    return true;
}

void ClipObject::hostKeys(std::vector<QString>& out)
{
    MovieClip* clip = movieClip();
    if (!clip)
        return;
    // Every named child, shapes too (which stand for this clip), the topmost first.
    for (auto it = clip->displayList().rbegin(); it != clip->displayList().rend(); ++it) {
        if (!it->second->name().empty())
            out.push_back(QString::fromStdString(it->second->name()));
    }
}

Object* liveClip(ClipObject& clip)
{
    if (clip.display())
        return &clip;
    if (!clip.removed() || clip.lastPath().isEmpty())
        return &clip;
    ScriptEngine& engine = clip.engine();
    if (DisplayObject* d = engine.resolvePath(clip.lastPath(), nullptr))
        return engine.objectFor(*d);
    return &clip;
}

QString clipPath(ClipObject& clip)
{
    if (DisplayObject* d = clip.display())
        return clip.engine().targetPath(*d);
    Object* live = liveClip(clip);
    if (ClipObject* other = live->asClip(); other && other != &clip) {
        if (DisplayObject* d = other->display())
            return clip.engine().targetPath(*d);
    }
    // A reference to a clip that is gone, with nothing at its path now, has no text (but
    // in its own unload handler).
    return clip.removed() && !clip.unloading() ? QString() : clip.lastPath();
}

bool lateLookup(Vm&, Object* o, const QString& name, Value& out)
{
    ClipObject* clip = o->asClip();
    return clip && clip->child(name, out);
}

} // namespace swf::script
