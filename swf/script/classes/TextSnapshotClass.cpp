// TextSnapshot: the static text of a movie clip as characters scripts can read, search and
// select; MovieClip.getTextSnapshot.

#include "Classes.h"
#include "Native.h"

#include "swf/display/MovieClip.h"
#include "swf/display/Stage.h"
#include "swf/kinds/StaticTextInstance.h"
#include "swf/script/ScriptEngine.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace swf::script {
namespace {

// One character of a clip's static text: what it was when the snapshot was taken, and
// the text object that draws it (for selecting).
struct Char {
    ObjectId text = 0;
    std::size_t index = 0;
    StaticTextInstance::Glyph info;
};

// The static text directly in a clip (its own text objects, by depth), as it is when the
// snapshot is taken; a snapshot of no clip has none.
class TextSnapshotObject final : public Object {
public:
    using Object::Object;
    std::optional<std::vector<Char>> chars;
};

TextSnapshotObject* thisSnapshot(CallArgs& c)
{
    return dynamic_cast<TextSnapshotObject*>(c.thisValue.object());
}

std::vector<Char> charsIn(const DisplayObject& clip)
{
    std::vector<Char> out;
    if (const DisplayList* list = clip.children()) {
        for (const auto& [depth, child] : *list) {
            if (const auto* text = dynamic_cast<const StaticTextInstance*>(child.get())) {
                for (std::size_t i = 0; i < text->glyphs().size(); ++i)
                    out.push_back({ text->id(), i, text->glyphs()[i] });
            }
        }
    }
    return out;
}

const std::vector<Char>* charsOf(Vm&, CallArgs& c)
{
    TextSnapshotObject* self = thisSnapshot(c);
    return self && self->chars ? &*self->chars : nullptr;
}

// The live text object that draws a character, null once it is gone.
StaticTextInstance* textOf(Vm& vm, const Char& ch)
{
    return dynamic_cast<StaticTextInstance*>(vm.engine()->stage().find(ch.text));
}

bool selected(Vm& vm, const Char& ch)
{
    const StaticTextInstance* text = textOf(vm, ch);
    return text && text->glyphSelected(ch.index);
}

// An index argument: a whole number, NaN as 0.
double indexArg(Vm& vm, const Value& v)
{
    const double n = vm.toNumber(v);
    return std::isnan(n) ? 0 : std::trunc(n);
}

// Characters [begin, end), with a line end before each one that starts a line of its
// text when `lineEnds` (the first one excepted).
QString textOf(Vm& vm, const std::vector<Char>& chars, std::size_t begin, std::size_t end, bool lineEnds,
    bool selectedOnly)
{
    QString out;
    for (std::size_t i = begin; i < end && i < chars.size(); ++i) {
        if (selectedOnly && !selected(vm, chars[i]))
            continue;
        if (lineEnds && !out.isEmpty() && chars[i].info.startsLine)
            out += u'\n';
        out += chars[i].info.code;
    }
    return out;
}

// The range [begin, end) two index arguments name: at least one character, within the
// text; none in a text of none.
std::pair<std::size_t, std::size_t> rangeArgs(Vm& vm, CallArgs& c, std::size_t count)
{
    if (count == 0)
        return { 0, 0 };
    const double begin = std::clamp(indexArg(vm, c[0]), 0.0, double(count) - 1);
    const double end = std::clamp(indexArg(vm, c[1]), begin + 1, double(count));
    return { std::size_t(begin), std::size_t(end) };
}

Value getCount(Vm& vm, CallArgs& c)
{
    const std::vector<Char>* chars = charsOf(vm, c);
    return chars ? Value(double(chars->size())) : Value();
}

Value getText(Vm& vm, CallArgs& c)
{
    const std::vector<Char>* chars = charsOf(vm, c);
    if (!chars || c.size() < 2 || c.size() > 3)
        return Value();
    const auto [begin, end] = rangeArgs(vm, c, chars->size());
    return textOf(vm, *chars, begin, end, c.size() > 2 && vm.toBoolean(c[2]), false);
}

Value getSelectedText(Vm& vm, CallArgs& c)
{
    const std::vector<Char>* chars = charsOf(vm, c);
    if (!chars || c.size() > 1)
        return Value();
    return textOf(vm, *chars, 0, chars->size(), c.size() > 0 && vm.toBoolean(c[0]), true);
}

Value setSelected(Vm& vm, CallArgs& c)
{
    const std::vector<Char>* chars = charsOf(vm, c);
    if (!chars || c.size() != 3 || chars->empty())
        return Value();
    const auto [begin, end] = rangeArgs(vm, c, chars->size());
    const bool on = vm.toBoolean(c[2]);
    for (std::size_t i = begin; i < end; ++i) {
        if (StaticTextInstance* text = textOf(vm, (*chars)[i]))
            text->setGlyphSelected((*chars)[i].index, on);
    }
    return Value();
}

Value getSelected(Vm& vm, CallArgs& c)
{
    const std::vector<Char>* chars = charsOf(vm, c);
    if (!chars || c.size() != 2)
        return Value();
    if (chars->empty())
        return false;
    const auto [begin, end] = rangeArgs(vm, c, chars->size());
    for (std::size_t i = begin; i < end; ++i) {
        if (selected(vm, (*chars)[i]))
            return true;
    }
    return false;
}

Value findText(Vm& vm, CallArgs& c)
{
    const std::vector<Char>* chars = charsOf(vm, c);
    if (!chars || c.size() != 3)
        return Value();
    const QString all = textOf(vm, *chars, 0, chars->size(), false, false);
    const double from = std::max(0.0, indexArg(vm, c[0]));
    if (from > double(all.size()))
        return -1.0;
    const QString wanted = vm.toString(c[1]);
    const auto sensitivity = vm.toBoolean(c[2]) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return double(all.indexOf(wanted, qsizetype(from), sensitivity));
}

// The character nearest the point (x, y) in the clip's pixels, when it lies within
// `closeDist` pixels of it; -1 otherwise.
Value hitTestTextNearPos(Vm& vm, CallArgs& c)
{
    const std::vector<Char>* chars = charsOf(vm, c);
    if (!chars || c.size() < 2)
        return Value();
    const QPointF at(vm.toNumber(c[0]) * 20, vm.toNumber(c[1]) * 20);
    const double close = c.size() > 2 ? std::max(0.0, vm.toNumber(c[2]) * 20) : 0;
    if (!std::isfinite(at.x()) || !std::isfinite(at.y()))
        return -1.0;
    double best = close;
    double found = -1;
    for (std::size_t i = 0; i < chars->size(); ++i) {
        const Char& ch = (*chars)[i];
        const StaticTextInstance* text = textOf(vm, ch);
        bool invertible = false;
        const QPointF local = text ? toQTransform(text->matrix()).inverted(&invertible).map(at) : at;
        if (!invertible)
            continue;
        const QRectF box = ch.info.box;
        const double dx = std::max({ box.left() - local.x(), 0.0, local.x() - box.right() });
        const double dy = std::max({ box.top() - local.y(), 0.0, local.y() - box.bottom() });
        const double distance = std::hypot(dx, dy);
        if (distance <= best && (found < 0 || distance < best)) {
            best = distance;
            found = double(i);
        }
    }
    return found;
}

Value setSelectColor(Vm& vm, CallArgs& c)
{
    const std::vector<Char>* chars = charsOf(vm, c);
    if (!chars || c.size() != 1)
        return Value();
    const uint32_t n = vm.toUint32(c[0]);
    for (const Char& ch : *chars) {
        if (StaticTextInstance* text = textOf(vm, ch))
            text->setSelectColor(Rgba { uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n), 255 });
    }
    return Value();
}

