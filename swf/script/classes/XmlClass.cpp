// XMLNode and XML: a tree of element and text nodes, parsed from text and printed back.

#include "Classes.h"
#include "Native.h"

#include "swf/script/ScriptEngine.h"

namespace swf::script {
namespace {

enum NodeType { Element = 1, Text = 3 };

class XmlNode final : public Object {
public:
    XmlNode(Vm& vm, Object* proto, int type)
        : Object(vm, proto)
        , type(type)
    {
    }
    int type;
    Value name = Value::null(); // elements; null for text and documents
    Value value = Value::null(); // text nodes
    std::vector<Ref<XmlNode>> children;
    Ref<XmlNode> parent;
    Ref<Object> attributes;

    void trace(Tracer& tracer) override
    {
        Object::trace(tracer);
        traceValue(tracer, name);
        traceValue(tracer, value);
        for (const Ref<XmlNode>& c : children)
            tracer.visit(c.get());
        if (parent)
            tracer.visit(parent.get());
        if (attributes)
            tracer.visit(attributes.get());
    }
    void clearReferences() override
    {
        Object::clearReferences();
        children.clear();
        parent = nullptr;
        attributes = nullptr;
        name = Value();
        value = Value();
    }

    void detach()
    {
        if (!parent)
            return;
        auto& siblings = parent->children;
        std::erase_if(siblings, [this](const Ref<XmlNode>& c) { return c.get() == this; });
        parent = nullptr;
    }
    // Whether `other` is this node or one above it (a node cannot go inside itself).
    bool within(const XmlNode* other) const
    {
        for (const XmlNode* n = this; n; n = n->parent.get()) {
            if (n == other)
                return true;
        }
        return false;
    }
};

// Node objects are told apart by a marker property-free check: the XMLNode prototype
// makes them, and they are the only objects of this class.
XmlNode* nodeOf(const Value& v)
{
    return v.object() ? dynamic_cast<XmlNode*>(v.object()) : nullptr;
}

// What XMLNode.prototype is now: a script may put another object there, and the nodes
// made from then on (parsed or created) take it.
Object* nodePrototype(Vm& vm)
{
    if (Object* ctor = vm.get(vm.global(), QStringLiteral("XMLNode")).object()) {
        if (Object* proto = vm.get(ctor, QStringLiteral("prototype")).object())
            return proto;
    }
    return vm.protos().xmlNode.get();
}

Ref<XmlNode> makeNode(Vm& vm, int type, Object* proto = nullptr)
{
    Ref<XmlNode> node(new XmlNode(vm, proto ? proto : nodePrototype(vm), type));
    node->attributes = vm.newObject();
    return node;
}

// ---- Printing ---------------------------------------------------------------------------


void print(Vm& vm, XmlNode& node, QString& out, int depth = 0)
{
    if (depth > 256)
        return;
    if (node.type == Text) {
        out += xmlEscaped(vm.toString(node.value));
        return;
    }
    const bool document = node.name.isNullish();
    if (!document) {
        out += QLatin1Char('<') + vm.toString(node.name);
        if (node.attributes) {
            for (const QString& name : vm.enumerate(node.attributes.get())) {
                out += QLatin1Char(' ') + name + QLatin1String("=\"")
                    + xmlEscaped(vm.toString(vm.get(node.attributes.get(), name))) + QLatin1Char('"');
            }
        }
        if (node.children.empty()) {
            out += QLatin1String(" />");
            return;
        }
        out += QLatin1Char('>');
    }
    const std::vector<Ref<XmlNode>> children = node.children;
    for (const Ref<XmlNode>& child : children)
        print(vm, *child, out, depth + 1);
    if (!document)
        out += QLatin1String("</") + vm.toString(node.name) + QLatin1Char('>');
}

// ---- Parsing ----------------------------------------------------------------------------

QString unescaped(const QString& s)
{
    static const std::pair<const char*, char16_t> entities[]
        = { { "&lt;", '<' }, { "&gt;", '>' }, { "&amp;", '&' }, { "&quot;", '"' }, { "&apos;", '\'' } };
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('&')) {
            bool done = false;
            for (const auto& [entity, ch] : entities) {
                const QLatin1String e(entity);
                if (s.mid(i, e.size()) == e) {
                    out += QChar(ch);
                    i += e.size() - 1;
                    done = true;
                    break;
                }
            }
            if (done)
                continue;
            // &#39; and &#x27;
            if (i + 2 < s.size() && s[i + 1] == QLatin1Char('#')) {
                const qsizetype end = s.indexOf(QLatin1Char(';'), i + 2);
                if (end > 0 && end - i < 12) {
                    const bool hex = s[i + 2] == QLatin1Char('x') || s[i + 2] == QLatin1Char('X');
                    bool ok = false;
                    const uint code = s.mid(i + (hex ? 3 : 2), end - i - (hex ? 3 : 2)).toUInt(&ok, hex ? 16 : 10);
                    if (ok && code > 0 && code < 0x110000) {
                        out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
                        i = end;
                        continue;
                    }
                }
            }
        }
        out += s[i];
    }
    return out;
}

