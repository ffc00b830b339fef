// TextField: the properties and methods of text fields, MovieClip.createTextField and
// Selection.

#include "Classes.h"
#include "Native.h"
#include "TextFormatObject.h"

#include "swf/display/MovieClip.h"
#include "swf/display/Stage.h"
#include "swf/kinds/EditTextInstance.h"
#include "swf/script/ClipObject.h"
#include "swf/script/ScriptEngine.h"
#include "swf/script/TextFieldBinding.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

namespace swf::script {
namespace {

ScriptEngine& engineOf(Vm& vm)
{
    return *vm.engine();
}

EditTextInstance* thisField(Vm& vm, CallArgs& c)
{
    return textFieldOf(engineOf(vm), c.thisValue);
}

double rgbOf(Rgba c)
{
    return double((uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b);
}

Rgba rgbaOf(Vm& vm, const Value& v)
{
    const uint32_t n = vm.toUint32(v);
    return Rgba { uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n), 255 };
}

// Pixels from twips, as the measures read: whole pixels.
double pixels(double twips)
{
    return std::round(twips / 20);
}

// The measures of the text count only whole pixels.
double wholePixels(double twips)
{
    return std::floor(twips / 20 + 1e-6);
}

// The properties, in the order the prototype gets them (for..in lists them newest first).
enum class Prop : uint8_t {
    GridFitType,
    AntiAliasType,
    Thickness,
    Sharpness,
    Filters,
    Scroll,
    MaxScroll,
    BorderColor,
    BackgroundColor,
    TextColor,
    TabIndex,
    AutoSize,
    Text,
    Type,
    HtmlText,
    Variable,
    HScroll,
    MaxHScroll,
    MaxChars,
    EmbedFonts,
    Html,
    Border,
    Background,
    WordWrap,
    Password,
    Multiline,
    Selectable,
    Length,
    BottomScroll,
    TextWidth,
    TextHeight,
    Restrict,
    CondenseWhite,
    MouseWheelEnabled,
    StyleSheet,
};

struct PropInfo {
    const char* name;
    bool writable;
};

constexpr PropInfo kProps[] = { { "gridFitType", true }, { "antiAliasType", true }, { "thickness", true },
    { "sharpness", true }, { "filters", true }, { "scroll", true }, { "maxscroll", false },
    { "borderColor", true }, { "backgroundColor", true }, { "textColor", true }, { "tabIndex", true },
    { "autoSize", true }, { "text", true }, { "type", true }, { "htmlText", true }, { "variable", true },
    { "hscroll", true }, { "maxhscroll", false }, { "maxChars", true }, { "embedFonts", true },
    { "html", true }, { "border", true }, { "background", true }, { "wordWrap", true }, { "password", true },
    { "multiline", true }, { "selectable", true }, { "length", false }, { "bottomScroll", false },
    { "textWidth", false }, { "textHeight", false }, { "restrict", true }, { "condenseWhite", true },
    { "mouseWheelEnabled", true }, { "styleSheet", true } };

QString autoSizeName(EditTextInstance::AutoSize mode)
{
    switch (mode) {
    case EditTextInstance::AutoSize::Left:
        return QStringLiteral("left");
    case EditTextInstance::AutoSize::Center:
        return QStringLiteral("center");
    case EditTextInstance::AutoSize::Right:
        return QStringLiteral("right");
    case EditTextInstance::AutoSize::None:
        break;
    }
    return QStringLiteral("none");
}

// What a field keeps for scripts that the engine does not use: stored on the field's
// script object under a name scripts cannot reach.
QString extraKey(Prop p)
{
    return QStringLiteral("\x01") + QString::fromLatin1(kProps[int(p)].name);
}

Value extra(ClipObject& self, Prop p, const Value& fallback)
{
    const Property* stored = self.findOwn(extraKey(p));
    return stored ? stored->value : fallback;
}

Value readProp(Vm& vm, ClipObject& self, EditTextInstance& f, Prop p)
{
    TextFields& fields = engineOf(vm).textFields();
    switch (p) {
    case Prop::Text:
        fields.pull(f);
        return f.text();
    case Prop::HtmlText:
        fields.pull(f);
        return f.htmlText();
    case Prop::Html:
        return f.html();
    case Prop::Length:
        fields.pull(f);
        return double(f.length());
    case Prop::TextWidth:
        return wholePixels(f.textWidth());
    case Prop::TextHeight:
        return wholePixels(f.textHeight());
    case Prop::Scroll:
        return double(f.scroll());
    case Prop::MaxScroll:
        return double(f.maxScroll());
    case Prop::BottomScroll:
        return double(f.bottomScroll());
    case Prop::HScroll:
        return pixels(f.hscroll());
    case Prop::MaxHScroll:
        return pixels(f.maxHscroll());
    case Prop::AutoSize:
        return autoSizeName(f.autoSize());
    case Prop::Border:
        return f.border();
    case Prop::BorderColor:
        return rgbOf(f.borderColor());
    case Prop::Background:
        return f.background();
    case Prop::BackgroundColor:
        return rgbOf(f.backgroundColor());
    case Prop::TextColor:
        return rgbOf(f.textColor());
    case Prop::Multiline:
        return f.multiline();
    case Prop::WordWrap:
        return f.wordWrap();
    case Prop::Password:
        return f.password();
    case Prop::Selectable:
        return f.selectable();
    case Prop::EmbedFonts:
        return f.embedFonts();
    case Prop::CondenseWhite:
        return f.condenseWhite();
    case Prop::MaxChars:
        return f.maxChars() > 0 ? Value(double(f.maxChars())) : Value::null();
    case Prop::Restrict:
        return f.restrict() ? Value(*f.restrict()) : Value::null();
    case Prop::Type:
        return f.readOnly() ? QStringLiteral("dynamic") : QStringLiteral("input");
    case Prop::Variable:
        return f.variable().isEmpty() ? Value::null() : Value(f.variable());
    case Prop::Filters:
        return Value(vm.newArray());
    case Prop::Sharpness:
    case Prop::Thickness:
        return extra(self, p, 0.0);
    case Prop::AntiAliasType:
        return extra(self, p, QStringLiteral("normal"));
    case Prop::GridFitType:
        return extra(self, p, QStringLiteral("pixel"));
    case Prop::MouseWheelEnabled:
        return extra(self, p, true);
    case Prop::TabIndex:
    case Prop::StyleSheet:
        return extra(self, p, Value());
    }
    return Value();
}

void writeProp(Vm& vm, ClipObject& self, EditTextInstance& f, Prop p, const Value& v)
{
    TextFields& fields = engineOf(vm).textFields();
    switch (p) {
    case Prop::Text:
        f.setText(vm.toString(v));
        fields.push(f);
        return;
    case Prop::HtmlText:
        f.setHtmlText(vm.toString(v));
        fields.push(f);
        return;
    case Prop::Html:
        f.setHtml(vm.toBoolean(v));
        return;
    case Prop::Scroll:
        // The line is kept counted from 0 in 32 bits: the lowest number wraps round to
        // the highest, which is the last line.
        if (const auto index = static_cast<int32_t>(static_cast<uint32_t>(vm.toInt32(v)) - 1u);
            index == std::numeric_limits<int32_t>::max())
            f.setScroll(index);
        else
            f.setScroll(index + 1);
        return;
    case Prop::HScroll:
        f.setHscroll(std::max(0, vm.toInt32(v)) * 20.0);
        return;
    case Prop::AutoSize:
        if (v.isBoolean()) {
            f.setAutoSize(v.boolean() ? EditTextInstance::AutoSize::Left : EditTextInstance::AutoSize::None);
        } else {
            const QString s = vm.toString(v);
            f.setAutoSize(s == u"left" ? EditTextInstance::AutoSize::Left
                    : s == u"center"   ? EditTextInstance::AutoSize::Center
                    : s == u"right"    ? EditTextInstance::AutoSize::Right
                                       : EditTextInstance::AutoSize::None);
        }
        return;
    case Prop::Border:
        f.setBorder(vm.toBoolean(v));
        return;
    case Prop::BorderColor:
        f.setBorderColor(rgbaOf(vm, v));
        return;
    case Prop::Background:
        f.setBackground(vm.toBoolean(v));
        return;
    case Prop::BackgroundColor:
        f.setBackgroundColor(rgbaOf(vm, v));
        return;
    case Prop::TextColor:
        f.setTextColor(rgbaOf(vm, v));
        return;
    case Prop::Multiline:
        f.setMultiline(vm.toBoolean(v));
        return;
    case Prop::WordWrap:
        f.setWordWrap(vm.toBoolean(v));
        return;
    case Prop::Password:
        f.setPassword(vm.toBoolean(v));
        return;
    case Prop::Selectable:
        f.setSelectable(vm.toBoolean(v));
        return;
    case Prop::EmbedFonts:
        f.setEmbedFonts(vm.toBoolean(v));
        return;
    case Prop::CondenseWhite:
        f.setCondenseWhite(vm.toBoolean(v));
        return;
    case Prop::MaxChars:
        f.setMaxChars(v.isNullish() ? 0 : vm.toInt32(v));
        return;
    case Prop::Restrict:
        if (v.isNullish())
            f.setRestrict(std::nullopt);
        else
            f.setRestrict(vm.toString(v));
        return;
    case Prop::Type: {
        const QString s = vm.toString(v);
        if (s == u"input")
            f.setReadOnly(false);
        else if (s == u"dynamic")
            f.setReadOnly(true);
        return;
    }
    case Prop::Variable: {
        const QString name = v.isNullish() ? QString() : vm.toString(v);
        f.setVariable(name);
        if (!name.isEmpty())
            fields.bind(f);
        return;
    }
    case Prop::Sharpness:
    case Prop::Thickness:
        self.define(extraKey(p), vm.toNumber(v), kHidden & ~ReadOnly);
        return;
    case Prop::AntiAliasType:
    case Prop::GridFitType:
    case Prop::TabIndex:
    case Prop::StyleSheet:
    case Prop::MouseWheelEnabled:
        self.define(extraKey(p), v, kHidden & ~ReadOnly);
        return;
    case Prop::Length:
    case Prop::TextWidth:
    case Prop::TextHeight:
    case Prop::MaxScroll:
    case Prop::BottomScroll:
    case Prop::MaxHScroll:
    case Prop::Filters:
        return;
    }
}

ClipObject* thisClipObject(Vm& vm, CallArgs& c)
{
    DisplayObject* d = engineOf(vm).displayOf(c.thisValue);
    return d ? engineOf(vm).objectFor(*d) : nullptr;
}

template <Prop P> Value getProp(Vm& vm, CallArgs& c)
{
    EditTextInstance* f = thisField(vm, c);
    ClipObject* self = thisClipObject(vm, c);
    return f && self ? readProp(vm, *self, *f, P) : Value();
}

template <Prop P> Value setProp(Vm& vm, CallArgs& c)
{
    EditTextInstance* f = thisField(vm, c);
    ClipObject* self = thisClipObject(vm, c);
    if (f && self)
        writeProp(vm, *self, *f, P, c[0]);
    return Value();
}

// The properties of SWF 8 (filters and the anti-aliasing settings) are plain ones before.
constexpr size_t kFirstOfSwf7 = size_t(Prop::Scroll);

template <size_t I> void defineProp(Vm& vm, Object* proto)
{
    const QString name = QString::fromLatin1(kProps[I].name);
    if (I < kFirstOfSwf7 && vm.version() < 8)
        proto->define(name, Value(), DontDelete);
    else
        vm.accessor(
            proto, name, getProp<Prop(I)>, kProps[I].writable ? setProp<Prop(I)> : nullptr, DontDelete);
}

template <size_t... I> void defineProps(Vm& vm, Object* proto, std::index_sequence<I...>)
{
    (defineProp<I>(vm, proto), ...);
}

// ---- Methods -------------------------------------------------------------------------------------

// The range [begin, end) the first two arguments of getTextFormat and setTextFormat name
// within a text of `length`: none for the whole text, one for that character.
std::pair<int, int> rangeOf(Vm& vm, CallArgs& c, int length)
{
    const auto index = [&](size_t i) -> std::optional<int> {
        if (c.size() <= i || asTextFormat(c[i]))
            return std::nullopt;
        return vm.toInt32(c[i]);
    };
    const std::optional<int> first = index(0);
    const int begin = std::clamp(first.value_or(0), 0, length);
    const int end = first ? index(1).value_or(begin + 1) : length;
    return { begin, std::clamp(end, begin, length) };
}

Value getTextFormat(Vm& vm, CallArgs& c)
{
    EditTextInstance* f = thisField(vm, c);
    if (!f)
        return Value();
    const int length = f->length();
    const auto [begin, end] = rangeOf(vm, c, length);
    if (begin >= end) {
        // An empty range reads the format at its place (the new text's past the end).
        return Value(newTextFormat(vm, begin < length ? f->formatAt(begin) : f->defaultFormat()));
    }
    Ref<TextFormatObject> out = newTextFormat(vm, f->formatAt(begin));
    int at = 0;
    for (const TextSpan& span : f->spans()) {
        const int from = at;
        at += int(span.text.size());
        if (at > begin && from < end)
            out->intersect(span.format);
    }
    return Value(out);
}

Value setTextFormat(Vm& vm, CallArgs& c)
{
    EditTextInstance* f = thisField(vm, c);
    if (!f || c.size() == 0)
        return Value();
    TextFormatObject* format = asTextFormat(c[c.size() - 1]);
    if (!format)
        return Value();
    const int length = f->length();
    const auto [begin, end] = rangeOf(vm, c, length);
    if (begin >= end)
        return Value();
    // Each run keeps what the format does not set.
    std::vector<TextSpan> spans;
    int at = 0;
    for (const TextSpan& span : f->spans()) {
        const int from = at;
        const int to = at + int(span.text.size());
        at = to;
        const int a = std::clamp(begin, from, to);
        const int b = std::clamp(end, from, to);
        if (a >= b) {
            spans.push_back(span);
            continue;
        }
        TextFormat changed = span.format;
        format->applyTo(changed);
        spans.push_back({ span.text.mid(0, a - from), span.format });
        spans.push_back({ span.text.mid(a - from, b - a), changed });
        spans.push_back({ span.text.mid(b - from), span.format });
    }
    f->setSpans(std::move(spans));
    return Value();
}

Value getNewTextFormat(Vm& vm, CallArgs& c)
{
    EditTextInstance* f = thisField(vm, c);
    return f ? Value(newTextFormat(vm, f->defaultFormat())) : Value();
}

Value setNewTextFormat(Vm& vm, CallArgs& c)
{
    EditTextInstance* f = thisField(vm, c);
    TextFormatObject* format = asTextFormat(c[0]);
    if (!f || !format)
        return Value();
    TextFormat changed = f->defaultFormat();
    format->applyTo(changed);
    f->setDefaultFormat(changed);
    return Value();
}

// Replaces characters [begin, end) with `text` in the format of the first one replaced.
void replaceRange(EditTextInstance& f, int begin, int end, const QString& text)
{
    const int length = f.length();
    begin = std::clamp(begin, 0, length);
    end = std::clamp(end, begin, length);
    const TextFormat format
        = begin < length ? f.formatAt(begin) : (length > 0 ? f.formatAt(length - 1) : f.defaultFormat());
    std::vector<TextSpan> spans;
    int at = 0;
    for (const TextSpan& span : f.spans()) {
        const int from = at;
        at += int(span.text.size());
        if (from < begin)
            spans.push_back({ span.text.left(std::min(at, begin) - from), span.format });
    }
    spans.push_back({ text, format });
    at = 0;
    for (const TextSpan& span : f.spans()) {
        const int from = at;
        at += int(span.text.size());
        if (at > end)
            spans.push_back({ span.text.mid(std::max(from, end) - from), span.format });
    }
    f.setSpans(std::move(spans));
}

Value replaceText(Vm& vm, CallArgs& c)
{
    EditTextInstance* f = thisField(vm, c);
    if (!f || c.size() < 3)
        return Value();
    const int begin = vm.toInt32(c[0]);
    const int end = vm.toInt32(c[1]);
    if (begin < 0 || end < begin)
        return Value();
    replaceRange(*f, begin, end, vm.toString(c[2]));
    engineOf(vm).textFields().push(*f);
    return Value();
}

Value replaceSel(Vm& vm, CallArgs& c)
{
    EditTextInstance* f = thisField(vm, c);
    TextFields& fields = engineOf(vm).textFields();
    if (!f || c.size() == 0)
        return Value();
    const QString text = vm.toString(c[0]);
    // A field without the focus takes the text at its start.
    const bool focused = fields.focus() == f && fields.selectionBegin() >= 0;
    const int begin = focused ? fields.selectionBegin() : 0;
    replaceRange(*f, begin, focused ? fields.selectionEnd() : 0, text);
    if (focused)
        fields.setSelection(begin + int(text.size()), begin + int(text.size()));
    fields.push(*f);
    return Value();
}

Value getDepth(Vm& vm, CallArgs& c)
{
    EditTextInstance* f = thisField(vm, c);
    return f ? Value(double(f->scriptDepth())) : Value();
}

Value removeTextField(Vm& vm, CallArgs& c)
{
    EditTextInstance* f = thisField(vm, c);
    if (f && f->parent() && f->scriptDepth() >= 0)
        engineOf(vm).removeClip(*f);
    return Value();
}

Value getFontList(Vm& vm, CallArgs&)
{
    std::vector<Value> names
        = { QStringLiteral("_sans"), QStringLiteral("_serif"), QStringLiteral("_typewriter"),
              QStringLiteral("Times New Roman"), QStringLiteral("Arial"), QStringLiteral("Courier New") };
    return Value(vm.newArray(std::move(names)));
}

Value noop(Vm&, CallArgs&)
{
    return Value();
}

// MovieClip.createTextField(name, depth, x, y, width, height): the new field, from SWF 8
// on; older movies get nothing back.
Value createTextField(Vm& vm, CallArgs& c)
{
    ScriptEngine& engine = engineOf(vm);
    MovieClip* clip = engine.movieClipOf(c.thisValue);
    if (!clip || c.size() < 6)
        return Value();
    const double depth = vm.toNumber(c[1]);
    if (!std::isfinite(depth))
        return Value();
    const auto whole = [&](const Value& v) {
        const double n = vm.toNumber(v);
        return std::isfinite(n) ? std::clamp(std::trunc(n), -107374182.0, 107374182.0) : 0.0;
    };
    const double x = whole(c[2]);
    const double y = whole(c[3]);
    const double w = whole(c[4]);
    const double h = whole(c[5]);
    // Depths past the range are refused when the field is placed.
    const int scriptDepth = int(std::clamp(depth, -2e9, 2e9));
    auto field = EditTextInstance::makeEmpty(
        engine.stage(), clip->movie(), scriptDepth + kScriptDepthOffset, QRectF(0, 0, w * 20, h * 20));
    Matrix m;
    m.tx = int32_t(x * 20);
    m.ty = int32_t(y * 20);
    field->setMatrix(m);
    DisplayObject* made = clip->adoptByScript(std::move(field), vm.toString(c[0]).toStdString(), scriptDepth);
    if (!made || vm.version() < 8)
        return Value();
    return Value(engine.objectFor(*made));
}

// TextFormat.getTextExtent(text, width): the measures of the text laid out in this format,
// on one line or wrapped at `width` pixels, and of the field that would just hold it.
Value getTextExtent(Vm& vm, CallArgs& c)
{
    TextFormatObject* self = asTextFormat(c.thisValue);
    if (!self || c.size() == 0)
        return Value();
    ScriptEngine& engine = engineOf(vm);
    const double asked = c.size() > 1 && !c[1].isUndefined() ? vm.toNumber(c[1]) : std::nan("");
    const bool wrap = std::isfinite(asked) && asked > 0;
    const double fieldWidth = wrap ? std::min(asked, 1e6) : 0;
    TextFormat format;
    self->applyTo(format);
    auto field = EditTextInstance::makeEmpty(
        engine.stage(), engine.stage().movie(), 0, QRectF(0, 0, (wrap ? fieldWidth : 100) * 20, 100 * 20));
    field->setDefaultFormat(format);
    field->setMultiline(true);
    field->setWordWrap(wrap);
    field->setText(vm.toString(c[0]));
    const auto [ascent, descent] = field->firstLineExtent();
    const double width = wholePixels(field->textWidth());
    const double height = wholePixels(field->textHeight());
    Ref<Object> extent(new Object(vm, nullptr));
    vm.set(extent.get(), QStringLiteral("ascent"), std::round(ascent / 20));
    vm.set(extent.get(), QStringLiteral("descent"), std::round(descent / 20));
    vm.set(extent.get(), QStringLiteral("width"), width);
    vm.set(extent.get(), QStringLiteral("height"), height);
    vm.set(extent.get(), QStringLiteral("textFieldHeight"), height + 4);
    vm.set(extent.get(), QStringLiteral("textFieldWidth"), wrap ? fieldWidth : width + 4);
    return Value(extent);
}

// ---- Selection ---------------------------------------------------------------------------------

Value selectionGetFocus(Vm& vm, CallArgs&)
{
    DisplayObject* d = engineOf(vm).textFields().focus();
    return d ? Value(engineOf(vm).targetPath(*d)) : Value::null();
}

Value selectionSetFocus(Vm& vm, CallArgs& c)
{
    ScriptEngine& engine = engineOf(vm);
    if (c.size() == 0)
        return false;
    if (c[0].isNullish())
        return engine.textFields().setFocus(nullptr);
    DisplayObject* d = engine.resolveTarget(c[0], &engine.stage().root());
    if (!d)
        return false;
    return engine.textFields().setFocus(d);
}

enum class Index : uint8_t { Begin, End, Caret };

template <Index Which> Value selectionIndex(Vm& vm, CallArgs&)
{
    TextFields& fields = engineOf(vm).textFields();
    if (!dynamic_cast<EditTextInstance*>(fields.focus()))
        return -1.0;
    switch (Which) {
    case Index::Begin:
        return double(fields.selectionBegin());
    case Index::End:
        return double(fields.selectionEnd());
    case Index::Caret:
        break;
    }
    return double(fields.caret());
}

Value selectionSetSelection(Vm& vm, CallArgs& c)
{
    const auto index = [&](size_t i) -> std::optional<int> {
        if (c.size() <= i || c[i].isUndefined())
            return std::nullopt;
        return vm.toInt32(c[i]);
    };
    engineOf(vm).textFields().setSelection(index(0), index(1));
    return Value();
}

} // namespace

void installButtonAndTextField(Vm& vm, ScriptEngine&)
{
    vm.protos().button = vm.newObject();
    vm.makeClass(QStringLiteral("Button"), noop, vm.protos().button.get());

    vm.protos().textField = vm.newObject();
    Object* proto = vm.protos().textField.get();
    Ref<NativeFunction> ctor = vm.makeClass(QStringLiteral("TextField"), noop, proto);
    defineProps(vm, proto, std::make_index_sequence<std::size(kProps)>());
    defineMethods(vm, proto,
        { { "replaceSel", replaceSel }, { "getTextFormat", getTextFormat },
            { "setTextFormat", setTextFormat }, { "removeTextField", removeTextField },
            { "getNewTextFormat", getNewTextFormat }, { "setNewTextFormat", setNewTextFormat },
            { "getDepth", getDepth }, { "replaceText", replaceText } },
        DontEnum);
    vm.method(ctor.get(), QStringLiteral("getFontList"), getFontList);
    if (Object* clipProto = vm.protos().movieClip.get())
        vm.method(clipProto, QStringLiteral("createTextField"), createTextField);

    installTextFormat(vm);
    vm.method(vm.protos().textFormat.get(), QStringLiteral("getTextExtent"), getTextExtent);
    installTextSnapshot(vm);

    Ref<Object> selection = vm.newObject();
    makeBroadcaster(vm, selection.get());
    defineMethods(vm, selection.get(),
        { { "getFocus", selectionGetFocus }, { "setFocus", selectionSetFocus },
            { "getBeginIndex", selectionIndex<Index::Begin> }, { "getEndIndex", selectionIndex<Index::End> },
            { "getCaretIndex", selectionIndex<Index::Caret> }, { "setSelection", selectionSetSelection } });
    vm.protos().selection = selection;
}

void installSelection(Vm& vm)
{
    vm.global()->define(QStringLiteral("Selection"), Value(vm.protos().selection), kBuiltin);
}

// A text field's own properties: its box answers _width and _height (the text is not
// scaled), and it is the broadcaster of its onChanged and onScroller events.
bool textFieldGet(ClipObject& field, const QString& name, Value&)
{
    static const QString names[] = { QStringLiteral("_listeners"), QStringLiteral("addListener"),
        QStringLiteral("removeListener"), QStringLiteral("broadcastMessage") };
    Vm& vm = field.vm();
    const bool broadcasting = std::any_of(
        std::begin(names), std::end(names), [&](const QString& n) { return vm.sameName(n, name); });
    if (broadcasting && !field.findOwn(QStringLiteral("_listeners"))) {
        // The field listens to itself from the start.
        makeBroadcaster(vm, &field);
        Object* list = vm.get(&field, QStringLiteral("_listeners")).object();
        if (ArrayObject* array = list ? list->asArray() : nullptr)
            array->push(Value(&field));
    }
    return false;
}

bool textFieldSet(ClipObject& field, const QString& name, const Value& value)
{
    auto* f = dynamic_cast<EditTextInstance*>(field.display());
    if (!f)
        return false;
    const int index = ClipObject::propertyIndex(name);
    if (index != 0 && index != 1 && index != 8 && index != 9)
        return false;
    const double n = field.vm().toNumber(value);
    if (index <= 1) {
        // A field's place is whole twips, the fraction cut off.
        if (!std::isfinite(n))
            return true;
        Matrix m = f->matrix();
        (index == 0 ? m.tx : m.ty) = int32_t(std::clamp(std::trunc(n * 20), -2147483648.0, 2147483647.0));
        f->setMatrix(m);
        return true;
    }
    if (!std::isfinite(n) || n < 0)
        return true;
    QRectF box = f->box();
    if (index == 8)
        box.setWidth(std::trunc(n * 20));
    else
        box.setHeight(std::trunc(n * 20));
    f->setBox(box);
    return true;
}

bool textFieldHas(ClipObject&, const QString&)
{
    return false;
}

} // namespace swf::script