// One object per character of [begin, end]: where it is in its text, how it looks and
// where it is drawn.
Value getTextRunInfo(Vm& vm, CallArgs& c)
{
    const std::vector<Char>* chars = charsOf(vm, c);
    if (!chars || c.size() != 2)
        return Value();
    std::vector<Value> runs;
    const double count = double(chars->size());
    if (count == 0)
        return Value(vm.newArray());
    const double begin = std::clamp(indexArg(vm, c[0]), 0.0, count - 1);
    const double end = std::clamp(indexArg(vm, c[1]), begin, count - 1);
    for (std::size_t i = std::size_t(begin); double(i) <= end && i < chars->size(); ++i) {
        const Char& ch = (*chars)[i];
        const StaticTextInstance::Glyph& g = ch.info;
        const StaticTextInstance* text = textOf(vm, ch);
        const QTransform place = text ? toQTransform(text->matrix()) : QTransform();
        const QTransform m = g.matrix * place;
        Ref<Object> run = vm.newObject();
        const auto put
            = [&](const char* name, const Value& v) { run->define(QString::fromLatin1(name), v, 0); };
        put("indexInRun", double(i));
        put("selected", selected(vm, ch));
        put("font", g.font);
        put("color",
            double((uint32_t(g.color.a) << 24) | (uint32_t(g.color.r) << 16) | (uint32_t(g.color.g) << 8)
                | g.color.b));
        put("height", g.height / 20);
        put("matrix_a", m.m11());
        put("matrix_b", m.m12());
        put("matrix_c", m.m21());
        put("matrix_d", m.m22());
        put("matrix_tx", m.dx() / 20);
        put("matrix_ty", m.dy() / 20);
        const QPolygonF corners = place.map(QPolygonF(g.box));
        for (int k = 0; k < 4 && k < corners.size(); ++k) {
            put(QStringLiteral("corner%1x").arg(k).toLatin1().constData(), corners[k].x() / 20);
            put(QStringLiteral("corner%1y").arg(k).toLatin1().constData(), corners[k].y() / 20);
        }
        runs.emplace_back(run.get());
    }
    return Value(vm.newArray(std::move(runs)));
}