bool blank(const QString& s)
{
    for (QChar c : s) {
        if (!isBlank(c))
            return false;
    }
    return true;
}

// Parses `text` into `document`'s children. Returns the status code scripts read: 0 when
// well formed, negative for what was wrong.
int parse(Vm& vm, XmlNode& document, const QString& text, bool ignoreWhite, QString& xmlDecl, QString& docType)
{
    XmlNode* current = &document;
    const qsizetype n = text.size();
    qsizetype i = 0;
    const auto addText = [&](const QString& raw, bool cdata) {
        if (raw.isEmpty())
            return;
        if (ignoreWhite && !cdata && blank(raw))
            return;
        Ref<XmlNode> node = makeNode(vm, Text);
        node->value = cdata ? raw : unescaped(raw);
        node->parent = Ref<XmlNode>(current);
        current->children.push_back(node);
    };
    while (i < n) {
        if (text[i] != QLatin1Char('<')) {
            const qsizetype end = text.indexOf(QLatin1Char('<'), i);
            addText(text.mid(i, end < 0 ? -1 : end - i), false);
            if (end < 0)
                break;
            i = end;
            continue;
        }
        if (text.mid(i, 4) == QLatin1String("<!--")) {
            const qsizetype end = text.indexOf(QLatin1String("-->"), i + 4);
            if (end < 0)
                return -5;
            i = end + 3;
            continue;
        }
        if (text.mid(i, 9) == QLatin1String("<![CDATA[")) {
            const qsizetype end = text.indexOf(QLatin1String("]]>"), i + 9);
            if (end < 0)
                return -2;
            addText(text.mid(i + 9, end - i - 9), true);
            i = end + 3;
            continue;
        }
        if (text.mid(i, 2) == QLatin1String("<?")) {
            const qsizetype end = text.indexOf(QLatin1String("?>"), i + 2);
            if (end < 0)
                return -3;
            xmlDecl += text.mid(i, end + 2 - i);
            i = end + 2;
            continue;
        }
        if (text.mid(i, 2) == QLatin1String("<!")) {
            const qsizetype end = text.indexOf(QLatin1Char('>'), i + 2);
            if (end < 0)
                return -4;
            docType = text.mid(i, end + 1 - i);
            i = end + 1;
            continue;
        }
        if (text.mid(i, 2) == QLatin1String("</")) {
            const qsizetype end = text.indexOf(QLatin1Char('>'), i + 2);
            if (end < 0)
                return -6;
            const QString name = text.mid(i + 2, end - i - 2).trimmed();
            if (current == &document)
                return -10;
            if (vm.toString(current->name) != name)
                return -9;
            current = current->parent.get();
            i = end + 1;
            continue;
        }
        // A start tag: the name, the attributes, and an end that may close it at once.
        qsizetype j = i + 1;
        while (j < n && !isBlank(text[j]) && text[j] != QLatin1Char('>') && text[j] != QLatin1Char('/'))
            ++j;
        const QString name = text.mid(i + 1, j - i - 1);
        if (name.isEmpty())
            return -6;
        Ref<XmlNode> element = makeNode(vm, Element);
        element->name = name;
        bool closed = false;
        std::vector<std::pair<QString, QString>> attributes;
        while (true) {
            while (j < n && isBlank(text[j]))
                ++j;
            if (j >= n)
                return -6;
            if (text[j] == QLatin1Char('>')) {
                ++j;
                break;
            }
            if (text[j] == QLatin1Char('/')) {
                if (j + 1 < n && text[j + 1] == QLatin1Char('>')) {
                    closed = true;
                    j += 2;
                    break;
                }
                return -6;
            }
            qsizetype k = j;
            while (k < n && text[k] != QLatin1Char('=') && !isBlank(text[k]) && text[k] != QLatin1Char('>'))
                ++k;
            const QString attr = text.mid(j, k - j);
            while (k < n && isBlank(text[k]))
                ++k;
            if (k >= n || text[k] != QLatin1Char('='))
                return -6;
            ++k;
            while (k < n && isBlank(text[k]))
                ++k;
            if (k >= n || (text[k] != QLatin1Char('"') && text[k] != QLatin1Char('\'')))
                return -6;
            const QChar quote = text[k];
            const qsizetype close = text.indexOf(quote, k + 1);
            if (close < 0)
                return -8;
            attributes.emplace_back(attr, unescaped(text.mid(k + 1, close - k - 1)));
            j = close + 1;
        }
        // The attributes are stored last first, so that for..in gives them in file order;
        // of a repeated one the first counts.
        for (auto it = attributes.rbegin(); it != attributes.rend(); ++it) {
            const bool repeated = std::any_of(attributes.begin(), std::prev(it.base()),
                [&](const auto& a) { return a.first == it->first; });
            if (!repeated)
                vm.set(element->attributes.get(), it->first, it->second);
        }
        element->parent = Ref<XmlNode>(current);
        current->children.push_back(element);
        if (!closed)
            current = element.get();
        i = j;
    }
    return current == &document ? 0 : -9;
}

