// TextField.StyleSheet: named styles kept as plain objects of CSS property strings
// (_css), each with the TextFormat made from it by transform (_styles).

#include "Classes.h"
#include "Native.h"
#include "StyleSheet.h"
#include "TextFormatObject.h"

#include "swf/script/ScriptEngine.h"

namespace swf::script {

namespace {

bool cssSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// "font-size" is fontSize: a dash goes and the character after it is upper-cased.
QString camelCased(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == u'-') {
            if (i + 1 < name.size())
                out += name[++i].toUpper();
        } else {
            out += name[i];
        }
    }
    return out;
}

} // namespace

bool parseStyleSheet(const QString& text, std::vector<CssRule>& rules)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skipSpace = [&] {
        while (i < n && cssSpace(text[i]))
            ++i;
    };
    std::vector<CssRule> out;
    for (;;) {
        skipSpace();
        if (i == n)
            break;
        CssRule rule;
        // Selectors: words without spaces, separated by commas, up to the opening brace.
        for (;;) {
            skipSpace();
            const qsizetype start = i;
            while (i < n && !cssSpace(text[i]) && text[i] != u',' && text[i] != u'{')
                ++i;
            if (i == start)
                return false;
            rule.selectors << text.mid(start, i - start);
            skipSpace();
            if (i == n)
                return false;
            const QChar c = text[i++];
            if (c == u'{')
                break;
            if (c != u',')
                return false;
        }
        // Declarations up to the closing brace; the text may end in place of it between
        // two declarations.
        for (;;) {
            skipSpace();
            if (i == n)
                break;
            if (text[i] == u'}') {
                ++i;
                break;
            }
            // A name runs to the colon, braces and semicolons included; spaces may only
            // trail it.
            const qsizetype start = i;
            bool spaced = false;
            for (; i < n && text[i] != u':'; ++i) {
                if (cssSpace(text[i]))
                    spaced = true;
                else if (spaced)
                    return false;
            }
            if (i == n)
                return false;
            const QString name = text.mid(start, i - start);
            ++i;
            skipSpace();
            const qsizetype valueStart = i;
            while (i < n && text[i] != u';' && text[i] != u'}')
                ++i;
            if (i == n)
                return false;
            if (!name.isEmpty())
                rule.properties.push_back({ camelCased(name), text.mid(valueStart, i - valueStart) });
            if (text[i++] == u'}')
                break;
        }
        out.push_back(std::move(rule));
    }
    rules = std::move(out);
    return true;
}