Value textSnapshotConstructor(Vm& vm, CallArgs& c)
{
    TextSnapshotObject* self = thisSnapshot(c);
    if (!self || c.size() == 0)
        return Value();
    if (MovieClip* clip = vm.engine()->movieClipOf(c[0]))
        self->chars = charsIn(*clip);
    return Value();
}

Ref<Object> makeSnapshot(Vm& vm, Object* proto)
{
    return Ref<Object>(new TextSnapshotObject(vm, proto));
}

// MovieClip.getTextSnapshot: whatever the global TextSnapshot makes of the clip.
Value getTextSnapshot(Vm& vm, CallArgs& c)
{
    if (!vm.engine()->movieClipOf(c.thisValue))
        return Value();
    const Value ctor = vm.get(vm.global(), QStringLiteral("TextSnapshot"));
    const Value args[] = { c.thisValue };
    return vm.construct(ctor, args);
}

} // namespace

void installTextSnapshot(Vm& vm)
{
    Ref<Object> proto = vm.newObject();
    vm.makeClass(QStringLiteral("TextSnapshot"), textSnapshotConstructor, proto.get());
    vm.setInstanceFactory(proto.get(), makeSnapshot);
    // Listed by for..in, newest first; before SWF 6 the names are there without methods.
    static constexpr MethodSpec methods[] = { { "getCount", getCount }, { "setSelected", setSelected },
        { "getSelected", getSelected }, { "getText", getText }, { "getSelectedText", getSelectedText },
        { "hitTestTextNearPos", hitTestTextNearPos }, { "findText", findText },
        { "setSelectColor", setSelectColor }, { "getTextRunInfo", getTextRunInfo } };
    for (const MethodSpec& m : methods) {
        if (vm.version() < 6)
            proto->define(QString::fromLatin1(m.name), Value(), 0);
        else
            vm.method(proto.get(), QString::fromLatin1(m.name), m.fn, 0);
    }
    if (Object* clipProto = vm.protos().movieClip.get())
        vm.method(clipProto, QStringLiteral("getTextSnapshot"), getTextSnapshot);
}

} // namespace swf::script