// ---- XMLNode ----------------------------------------------------------------------------

XmlNode* self(CallArgs& c)
{
    return nodeOf(c.thisValue);
}

Value nodeConstructor(Vm& vm, CallArgs& c)
{
    const int type = c.size() > 0 ? vm.toInt32(c[0]) : Element;
    // super(...) of a class that extends XMLNode fills the object `new` made.
    XmlNode* existing = c.constructing ? nullptr : self(c);
    Ref<XmlNode> node = existing ? Ref<XmlNode>(existing) : makeNode(vm, type == Text ? Text : Element);
    node->type = type == Text ? Text : Element;
    if (c.size() > 1) {
        if (type == Text)
            node->value = vm.toString(c[1]);
        else
            node->name = vm.toString(c[1]);
    }
    return existing ? Value() : Value(node);
}

Value getNodeName(Vm&, CallArgs& c)
{
    XmlNode* n = self(c);
    return n ? n->name : Value();
}

Value setNodeName(Vm& vm, CallArgs& c)
{
    // undefined leaves the name as it is.
    if (XmlNode* n = self(c); n && !c[0].isUndefined())
        n->name = c[0].isNullish() ? Value::null() : Value(vm.toString(c[0]));
    return Value();
}

Value getNodeValue(Vm&, CallArgs& c)
{
    XmlNode* n = self(c);
    return n ? n->value : Value();
}

Value setNodeValue(Vm& vm, CallArgs& c)
{
    if (XmlNode* n = self(c))
        n->value = c[0].isNullish() ? Value::null() : Value(vm.toString(c[0]));
    return Value();
}

Value getNodeType(Vm&, CallArgs& c)
{
    XmlNode* n = self(c);
    return n ? Value(double(n->type)) : Value();
}

Value getAttributes(Vm&, CallArgs& c)
{
    XmlNode* n = self(c);
    return n && n->attributes ? Value(n->attributes) : Value();
}

Value getChildNodes(Vm& vm, CallArgs& c)
{
    XmlNode* n = self(c);
    if (!n)
        return Value();
    std::vector<Value> items;
    for (const Ref<XmlNode>& child : n->children)
        items.emplace_back(child);
    return Value(vm.newArray(std::move(items)));
}

Value getFirstChild(Vm&, CallArgs& c)
{
    XmlNode* n = self(c);
    if (!n)
        return Value();
    return n->children.empty() ? Value::null() : Value(n->children.front());
}

Value getLastChild(Vm&, CallArgs& c)
{
    XmlNode* n = self(c);
    if (!n)
        return Value();
    return n->children.empty() ? Value::null() : Value(n->children.back());
}

