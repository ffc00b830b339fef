// TextFormat: the format of runs of a text field, as scripts read and give it.

#include "Classes.h"
#include "Native.h"
#include "TextFormatObject.h"

#include <cmath>

namespace swf::script {
namespace {

// The names in the order for..in lists them.
constexpr const char* kFieldNames[TextFormatObject::FieldCount] = { "font", "size", "color", "url", "target",
    "bold", "italic", "underline", "align", "leftMargin", "rightMargin", "indent", "leading", "blockIndent",
    "bullet", "tabStops", "kerning", "letterSpacing", "display" };

// Font names longer than this are cut.
constexpr qsizetype kMaxFontName = 64;

enum class Rounding : uint8_t { Cut, Nearest };

// A whole number as the setters make it: halves go to the even neighbour.
double whole(Vm& vm, const Value& v, Rounding rounding)
{
    const double n = vm.toNumber(v);
    if (!std::isfinite(n))
        return std::isnan(n) ? 0 : (n > 0 ? 2147483647.0 : -2147483648.0);
    return rounding == Rounding::Cut ? std::trunc(n) : std::nearbyint(n);
}

QString alignName(TextFormat::Align a)
{
    switch (a) {
    case TextFormat::Align::Right:
        return QStringLiteral("right");
    case TextFormat::Align::Center:
        return QStringLiteral("center");
    case TextFormat::Align::Justify:
        return QStringLiteral("justify");
    case TextFormat::Align::Left:
        break;
    }
    return QStringLiteral("left");
}

Value textFormatConstructor(Vm&, CallArgs& c)
{
    if (TextFormatObject* self = asTextFormat(c.thisValue))
        self->construct(c.args);
    return Value();
}

Ref<Object> makeTextFormat(Vm& vm, Object* proto)
{
    return Ref<Object>(new TextFormatObject(vm, proto));
}

} // namespace

TextFormatObject::TextFormatObject(Vm& vm, Object* proto)
    : Object(vm, proto)
{
    values_.fill(Value::null());
    values_[Display] = QStringLiteral("block");
}

int TextFormatObject::fieldOf(const QString& name, bool caseSensitive)
{
    for (int i = 0; i < FieldCount; ++i) {
        if (name.compare(
                QLatin1String(kFieldNames[i]), caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive)
            == 0)
            return i;
    }
    return -1;
}

bool TextFormatObject::getHost(const QString& name, Value& out)
{
    const int f = fieldOf(name, vm().caseSensitive());
    if (f < 0)
        return false;
    out = values_[size_t(f)];
    return true;
}

bool TextFormatObject::setHost(const QString& name, const Value& value)
{
    const int f = fieldOf(name, vm().caseSensitive());
    if (f < 0)
        return false;
    setField(Field(f), value);
    return true;
}

bool TextFormatObject::hasHost(const QString& name)
{
    return fieldOf(name, vm().caseSensitive()) >= 0;
}

void TextFormatObject::hostKeys(std::vector<QString>& out)
{
    for (int i = FieldCount - 1; i >= 0; --i)
        out.push_back(QString::fromLatin1(kFieldNames[i]));
}

void TextFormatObject::trace(Tracer& tracer)
{
    Object::trace(tracer);
    for (const Value& v : values_)
        traceValue(tracer, v);
}

void TextFormatObject::clearReferences()
{
    Object::clearReferences();
    values_.fill(Value());
}

void TextFormatObject::setField(Field f, const Value& value)
{
    Vm& vm = this->vm();
    if (f == Display) {
        const QString s = value.isString() ? value.string() : QString();
        values_[f] = s == u"inline" || s == u"none" ? s : QStringLiteral("block");
        return;
    }
    // An alignment it does not know, null included, leaves the one set.
    if (value.isNullish()) {
        if (f != Align)
            values_[f] = Value::null();
        return;
    }
    switch (f) {
    case Font:
        values_[f] = vm.toString(value).left(kMaxFontName);
        return;
    case Url:
    case Target:
        values_[f] = vm.toString(value);
        return;
    case Size:
    case Indent:
    case Leading:
    case BlockIndent:
        values_[f] = whole(vm, value, Rounding::Nearest);
        return;
    case LeftMargin:
    case RightMargin:
        values_[f] = std::max(0.0, whole(vm, value, Rounding::Nearest));
        return;
    case Color:
        values_[f] = double(vm.toUint32(value));
        return;
    case Bold:
    case Italic:
    case Underline:
    case Bullet:
    case Kerning:
        values_[f] = vm.toBoolean(value);
        return;
    case LetterSpacing:
        values_[f] = vm.toNumber(value);
        return;
    case Align: {
        const QString a = vm.toString(value).toLower();
        if (a == u"left" || a == u"right" || a == u"center" || a == u"justify")
            values_[f] = a;
        return;
    }
    case TabStops: {
        Object* o = value.object();
        ArrayObject* list = o ? o->asArray() : nullptr;
        if (!list) {
            values_[f] = Value::null();
            return;
        }
        std::vector<Value> stops;
        const uint32_t n = std::min<uint32_t>(list->length(), 1024);
        for (uint32_t i = 0; i < n; ++i)
            stops.push_back(std::max(0.0, whole(vm, list->at(i), Rounding::Nearest)));
        values_[f] = Value(vm.newArray(std::move(stops)));
        return;
    }
    case Display:
    case FieldCount:
        return;
    }
}

void TextFormatObject::construct(std::span<const Value> args)
{
    static constexpr Field order[] = { Font, Size, Color, Bold, Italic, Underline, Url, Target, Align,
        LeftMargin, RightMargin, Indent, Leading };
    Vm& vm = this->vm();
    for (size_t i = 0; i < args.size() && i < std::size(order); ++i) {
        const Field f = order[i];
        const Value& v = args[i];
        const bool number = f == Size || f == LeftMargin || f == RightMargin || f == Indent || f == Leading;
        if (number && !v.isNullish())
            values_[f] = whole(vm, v, Rounding::Cut);
        else
            setField(f, v);
    }
}

Value TextFormatObject::valueIn(const TextFormat& format, Field f, Vm& vm)
{
    switch (f) {
    case Font:
        return format.font;
    case Size:
        return format.size / 20;
    case Color:
        return double((uint32_t(format.color.r) << 16) | (uint32_t(format.color.g) << 8) | format.color.b);
    case Url:
        return format.url;
    case Target:
        return format.target;
    case Bold:
        return format.bold;
    case Italic:
        return format.italic;
    case Underline:
        return format.underline;
    case Align:
        return alignName(format.align);
    case LeftMargin:
        return format.leftMargin / 20;
    case RightMargin:
        return format.rightMargin / 20;
    case Indent:
        return format.indent / 20;
    case Leading:
        return format.leading / 20;
    case BlockIndent:
        return format.blockIndent / 20;
    case Bullet:
        return format.bullet;
    case TabStops: {
        std::vector<Value> stops;
        for (double s : format.tabStops)
            stops.push_back(s);
        return Value(vm.newArray(std::move(stops)));
    }
    case Kerning:
        return format.kerning;
    case LetterSpacing:
        return format.letterSpacing;
    case Display:
    case FieldCount:
        break;
    }
    return QStringLiteral("block");
}

void TextFormatObject::assign(const TextFormat& format)
{
    for (int i = 0; i < FieldCount; ++i)
        values_[size_t(i)] = valueIn(format, Field(i), vm());
}

void TextFormatObject::intersect(const TextFormat& format)
{
    for (int i = 0; i < FieldCount; ++i) {
        if (i == Display || i == TabStops || values_[size_t(i)].isNull())
            continue;
        const Value mine = valueIn(format, Field(i), vm());
        if (!vm().strictEquals(mine, values_[size_t(i)]))
            values_[size_t(i)] = Value::null();
    }
}

void TextFormatObject::applyTo(TextFormat& format) const
{
    Vm& vm = this->vm();
    const auto set = [&](Field f) { return !values_[f].isNull() && !values_[f].isUndefined(); };
    const auto number = [&](Field f) { return vm.toNumber(values_[f]); };
    if (set(Font))
        format.font = vm.toString(values_[Font]);
    if (set(Size))
        format.size = std::max(0.0, number(Size) * 20);
    if (set(Color)) {
        const uint32_t c = vm.toUint32(values_[Color]);
        format.color = Rgba { uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255 };
    }
    if (set(Url))
        format.url = vm.toString(values_[Url]);
    if (set(Target))
        format.target = vm.toString(values_[Target]);
    if (set(Bold))
        format.bold = vm.toBoolean(values_[Bold]);
    if (set(Italic))
        format.italic = vm.toBoolean(values_[Italic]);
    if (set(Underline))
        format.underline = vm.toBoolean(values_[Underline]);
    if (set(Align)) {
        const QString a = vm.toString(values_[Align]);
        format.align = a == u"right" ? TextFormat::Align::Right
            : a == u"center"         ? TextFormat::Align::Center
            : a == u"justify"        ? TextFormat::Align::Justify
                                     : TextFormat::Align::Left;
    }
    if (set(LeftMargin))
        format.leftMargin = std::max(0.0, number(LeftMargin) * 20);
    if (set(RightMargin))
        format.rightMargin = std::max(0.0, number(RightMargin) * 20);
    if (set(Indent))
        format.indent = number(Indent) * 20;
    if (set(Leading))
        format.leading = number(Leading) * 20;
    if (set(BlockIndent))
        format.blockIndent = number(BlockIndent) * 20;
    if (set(Bullet))
        format.bullet = vm.toBoolean(values_[Bullet]);
    if (set(Kerning))
        format.kerning = vm.toBoolean(values_[Kerning]);
    if (set(LetterSpacing))
        format.letterSpacing = number(LetterSpacing);
    if (set(TabStops)) {
        format.tabStops.clear();
        if (ArrayObject* list
            = values_[TabStops].object() ? values_[TabStops].object()->asArray() : nullptr) {
            for (uint32_t i = 0; i < list->length(); ++i)
                format.tabStops.push_back(vm.toNumber(list->at(i)));
        }
    }
}

TextFormatObject* asTextFormat(const Value& value)
{
    return dynamic_cast<TextFormatObject*>(value.object());
}

Ref<TextFormatObject> newTextFormat(Vm& vm, const TextFormat& format)
{
    Ref<TextFormatObject> made(new TextFormatObject(vm, vm.protos().textFormat.get()));
    made->assign(format);
    return made;
}

void installTextFormat(Vm& vm)
{
    vm.protos().textFormat = vm.newObject();
    vm.makeClass(QStringLiteral("TextFormat"), textFormatConstructor, vm.protos().textFormat.get());
    vm.setInstanceFactory(vm.protos().textFormat.get(), makeTextFormat);
}

} // namespace swf::script