namespace {

const QString& cssKey()
{
    static const QString k = QStringLiteral("_css");
    return k;
}

const QString& stylesKey()
{
    static const QString k = QStringLiteral("_styles");
    return k;
}

// The object under `key` of the sheet, made when missing.
Object* table(Vm& vm, Object* sheet, const QString& key)
{
    if (Object* o = vm.get(sheet, key).object())
        return o;
    Ref<Object> made = vm.newObject();
    vm.set(sheet, key, Value(made));
    return made.get();
}

// A shallow copy of an object's enumerable properties; null for anything else.
Value copyOf(Vm& vm, const Value& v)
{
    Object* from = v.object();
    if (!from || vm.typeOf(v) != QLatin1String("object"))
        return Value::null();
    Ref<Object> copy = vm.newObject();
    for (const QString& name : vm.enumerate(from))
        vm.set(copy.get(), name, vm.get(from, name));
    return Value(copy);
}

// _styles[name] = this.transform(_css[name]), through whatever transform the sheet has.
void transformStyle(Vm& vm, const Value& sheet, const QString& name)
{
    Object* self = sheet.object();
    const Value args[] = { vm.get(table(vm, self, cssKey()), name) };
    const Value format = vm.callMethod(sheet, QStringLiteral("transform"), args);
    vm.set(table(vm, self, stylesKey()), name, format);
}

Value setStyle(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    if (!self)
        return Value();
    const QString name = vm.toString(c[0]);
    table(vm, self, stylesKey());
    vm.set(table(vm, self, cssKey()), name, copyOf(vm, c[1]));
    transformStyle(vm, c.thisValue, name);
    return Value();
}

Value getStyle(Vm& vm, CallArgs& c)
{
    Object* self = c.thisObject();
    Object* css = self ? vm.get(self, cssKey()).object() : nullptr;
    if (!css)
        return Value::null();
    return copyOf(vm, vm.get(css, vm.toString(c[0])));
}

Value getStyleNames(Vm& vm, CallArgs& c)
{
    std::vector<Value> names;
    Object* self = c.thisObject();
    if (Object* css = self ? vm.get(self, cssKey()).object() : nullptr) {
        for (const QString& name : vm.enumerate(css))
            names.emplace_back(name);
    }
    return Value(vm.newArray(std::move(names)));
}

Value clearStyles(Vm& vm, CallArgs& c)
{
    if (Object* self = c.thisObject()) {
        vm.set(self, cssKey(), Value(vm.newObject()));
        vm.set(self, stylesKey(), Value(vm.newObject()));
    }
    return Value();
}

// Adds the rules of `text` to the sheet; a text with any error adds nothing.
bool addRules(Vm& vm, const Value& sheet, const QString& text)
{
    Object* self = sheet.object();
    std::vector<CssRule> rules;
    if (!self || !parseStyleSheet(text, rules))
        return false;
    // Each selector gets its own object; a selector named twice gathers both blocks.
    std::vector<std::pair<QString, Ref<Object>>> styles;
    for (const CssRule& rule : rules) {
        for (const QString& selector : rule.selectors) {
            auto it = std::find_if(styles.begin(), styles.end(), [&](const auto& s) { return s.first == selector; });
            if (it == styles.end())
                it = styles.insert(styles.end(), { selector, vm.newObject() });
            for (const CssProperty& p : rule.properties)
                vm.set(it->second.get(), p.name, p.value);
        }
    }
    table(vm, self, stylesKey());
    Object* css = table(vm, self, cssKey());
    for (const auto& [selector, style] : styles)
        vm.set(css, selector, Value(style));
    for (const auto& style : styles)
        transformStyle(vm, sheet, style.first);
    return true;
}

Value parseCss(Vm& vm, CallArgs& c)
{
    return addRules(vm, c.thisValue, vm.toString(c[0]));
}

// "#FF0000" as 0xFF0000; anything else gives nothing.
bool cssColor(const QString& s, double& out)
{
    if (!s.startsWith(u'#'))
        return false;
    bool ok = false;
    const uint value = s.mid(1).toUInt(&ok, 16);
    if (!ok)
        return false;
    out = value & 0xFFFFFF;
    return true;
}

// The first family of a CSS list, the generic ones as the player's device fonts.
QString cssFontFamily(const QString& list)
{
    const QString first = list.section(u',', 0, 0).trimmed();
    if (first == QLatin1String("mono"))
        return QStringLiteral("_typewriter");
    if (first == QLatin1String("sans-serif"))
        return QStringLiteral("_sans");
    if (first == QLatin1String("serif"))
        return QStringLiteral("_serif");
    return first;
}

// A style object as a TextFormat: the CSS properties the text fields know, each as the
// TextFormat field it sets.
Value transformStyleObject(Vm& vm, CallArgs& c)
{
    Object* style = c[0].object();
    if (!style)
        return Value::null();
    Ref<TextFormatObject> format(new TextFormatObject(vm, vm.protos().textFormat.get()));
    Object* f = format.get();
    auto prop = [&](const char* name, QString& out) {
        const Value v = vm.get(style, QString::fromLatin1(name));
        if (v.isNullish())
            return false;
        out = vm.toString(v);
        return true;
    };
    auto setNumber = [&](const char* field, const QString& text) {
        bool ok = false;
        const double n = text.trimmed().remove(QLatin1String("px")).toDouble(&ok);
        if (ok)
            vm.set(f, QString::fromLatin1(field), n);
    };
    QString s;
    if (prop("textAlign", s))
        vm.set(f, QStringLiteral("align"), s.trimmed());
    if (prop("fontWeight", s)) {
        s = s.trimmed();
        if (s == QLatin1String("bold") || s == QLatin1String("normal"))
            vm.set(f, QStringLiteral("bold"), s == QLatin1String("bold"));
    }
    if (prop("fontStyle", s)) {
        s = s.trimmed();
        if (s == QLatin1String("italic") || s == QLatin1String("normal"))
            vm.set(f, QStringLiteral("italic"), s == QLatin1String("italic"));
    }
    if (prop("textDecoration", s)) {
        s = s.trimmed();
        if (s == QLatin1String("underline") || s == QLatin1String("none"))
            vm.set(f, QStringLiteral("underline"), s == QLatin1String("underline"));
    }
    double color = 0;
    if (prop("color", s) && cssColor(s.trimmed(), color))
        vm.set(f, QStringLiteral("color"), color);
    if (prop("fontFamily", s))
        vm.set(f, QStringLiteral("font"), cssFontFamily(s));
    if (prop("fontSize", s))
        setNumber("size", s);
    if (prop("marginLeft", s))
        setNumber("leftMargin", s);
    if (prop("marginRight", s))
        setNumber("rightMargin", s);
    if (prop("textIndent", s))
        setNumber("indent", s);
    if (prop("leading", s))
        setNumber("leading", s);
    if (prop("letterSpacing", s))
        setNumber("letterSpacing", s);
    if (prop("kerning", s)) {
        s = s.trimmed();
        if (s == QLatin1String("true") || s == QLatin1String("false"))
            vm.set(f, QStringLiteral("kerning"), s == QLatin1String("true"));
        else
            setNumber("kerning", s);
    }
    if (prop("display", s))
        vm.set(f, QStringLiteral("display"), s.trimmed());
    return Value(format);
}

// load(url): the text comes to onData, which adds its rules and calls onLoad(success).
Value loadSheet(Vm& vm, CallArgs& c)
{
    if (!c.thisObject() || c.size() == 0)
        return false;
    vm.engine()->loadData(c.thisValue, vm.toString(c[0]));
    return true;
}

Value sheetOnData(Vm& vm, CallArgs& c)
{
    const bool ok = !c[0].isUndefined() && addRules(vm, c.thisValue, vm.toString(c[0]));
    const Value args[] = { Value(ok) };
    vm.callMethod(c.thisValue, QStringLiteral("onLoad"), args);
    return Value();
}

Value noop(Vm&, CallArgs&)
{
    return Value();
}

} // namespace

void installStyleSheet(Vm& vm)
{
    Object* textField = vm.get(vm.global(), QStringLiteral("TextField")).object();
    if (!textField)
        return;
    vm.protos().styleSheet = vm.newObject();
    Object* proto = vm.protos().styleSheet.get();
    Ref<NativeFunction> ctor = vm.makeClass(QString(), noop, proto);
    textField->define(QStringLiteral("StyleSheet"), Value(ctor), kBuiltin | OnlySwf7);
    defineMethods(vm, proto,
        { { "clear", clearStyles }, { "getStyle", getStyle }, { "getStyleNames", getStyleNames },
            { "load", loadSheet }, { "parseCSS", parseCss }, { "parse", parseCss }, { "setStyle", setStyle },
            { "transform", transformStyleObject }, { "onData", sheetOnData }, { "onLoad", noop } },
        kHidden);
}

} // namespace swf::script