Value sibling(CallArgs& c, int step)
{
    XmlNode* n = self(c);
    if (!n)
        return Value();
    if (!n->parent)
        return Value::null();
    const auto& siblings = n->parent->children;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].get() != n)
            continue;
        const int64_t at = int64_t(i) + step;
        if (at < 0 || at >= int64_t(siblings.size()))
            return Value::null();
        return Value(siblings[size_t(at)]);
    }
    return Value::null();
}

Value getNextSibling(Vm&, CallArgs& c)
{
    return sibling(c, 1);
}

Value getPreviousSibling(Vm&, CallArgs& c)
{
    return sibling(c, -1);
}

Value getParentNode(Vm&, CallArgs& c)
{
    XmlNode* n = self(c);
    if (!n)
        return Value();
    return n->parent ? Value(n->parent) : Value::null();
}

QString nodeNameText(Vm& vm, XmlNode& n)
{
    return n.name.isNullish() ? QString() : vm.toString(n.name);
}

Value getPrefix(Vm& vm, CallArgs& c)
{
    XmlNode* n = self(c);
    if (!n)
        return Value();
    if (n->name.isNullish())
        return Value::null();
    const QString name = nodeNameText(vm, *n);
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    return colon < 0 ? QString() : name.left(colon);
}

Value getLocalName(Vm& vm, CallArgs& c)
{
    XmlNode* n = self(c);
    if (!n)
        return Value();
    if (n->name.isNullish())
        return Value::null();
    const QString name = nodeNameText(vm, *n);
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    return colon < 0 ? name : name.mid(colon + 1);
}

Value appendChild(Vm&, CallArgs& c)
{
    XmlNode* n = self(c);
    XmlNode* child = nodeOf(c[0]);
    if (!n || !child || n->within(child))
        return Value();
    Ref<XmlNode> keep(child);
    child->detach();
    child->parent = Ref<XmlNode>(n);
    n->children.push_back(keep);
    return Value();
}

Value insertBefore(Vm&, CallArgs& c)
{
    XmlNode* n = self(c);
    XmlNode* child = nodeOf(c[0]);
    XmlNode* before = nodeOf(c[1]);
    // A node that is in a tree already stays where it is: it must be removed first.
    if (!n || !child || !before || child->parent || n->within(child) || child == before)
        return Value();
    auto it = std::find_if(n->children.begin(), n->children.end(), [&](const Ref<XmlNode>& x) { return x.get() == before; });
    if (it == n->children.end())
        return Value();
    Ref<XmlNode> keep(child);
    child->detach();
    it = std::find_if(n->children.begin(), n->children.end(), [&](const Ref<XmlNode>& x) { return x.get() == before; });
    child->parent = Ref<XmlNode>(n);
    n->children.insert(it, keep);
    return Value();
}

Value removeNode(Vm&, CallArgs& c)
{
    if (XmlNode* n = self(c)) {
        Ref<XmlNode> keep(n);
        n->detach();
    }
    return Value();
}

Ref<XmlNode> clone(Vm& vm, XmlNode& node, bool deep, int depth = 0)
{
    Ref<XmlNode> copy = makeNode(vm, node.type, node.proto());
    copy->name = node.name;
    copy->value = node.value;
    if (node.attributes) {
        for (const QString& name : vm.enumerate(node.attributes.get()))
            vm.set(copy->attributes.get(), name, vm.get(node.attributes.get(), name));
    }
    if (deep && depth < 256) {
        for (const Ref<XmlNode>& child : node.children) {
            Ref<XmlNode> c = clone(vm, *child, true, depth + 1);
            c->parent = copy;
            copy->children.push_back(c);
        }
    }
    return copy;
}

Value cloneNode(Vm& vm, CallArgs& c)
{
    XmlNode* n = self(c);
    if (!n)
        return Value();
    return Value(clone(vm, *n, vm.toBoolean(c[0])));
}

Value hasChildNodes(Vm&, CallArgs& c)
{
    XmlNode* n = self(c);
    return n ? Value(!n->children.empty()) : Value();
}

Value nodeToString(Vm& vm, CallArgs& c)
{
    XmlNode* n = self(c);
    if (!n)
        return Value();
    QString out;
    if (n->name.isNullish() && n->type == Element && c.thisObject()) {
        const Value decl = vm.get(c.thisObject(), QStringLiteral("xmlDecl"));
        if (!decl.isUndefined())
            out += vm.toString(decl);
        const Value doctype = vm.get(c.thisObject(), QStringLiteral("docTypeDecl"));
        if (!doctype.isUndefined())
            out += vm.toString(doctype);
    }
    print(vm, *n, out);
    return out;
}

QString lookupNamespace(Vm& vm, XmlNode* n, const QString& attribute)
{
    for (XmlNode* at = n; at; at = at->parent.get()) {
        if (at->attributes) {
            const Value v = vm.get(at->attributes.get(), attribute);
            if (!v.isUndefined())
                return vm.toString(v);
        }
    }
    return QString();
}

Value getNamespaceUri(Vm& vm, CallArgs& c)
{
    XmlNode* n = self(c);
    if (!n)
        return Value();
    if (n->name.isNullish())
        return Value::null();
    const QString name = nodeNameText(vm, *n);
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    const QString attribute = colon < 0 ? QStringLiteral("xmlns") : QStringLiteral("xmlns:") + name.left(colon);
    return lookupNamespace(vm, n, attribute);
}

Value getNamespaceForPrefix(Vm& vm, CallArgs& c)
{
    XmlNode* n = self(c);
    if (!n)
        return Value();
    const QString prefix = vm.toString(c[0]);
    const QString attribute = prefix.isEmpty() ? QStringLiteral("xmlns") : QStringLiteral("xmlns:") + prefix;
    for (XmlNode* at = n; at; at = at->parent.get()) {
        if (at->attributes) {
            const Value v = vm.get(at->attributes.get(), attribute);
            if (!v.isUndefined())
                return v;
        }
    }
    return Value::null();
}

Value getPrefixForNamespace(Vm& vm, CallArgs& c)
{
    XmlNode* n = self(c);
    if (!n)
        return Value();
    const QString uri = vm.toString(c[0]);
    for (XmlNode* at = n; at; at = at->parent.get()) {
        if (!at->attributes)
            continue;
        for (const QString& name : vm.enumerate(at->attributes.get())) {
            if (!name.startsWith(QLatin1String("xmlns")) || vm.toString(vm.get(at->attributes.get(), name)) != uri)
                continue;
            return name.size() > 6 ? name.mid(6) : QString();
        }
    }
    return Value::null();
}

// ---- XML --------------------------------------------------------------------------------

Value parseInto(Vm& vm, XmlNode& doc, const QString& text)
{
    for (const Ref<XmlNode>& child : std::vector(doc.children))
        child->parent = nullptr;
    doc.children.clear();
    QString decl;
    QString doctype;
    const bool ignoreWhite = vm.toBoolean(vm.get(&doc, QStringLiteral("ignoreWhite")));
    const int status = parse(vm, doc, text, ignoreWhite, decl, doctype);
    vm.set(&doc, QStringLiteral("status"), double(status));
    if (!decl.isEmpty())
        vm.set(&doc, QStringLiteral("xmlDecl"), decl);
    if (!doctype.isEmpty())
        vm.set(&doc, QStringLiteral("docTypeDecl"), doctype);
    return Value();
}

Value xmlConstructor(Vm& vm, CallArgs& c)
{
    XmlNode* existing = c.constructing ? nullptr : self(c);
    Ref<XmlNode> doc = existing ? Ref<XmlNode>(existing) : makeNode(vm, Element, vm.protos().xml.get());
    if (c.size() > 0 && !c[0].isNullish())
        parseInto(vm, *doc, vm.toString(c[0]));
    return existing ? Value() : Value(doc);
}

Ref<Object> newNode(Vm& vm, Object* proto)
{
    return Ref<Object>(makeNode(vm, Element, proto));
}

Value parseXml(Vm& vm, CallArgs& c)
{
    XmlNode* n = self(c);
    if (!n || c.size() == 0)
        return Value();
    return parseInto(vm, *n, vm.toString(c[0]));
}

Value createElement(Vm& vm, CallArgs& c)
{
    Ref<XmlNode> node = makeNode(vm, Element);
    node->name = vm.toString(c[0]);
    return Value(node);
}

Value createTextNode(Vm& vm, CallArgs& c)
{
    Ref<XmlNode> node = makeNode(vm, Text);
    node->value = vm.toString(c[0]);
    return Value(node);
}

// Data that arrived (or did not): parse it, then onLoad(success).
Value xmlOnData(Vm& vm, CallArgs& c)
{
    Object* o = c.thisObject();
    if (!o)
        return Value();
    if (c[0].isUndefined()) {
        const Value args[] = { Value(false) };
        vm.callMethod(c.thisValue, QStringLiteral("onLoad"), args);
        return Value();
    }
    if (XmlNode* n = self(c))
        parseInto(vm, *n, vm.toString(c[0]));
    vm.set(o, QStringLiteral("loaded"), true);
    const Value args[] = { Value(true) };
    vm.callMethod(c.thisValue, QStringLiteral("onLoad"), args);
    return Value();
}

Value xmlLoad(Vm& vm, CallArgs& c)
{
    Object* o = c.thisObject();
    if (!o || c.size() == 0)
        return false;
    vm.set(o, QStringLiteral("loaded"), false);
    o->define(QStringLiteral("__bytesLoaded"), 0.0, kHidden);
    vm.engine()->loadData(c.thisValue, vm.toString(c[0]));
    return true;
}

Value noop(Vm&, CallArgs&)
{
    return Value();
}

} // namespace

QString xmlEscaped(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\'':
            out += QLatin1String("&apos;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

void installXml(Vm& vm, ScriptEngine&)
{
    vm.protos().xmlNode = vm.newObject();
    Object* node = vm.protos().xmlNode.get();
    vm.makeClass(QStringLiteral("XMLNode"), nodeConstructor, node, true);
    vm.accessor(node, QStringLiteral("nodeName"), getNodeName, setNodeName);
    vm.accessor(node, QStringLiteral("nodeValue"), getNodeValue, setNodeValue);
    vm.accessor(node, QStringLiteral("nodeType"), getNodeType, nullptr);
    vm.accessor(node, QStringLiteral("attributes"), getAttributes, nullptr);
    vm.accessor(node, QStringLiteral("childNodes"), getChildNodes, nullptr);
    vm.accessor(node, QStringLiteral("firstChild"), getFirstChild, nullptr);
    vm.accessor(node, QStringLiteral("lastChild"), getLastChild, nullptr);
    vm.accessor(node, QStringLiteral("nextSibling"), getNextSibling, nullptr);
    vm.accessor(node, QStringLiteral("previousSibling"), getPreviousSibling, nullptr);
    vm.accessor(node, QStringLiteral("parentNode"), getParentNode, nullptr);
    vm.accessor(node, QStringLiteral("prefix"), getPrefix, nullptr, kBuiltin | OnlySwf8);
    vm.accessor(node, QStringLiteral("localName"), getLocalName, nullptr, kBuiltin | OnlySwf8);
    vm.accessor(node, QStringLiteral("namespaceURI"), getNamespaceUri, nullptr, kBuiltin | OnlySwf8);
    defineMethods(vm, node,
        { { "appendChild", appendChild }, { "insertBefore", insertBefore }, { "removeNode", removeNode },
            { "cloneNode", cloneNode }, { "hasChildNodes", hasChildNodes }, { "toString", nodeToString } });
    defineMethods(vm, node,
        { { "getNamespaceForPrefix", getNamespaceForPrefix }, { "getPrefixForNamespace", getPrefixForNamespace } },
        kBuiltin | OnlySwf8);

    vm.protos().xml = Ref<Object>(new Object(vm, node));
    Object* xml = vm.protos().xml.get();
    vm.makeClass(QStringLiteral("XML"), xmlConstructor, xml, true);
    defineMethods(vm, xml,
        { { "parseXML", parseXml }, { "createElement", createElement }, { "createTextNode", createTextNode },
            { "load", xmlLoad }, { "onData", xmlOnData }, { "onLoad", noop }, { "send", noop },
            { "sendAndLoad", xmlLoad }, { "getBytesLoaded", loadedBytes }, { "getBytesTotal", totalBytes },
            { "addRequestHeader", noop } });
    vm.setInstanceFactory(node, newNode);
    xml->define(QStringLiteral("ignoreWhite"), false, DontEnum);
    xml->define(QStringLiteral("contentType"), QStringLiteral("application/x-www-form-urlencoded"), DontEnum);
    xml->define(QStringLiteral("status"), 0.0, DontEnum);
}

} // namespace swf::script
